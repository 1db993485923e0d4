#pragma once

#include "calibration/CalibratedPoints.h"
#include "calibration/Calibration.h"

#include <QFrame>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace chartrek {

class ReferenceCapture;

// The calibration panel `Picture1`: the start button, the four reference indicators, the
// four value fields with their "1 E" exponent labels, the two log boxes and the two chain
// images. It shows the calibration record and writes the user's edits into it; every edit
// that changes a value recalculates the points of a calibrated picture at once, and one edit of
// a field or one click of a log box is one step of the undo history.
class ScalePanel : public QFrame {
    Q_OBJECT
public:
    ScalePanel(Calibration &calibration, CalibratedPoints &points, ReferenceCapture &capture, QWidget *parent = nullptr);

    // Shows the record: captions, indicator colours, field texts, log boxes, chain images.
    void refresh();

    // Event handlers.
    void btnGetPoints_Click();
    void sX_Change(Ref ref); // one routine for sX1, sX2, sY1 and sY2
    void XLog_Click();
    void YLog_Click();
    void chainX_Click();
    void chainY_Click();

    static QColor indicatorColor(quint32 bgr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyLogLayout(bool xAxis);
    void logClick(bool xAxis);
    void chainClick(bool xPair);

    Calibration &mCalibration;
    CalibratedPoints &mPoints;
    ReferenceCapture &mCapture;

    QPushButton *btnGetPoints = nullptr;
    std::array<QLabel *, 4> mIndicators{};   // pX1, pX2, pY1, pY2
    std::array<QLineEdit *, 4> mFields{};    // sX1, sX2, sY1, sY2
    std::array<QLabel *, 4> mExponents{};    // EX1, EX2, EY1, EY2
    QCheckBox *XLog = nullptr;
    QCheckBox *YLog = nullptr;
    QLabel *chainX = nullptr;
    QLabel *chainY = nullptr;
    QPixmap chainPic;
    QPixmap unchainPic;
    // Keystrokes of one edit share it; Enter and the focus moving on start the next.
    int mEditSession = 1;
};

} // namespace chartrek
