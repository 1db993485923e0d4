#include "app/FileDrop.h"

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace chartrek {

namespace {
// The one local file dragged, or nothing.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    return data->urls().constFirst().toLocalFile();
}
} // namespace

FileDrop::FileDrop(QWidget &window, const QAction &open, QObject *parent) : QObject(parent), mOpen(open)
{
    setObjectName(QStringLiteral("fileDrop"));
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString fileName = droppedFile(drop->mimeData());
    if (fileName.isEmpty() || !mOpen.isEnabled()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(this, [this, fileName] { emit fileDropped(fileName); }, Qt::QueuedConnection);
    return true;
}

} // namespace chartrek
