#pragma once

#include <QObject>

class QAction;
class QWidget;

namespace chartrek {

// A file dropped on the window opens as File > Open would open it, whenever Open may run.
class FileDrop : public QObject {
    Q_OBJECT
public:
    FileDrop(QWidget &window, const QAction &open, QObject *parent = nullptr);

signals:
    // Sent once the drop has ended, so that a question about the points comes after it.
    void fileDropped(const QString &fileName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const QAction &mOpen;
};

} // namespace chartrek
