#pragma once

#include "core/Twips.h"
#include "picture/BitmapHolder.h"
#include "picture/DisplayCache.h"
#include "picture/DrawingSurface.h"
#include "picture/ImageOps.h"
#include "picture/ScreenOverlay.h"
#include "picture/ViewMarks.h"

#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QScrollBar;

namespace chartrek {

class PictureScroller;

// The imaging control: holds one picture, shows it 1:1, fitted or through any display
// rectangle, lends a drawing surface on the picture and an inverting overlay on the screen,
// and reports mouse events. Every position and size it exchanges is in twips, 15 per
// device-independent pixel; one picture pixel is one device-independent pixel at 1:1.
class ImageControl : public QWidget, public BitmapHolder {
    Q_OBJECT
public:
    enum PaintSizeMode : int { PaintNormal = 0, PaintFit = 3 };
    enum MousePointer : int { PointerDefault = 0, PointerArrow = 1, PointerHourglass = 11, PointerCustom = 99 };

    explicit ImageControl(QWidget *parent = nullptr);
    ~ImageControl() override;

    // --- the picture ---
    bool hasBitmap() const override { return !mImage.isNull(); }
    const QImage &image() const { return mImage; }
    // Takes a picture; the view returns to the whole bitmap 1:1 at the control's top-left.
    void setImage(QImage image);
    // Assigning another control's bitmap: this one gets its own copy (a null one frees it).
    void assignFrom(const ImageControl &other);
    void freeBitmap();
    // Takes another control's picture of the same size in place of its own, keeping the view:
    // the clean copy back over a marked picture.
    void restorePicture(const ImageControl &other);
    void restorePicture(const QImage &image);

    // --- sizes, in twips ---
    float bitmapWidth() const override;
    float bitmapHeight() const override;
    int bitsPerPixel() const;
    // The whole bitmap: (0, 0, bitmap width, bitmap height).
    QRectF sourceRect() const;
    float innerWidth() const;
    float innerHeight() const;

    // --- view ---
    bool repaintEnabled() const { return mRepaintEnabled; }
    void setRepaintEnabled(bool enabled);
    int paintSizeMode() const { return mPaintSizeMode; }
    void setPaintSizeMode(int mode);
    // Where the whole bitmap is drawn, in control twips. In the fit mode this is the fitted
    // rectangle; otherwise the one last set.
    QRectF displayRect() const;
    float displayLeft() const { return float(displayRect().left()); }
    float displayTop() const { return float(displayRect().top()); }
    float displayWidth() const { return float(displayRect().width()); }
    float displayHeight() const { return float(displayRect().height()); }
    void setDisplayRect(float left, float top, float width, float height);
    QRectF displayClipRect() const { return mClipRect; }
    void setDisplayClipRect(float left, float top, float width, float height);
    // The magnifier's starting view: shows the source control's picture size through the given
    // rectangle until the first display rectangle arrives.
    void setupZoomWindow(float left, float top, float width, float height, const ImageControl &source);

    // --- moving around a picture larger than the control ---
    // Scroll bars whenever the shown picture reaches past the control; the wheel scrolls
    // (Shift+wheel sideways), Ctrl+wheel asks for a zoom, and the middle button, or the left one
    // with Space held, drags the picture. Off for the magnifier and the dialogs' pictures.
    void setScrollable(bool scrollable);
    bool scrollable() const { return mScroller != nullptr; }
    // The part of the control the picture is seen in: all of it but the scroll bars (pixels).
    QRect viewport() const { return contentsRect(); }
    // Shows the picture through this display rectangle (twips), 1:1 mode, as the user moved
    // it there: what lies under the pointer is reported again by a move.
    void moveView(const QRectF &display);
    // The display rectangle moved by the least that leaves no more of the viewport empty than
    // the picture's size needs: a picture wider than the viewport fills it, a narrower one sits
    // at its left edge (and the same for the height).
    QRectF keptInView(const QRectF &display) const;
    QScrollBar *horizontalScrollBar() const;
    QScrollBar *verticalScrollBar() const;

    // Marks shown over the picture on the screen, never in it, following every view.
    void setViewMarks(QList<ViewMark> marks);
    const QList<ViewMark> &viewMarks() const { return mViewMarks; }

    // Repaints from the bitmap: what the overlay held there is gone afterwards.
    void forceRepaint();
    void repaintRect(float left, float top, float right, float bottom, bool erase = false);

