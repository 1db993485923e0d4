#pragma once

#include <QObject>
#include <QPointF>
#include <QRectF>

#include <optional>

class QKeyEvent;
class QMouseEvent;
class QScrollBar;
class QWheelEvent;

namespace chartrek {

class ImageControl;

// Moving around a picture larger than its control: the scroll bars, the wheel (Shift+wheel
// sideways; Ctrl+wheel is a zoom, which the control asks the views for) and dragging with the
// middle button or with the left one while Space is held. It only moves the display rectangle;
// every position under the pointer follows from it.
class PictureScroller : public QObject {
    Q_OBJECT
public:
    explicit PictureScroller(ImageControl &control);
    ~PictureScroller() override;

    // The view or the control's size changed: the bars show where the picture is.
    void update();

    // The room a picture shown this large (pixels) leaves beside the bars it needs.
    QSizeF roomFor(const QSizeF &shown) const;

    // The control's events; true when taken here.
    bool wheel(QWheelEvent *event);
    bool press(QMouseEvent *event);
    bool move(QMouseEvent *event);
    bool release(QMouseEvent *event);
    bool key(QKeyEvent *event, bool pressed);
    // Space's release may go to another control.
    void focusLost();

    // The pointer while Space is held or a drag runs.
    std::optional<Qt::CursorShape> cursor() const;

    QScrollBar *horizontal() const { return mBars[0]; }
    QScrollBar *vertical() const { return mBars[1]; }

private:
    int barExtent() const;
    void scrollBy(QPointF pixels);
    void barMoved();

    ImageControl &mControl;
    QScrollBar *mBars[2];
    bool mUpdating = false;
    bool mSpaceHeld = false;
    std::optional<QPointF> mDragFrom; // the pointer where the drag began, pixels
    QRectF mDragView;                 // the display rectangle then
    QPointF mZoomWheel;               // Ctrl+wheel turns not yet a whole step
};

} // namespace chartrek
