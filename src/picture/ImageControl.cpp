#include "picture/ImageControl.h"

#include "picture/PictureScroller.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace chartrek {

namespace {

constexpr double kTwips = kTwipsPerPixel;
// Half the width of the logical pointer's crosshair, pixels.
constexpr int kPointerArm = 6;

// The smallest pixel rectangle that covers a rectangle given in twips.
QRect pixelsCovering(double left, double top, double right, double bottom)
{
    const int l = int(std::floor(std::min(left, right) / kTwips));
    const int t = int(std::floor(std::min(top, bottom) / kTwips));
    const int r = int(std::ceil(std::max(left, right) / kTwips));
    const int b = int(std::ceil(std::max(top, bottom) / kTwips));
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

int mouseButtons(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
        | (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

// The forms the drawing surface and the pixel probe read directly. Loaded and pasted pictures
// come in them already; another one that cannot be converted for want of memory is kept as it
// is, and its drawing surface then draws and probes nothing.
QImage heldForm(QImage image)
{
    QImage held = toHeldFormat(image);
    return held.isNull() ? image : held;
}

} // namespace

ImageControl::ImageControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    mOverlay.resize(size());
    applyCursor();
}

ImageControl::~ImageControl() = default;

void ImageControl::setImage(QImage image)
{
    mSurface.reset();
    mImage = heldForm(std::move(image));
    mDisplayRect = sourceRect();
    mClipRect = mDisplayRect;
    mClipSet = false;
    pictureChanged();
}

void ImageControl::assignFrom(const ImageControl &other)
{
    if (&other == this)
        return;
    // QImage copies on write, so the two controls never see each other's drawing.
    setImage(other.mImage);
}

void ImageControl::restorePicture(const ImageControl &other)
{
    if (&other != this)
        restorePicture(other.mImage);
}

void ImageControl::restorePicture(const QImage &image)
{
    if (image.size() == mImage.size())
        replacePicture(image);
}

void ImageControl::freeBitmap()
{
    setImage(QImage());
}

void ImageControl::replacePicture(QImage image)
{
    mSurface.reset();
    mImage = heldForm(std::move(image));
    pictureChanged();
}

void ImageControl::pictureChanged()
{
    mCache.setSource(&mImage);
    viewChanged();
}

void ImageControl::viewChanged()
{
    // Inverted lines belong to what was on the screen when they were drawn.
    mOverlay.clearAll();
    if (mScroller)
        mScroller->update();
    update();
    emit repainted();
    emit viewMoved();
}

float ImageControl::bitmapWidth() const
{
    return float(mImage.width()) * kTwipsPerPixel;
}

float ImageControl::bitmapHeight() const
{
    return float(mImage.height()) * kTwipsPerPixel;
}

int ImageControl::bitsPerPixel() const
{
    return hasBitmap() ? bitmapBitsPerPixel(mImage) : 0;
}

QRectF ImageControl::sourceRect() const
{
    return QRectF(0, 0, bitmapWidth(), bitmapHeight());
}

float ImageControl::innerWidth() const
{
    return float(contentsRect().width()) * kTwipsPerPixel;
}

float ImageControl::innerHeight() const
{
    return float(contentsRect().height()) * kTwipsPerPixel;
}

bool ImageControl::pictureSizeAllowed() const
{
    return chartrek::pictureSizeAllowed(mImage.size());
}

void ImageControl::setRepaintEnabled(bool enabled)
{
    mRepaintEnabled = enabled;
    // Updates wait while repaint is off and arrive in one piece when it comes back.
    setUpdatesEnabled(enabled);
}

void ImageControl::setPaintSizeMode(int mode)
{
    const int newMode = (mode == PaintFit) ? PaintFit : PaintNormal;
    if (newMode == mPaintSizeMode)
        return;
    mPaintSizeMode = newMode;
    viewChanged();
}

QRectF ImageControl::displayRect() const
{
    if (mPaintSizeMode != PaintFit || !hasBitmap())
        return mDisplayRect;
    const QRect inner = contentsRect();
    const double scale = std::min(double(inner.width()) / mImage.width(), double(inner.height()) / mImage.height());
    return QRectF(inner.left() * kTwips, inner.top() * kTwips, mImage.width() * scale * kTwips,
                  mImage.height() * scale * kTwips);
}

void ImageControl::setDisplayRect(float left, float top, float width, float height)
{
    const QRectF rect(left, top, width, height);
    if (rect == mDisplayRect)
        return;
    mDisplayRect = rect;
    if (mPaintSizeMode != PaintFit)
        viewChanged();
}

void ImageControl::setDisplayClipRect(float left, float top, float width, float height)
{
    mClipRect = QRectF(left, top, width, height);
    mClipSet = true;
    update();
}

void ImageControl::setupZoomWindow(float left, float top, float width, float height, const ImageControl &source)
{
    Q_UNUSED(source);
    mPaintSizeMode = PaintNormal;
    mClipSet = false;
    setDisplayRect(left, top, width, height);
}

void ImageControl::setScrollable(bool scrollable)
{
    if (scrollable == bool(mScroller))
        return;
    if (scrollable) {
        mScroller = std::make_unique<PictureScroller>(*this);
        mScroller->update();
    } else {
        mScroller.reset();
    }
}

QScrollBar *ImageControl::horizontalScrollBar() const
{
    return mScroller ? mScroller->horizontal() : nullptr;
}

QScrollBar *ImageControl::verticalScrollBar() const
{
    return mScroller ? mScroller->vertical() : nullptr;
}

void ImageControl::moveView(const QRectF &display)
{
    mPaintSizeMode = PaintNormal;
    mDisplayRect = display;
    mClipRect = display;
    mClipSet = true;
    viewChanged();
    reportPointerAgain();
}

QRectF ImageControl::keptInView(const QRectF &display) const
{
    const QSizeF shown = display.size() / kTwips;
    const QSizeF room = (mScroller ? mScroller->roomFor(shown) : QSizeF(size())) * kTwips;
    const auto keep = [](double from, double extent, double space) {
        return extent > space ? std::clamp(from, space - extent, 0.0) : 0.0;
    };
    QRectF kept = display;
    kept.moveLeft(keep(display.left(), display.width(), room.width()));
    kept.moveTop(keep(display.top(), display.height(), room.height()));
    return kept;
}

void ImageControl::setViewMarks(QList<ViewMark> marks)
{
    if (marks == mViewMarks)
        return;
    mViewMarks = std::move(marks);
    update();
}

void ImageControl::reportPointerAgain()
{
    if (mPointerReportDue)
        return;
    mPointerReportDue = true;
    // From the event loop: the view's mover finishes first, and no handler runs inside another.
    QTimer::singleShot(0, this, [this] {
        mPointerReportDue = false;
        const QPointF at = mapFromGlobal(QPointF(QCursor::pos()));
        if (!hasBitmap() || !underMouse() || !viewport().contains(at.toPoint())
            || (mScroller && mScroller->cursor() == Qt::ClosedHandCursor))
            return;
        emit mouseMove(mouseButtons(QGuiApplication::mouseButtons()), shiftState(QGuiApplication::keyboardModifiers()),
                       float(at.x() * kTwips), float(at.y() * kTwips));
    });
}

void ImageControl::forceRepaint()
{
    mOverlay.clearAll();
    update();
    emit repainted();
}

void ImageControl::repaintRect(float left, float top, float right, float bottom, bool erase)
{
    Q_UNUSED(erase);
    const QRect area = pixelsCovering(left, top, right, bottom);
    mOverlay.clear(area);
    update(area);
}

void ImageControl::setMousePointer(int pointer)
{
    mMousePointer = pointer;
    applyCursor();
}

void ImageControl::setMouseIcon(const QCursor &cursor)
{
    mMouseIcon = cursor;
    applyCursor();
}

void ImageControl::applyCursor()
{
    if (const auto hand = mScroller ? mScroller->cursor() : std::nullopt) {
        setCursor(*hand);
        return;
    }
    switch (mMousePointer) {
    case PointerHourglass:
        setCursor(Qt::WaitCursor);
        break;
    case PointerCustom:
        setCursor(mMouseIcon);
        break;
    default:
        setCursor(Qt::ArrowCursor);
        break;
    }
}

void ImageControl::setRubberBandRect(float left, float top, float width, float height)
{
    mRubberBand = QRectF(left, top, width, height);
    if (mRubberBandVisible)
        update();
}

void ImageControl::setRubberBandVisible(bool visible)
{
    if (visible == mRubberBandVisible)
        return;
    mRubberBandVisible = visible;
    update();
}

LoadStatus ImageControl::load(const QString &fileName, QString *error, const HelperWaiter &wait)
{
    LoadedPicture loaded = loadPicture(fileName, wait);
    if (loaded.status == LoadStatus::Loaded)
        setImage(std::move(loaded.image));
    else if (error)
        *error = loaded.error;
    return loaded.status;
}

bool ImageControl::clipboardHasPicture()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage() && !QGuiApplication::clipboard()->image().isNull();
}

LoadStatus ImageControl::paste(QString *error)
{
    LoadedPicture taken = acceptPicture(QGuiApplication::clipboard()->image());
    if (taken.status == LoadStatus::Loaded)
        setImage(std::move(taken.image));
    else if (error)
        *error = taken.error;
    return taken.status;
}

bool ImageControl::copy() const
{
    if (!hasBitmap())
        return false;
    QGuiApplication::clipboard()->setImage(mImage);
    return true;
}

bool ImageControl::save(const QString &fileName, QString *error) const
{
    return saveBitmap(mImage, fileName, error);
}

void ImageControl::colorReduce()
{
    if (hasBitmap())
        replacePicture(reduceColors(mImage));
}

void ImageControl::rotate(qint32 hundredths)
{
    if (hasBitmap())
        replacePicture(rotatePicture(mImage, hundredths));
}

DrawingSurface *ImageControl::getBitmapSurface()
{
    if (!hasBitmap() || mSurface)
        return nullptr;
    mSurface.emplace(mImage);
    return &*mSurface;
}

void ImageControl::releaseBitmapSurface(DrawingSurface *surface)
{
    if (!surface || !mSurface || surface != &*mSurface)
        return;
    const QRect dirty = mSurface->dirtyPixels();
    mSurface.reset();
    if (!dirty.isEmpty())
        updatePictureArea(dirty);
}

void ImageControl::invertLine(qint32 x1, qint32 y1, qint32 x2, qint32 y2)
{
    const QPoint from(floorDiv(x1, kTwipsPerPixel), floorDiv(y1, kTwipsPerPixel));
    const QPoint to(floorDiv(x2, kTwipsPerPixel), floorDiv(y2, kTwipsPerPixel));
    const QRect touched = mOverlay.invertLine(from, to);
    if (!touched.isEmpty())
        update(touched);
}

QRectF ImageControl::displayRectPixels() const
{
    const QRectF twips = displayRect();
    return QRectF(twips.left() / kTwips, twips.top() / kTwips, twips.width() / kTwips, twips.height() / kTwips);
}

void ImageControl::updatePictureArea(const QRect &pixels)
{
    const QRect area = pixels.intersected(mImage.rect());
    if (area.isEmpty())
        return;
    mCache.invalidate(area);
    const QRectF shown = displayRectPixels();
    const double sx = shown.width() / mImage.width();
    const double sy = shown.height() / mImage.height();
    const QRectF onScreen(shown.left() + area.left() * sx, shown.top() + area.top() * sy, area.width() * sx,
                          area.height() * sy);
    update(onScreen.toAlignedRect().adjusted(-1, -1, 1, 1));
}

void ImageControl::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, palette().color(QPalette::Window));
    if (hasBitmap()) {
        const QRectF shown = displayRectPixels();
        QRectF clip = rect();
        if (mClipSet)
            clip = QRectF(mClipRect.left() / kTwips, mClipRect.top() / kTwips, mClipRect.width() / kTwips,
                          mClipRect.height() / kTwips);
        const QRectF visible = shown.intersected(clip).intersected(exposed);
        if (!visible.isEmpty()) {
            painter.setClipRect(visible);
            mCache.paint(painter, shown, visible, devicePixelRatioF());
            painter.setClipping(false);
            // Parts shown roughly are averaged in the paints that follow, as time allows.
            if (mCache.roughShown())
                QTimer::singleShot(0, this, qOverload<>(&QWidget::update));
        }
        paintViewMarks(painter, mViewMarks, shown, QSizeF(bitmapWidth(), bitmapHeight()),
                       QRectF(viewport()).intersected(exposed), devicePixelRatioF());
    }
    if (!mOverlay.isEmpty()) {
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.drawImage(exposed.topLeft(), mOverlay.mask(), exposed);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (mRubberBandVisible) {
        // Inverted like the other overlay lines, so that it shows on any picture.
        const QRect band = pixelsCovering(mRubberBand.left(), mRubberBand.top(), mRubberBand.right(),
                                          mRubberBand.bottom());
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        const int w = std::max(1, band.width()), h = std::max(1, band.height());
        painter.drawRect(band.left(), band.top(), w, 1);
        if (h > 1) {
            painter.drawRect(band.left(), band.top() + h - 1, w, 1);
            if (h > 2) {
                painter.drawRect(band.left(), band.top() + 1, 1, h - 2);
                if (w > 1)
                    painter.drawRect(band.left() + w - 1, band.top() + 1, 1, h - 2);
            }
        }
    }
    if (mLogicalPointer) {
        const QPoint p = *mLogicalPointer;
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(p.x() - kPointerArm, p.y(), 2 * kPointerArm + 1, 1, Qt::white);
        painter.fillRect(p.x(), p.y() - kPointerArm, 1, kPointerArm, Qt::white);
        painter.fillRect(p.x(), p.y() + 1, 1, kPointerArm, Qt::white);
    }
}