    // --- pointer and rubber band ---
    int mousePointer() const { return mMousePointer; }
    void setMousePointer(int pointer);
    void setMouseIcon(const QCursor &cursor);
    QRectF rubberBandRect() const { return mRubberBand; }
    void setRubberBandRect(float left, float top, float width, float height);
    bool rubberBandVisible() const { return mRubberBandVisible; }
    void setRubberBandVisible(bool visible);
    // A small inverted crosshair at a point of the control (device-independent pixels): the
    // pointer the keyboard moves where the platform does not let the program move the real one.
    void setLogicalPointer(std::optional<QPoint> pixel);
    std::optional<QPoint> logicalPointer() const { return mLogicalPointer; }

    // --- picture operations; failures leave the held picture as it was ---
    // Loads the first page in the file's own colour depth. A picture wider or higher than
    // 32760 pixels is refused as TooLarge before it is decoded. A helper that draws the file
    // is waited for with wait.
    LoadStatus load(const QString &fileName, QString *error = nullptr, const HelperWaiter &wait = waitBlocking);
    // True exactly when the clipboard holds a picture this control accepts.
    static bool clipboardHasPicture();
    LoadStatus paste(QString *error = nullptr);
    // Both sides at most 32760 pixels.
    bool pictureSizeAllowed() const;
    bool copy() const;
    // Windows bitmap with the picture's present bits per pixel, written atomically.
    bool save(const QString &fileName, QString *error = nullptr) const;
    // 8 bits per pixel with a palette, no dithering.
    void colorReduce();
    // Hundredths of a degree, positive clockwise on the screen; size kept, uncovered black.
    void rotate(qint32 hundredths);

    // --- drawing surfaces ---
    // The held bitmap's drawing surface (drawing coordinates, twips, y up); nullptr without a
    // picture. Give it back with releaseBitmapSurface so that what was drawn reaches the screen.
    DrawingSurface *getBitmapSurface() override;
    void releaseBitmapSurface(DrawingSurface *surface) override;
    // Inverts a line over the picture on the screen, in control twips; the end point is left
    // out. The same line again removes it; a repaint of the area removes it too.
    void invertLine(qint32 x1, qint32 y1, qint32 x2, qint32 y2);
    // The inverted pixels as a mask of the control's size (device-independent pixels).
    const ScreenOverlay &overlay() const { return mOverlay; }

signals:
    // Button: 1 left, 2 right, 4 middle (held buttons for moves); shift: 1 Shift, 2 Ctrl, 4 Alt;
    // x, y in control twips.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    // The whole control was repainted from the bitmap: every inverted line is gone, and what
    // is to stay on the screen has to be drawn again.
    void repainted();
    // Another part of the picture, or the same at another size, is seen: after a scroll, a zoom,
    // a new display rectangle or a new size of the control.
    void viewMoved();
    // Ctrl+wheel over the picture: steps up (positive) or down, about the control point (twips).
    void zoomRequested(int steps, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // A double click arrives as a press and a release, then this: the press is taken; a second
    // one here would capture a point twice.
    void mouseDoubleClickEvent(QMouseEvent *event) override { event->accept(); }
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void replacePicture(QImage image);
    void pictureChanged();
    // The picture or where it is shown changed: repaints it and drops the inverted lines.
    void viewChanged();
    void updatePictureArea(const QRect &pixels);
    QRectF displayRectPixels() const;
    void emitMouse(void (ImageControl::*signal)(int, int, float, float), int button, QMouseEvent *event);
    void applyCursor();
    // After the user moved the view: the move handling runs again where the pointer rests.
    void reportPointerAgain();

    QImage mImage;
    DisplayCache mCache;

    bool mRepaintEnabled = true;
    int mPaintSizeMode = PaintNormal;
    QRectF mDisplayRect;
    QRectF mClipRect;
    bool mClipSet = false;
    int mMousePointer = PointerArrow;
    QCursor mMouseIcon{Qt::CrossCursor};
    QRectF mRubberBand;
    bool mRubberBandVisible = false;
    std::optional<QPoint> mLogicalPointer;
    // Made in place for each loan: the tracer borrows it thousands of times a trace.
    std::optional<DrawingSurface> mSurface;
    ScreenOverlay mOverlay;
    QList<ViewMark> mViewMarks;
    std::unique_ptr<PictureScroller> mScroller;
    bool mPointerReportDue = false;
};

} // namespace chartrek
