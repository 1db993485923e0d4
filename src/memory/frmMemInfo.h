#pragma once

#include <QWidget>

#include <array>

class QLineEdit;

namespace chartrek {

// The memory window: seven fields, each with its label to the left. Modeless, owned by the
// main window; it deletes itself when closed, and its red "Used" field goes with it.
class frmMemInfo : public QWidget {
    Q_OBJECT
public:
    explicit frmMemInfo(QWidget *owner);

    // The texts top to bottom, as memoryTexts() gives them; only changed ones are set, so that
    // the twice-a-second refresh of a hidden window costs nothing.
    void showTexts(const std::array<QString, 7> &texts);
    // Pure red "Used" field; nothing turns it back.
    void markNearlyFull();

    QLineEdit *mUsed = nullptr;
    QLineEdit *mPhysical = nullptr;
    QLineEdit *mAvail = nullptr;
    QLineEdit *mPageFile = nullptr;
    QLineEdit *mAvailPageFile = nullptr;
    QLineEdit *mVirtual = nullptr;
    QLineEdit *mAvailVirtual = nullptr;

signals:
    // The window has painted for the first time since it was shown.
    void paintedAfterShow();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<QLineEdit *, 7> fields() const;

    bool mPaintPending = false;
    bool mRed = false;
};

} // namespace chartrek