void ImageControl::setLogicalPointer(std::optional<QPoint> pixel)
{
    if (pixel == mLogicalPointer)
        return;
    const auto area = [](QPoint p) { return QRect(p.x() - kPointerArm, p.y() - kPointerArm, 2 * kPointerArm + 1, 2 * kPointerArm + 1); };
    if (mLogicalPointer)
        update(area(*mLogicalPointer));
    mLogicalPointer = pixel;
    if (mLogicalPointer)
        update(area(*mLogicalPointer));
}

void ImageControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    mOverlay.resize(size());
    // The fitted picture follows the control's size; a larger one stays filling the viewport.
    if (mPaintSizeMode == PaintFit && hasBitmap()) {
        viewChanged();
    } else if (mScroller) {
        mScroller->update();
        const QRectF kept = keptInView(mDisplayRect);
        if (hasBitmap() && kept != mDisplayRect && mClipRect == mDisplayRect)
            moveView(kept);
        else
            emit viewMoved();
    }
}

void ImageControl::emitMouse(void (ImageControl::*signal)(int, int, float, float), int button, QMouseEvent *event)
{
    const QPointF at = event->position() * kTwips;
    emit(this->*signal)(button, shiftState(event->modifiers()), float(at.x()), float(at.y()));
}

// A drag of the picture is no press, move or release of a tool.
void ImageControl::mousePressEvent(QMouseEvent *event)
{
    if (mScroller && mScroller->press(event))
        return applyCursor();
    emitMouse(&ImageControl::mouseDown, mouseButtons(event->button()), event);
}

void ImageControl::mouseMoveEvent(QMouseEvent *event)
{
    if (mScroller && mScroller->move(event))
        return;
    emitMouse(&ImageControl::mouseMove, mouseButtons(event->buttons()), event);
}

void ImageControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (mScroller && mScroller->release(event))
        return applyCursor();
    emitMouse(&ImageControl::mouseUp, mouseButtons(event->button()), event);
}

void ImageControl::wheelEvent(QWheelEvent *event)
{
    if (mScroller && mScroller->wheel(event))
        event->accept();
    else
        QWidget::wheelEvent(event);
}

void ImageControl::keyPressEvent(QKeyEvent *event)
{
    if (mScroller) {
        mScroller->key(event, true);
        applyCursor();
    }
    QWidget::keyPressEvent(event);
}

void ImageControl::keyReleaseEvent(QKeyEvent *event)
{
    if (mScroller) {
        mScroller->key(event, false);
        applyCursor();
    }
    QWidget::keyReleaseEvent(event);
}

void ImageControl::focusOutEvent(QFocusEvent *event)
{
    if (mScroller) {
        mScroller->focusLost();
        applyCursor();
    }
    QWidget::focusOutEvent(event);
}

} // namespace chartrek
