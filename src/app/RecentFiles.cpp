#include "app/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace chartrek {

namespace {
// Long paths lose their middle; the whole path is the item's tip.
QString shortened(const QString &path)
{
    constexpr int kMaxChars = 60;
    if (path.size() <= kMaxChars)
        return path;
    return path.left(kMaxChars / 2 - 2) + QStringLiteral("...") + path.right(kMaxChars / 2 - 1);
}
} // namespace

RecentFiles::RecentFiles(QMenu &menu, QAction *before, Settings &settings, Messages &messages, QObject *parent)
    : QObject(parent), mMenu(menu), mSettings(settings), mMessages(messages)
{
    setObjectName(QStringLiteral("recentFiles"));
    // Below the other commands, set apart from the item they go above.
    mSeparator = new QAction(this);
    mSeparator->setSeparator(true);
    mMenu.insertAction(before, mSeparator);
    setFiles(mSettings.value(Setting::RecentFiles).toStringList());
}

void RecentFiles::add(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    QStringList files = mSettings.value(Setting::RecentFiles).toStringList();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    files.removeAll(path);
    files.prepend(path);
    setFiles(files);
}

void RecentFiles::open(const QString &fileName)
{
    if (QFileInfo::exists(fileName)) {
        emit openRequested(fileName);
        return;
    }
    QStringList files = mSettings.value(Setting::RecentFiles).toStringList();
    files.removeAll(fileName);
    setFiles(files);
    mMessages.ShowError(tr("The file %1 cannot be found. It has been removed from the list of recent files.")
                            .arg(QDir::toNativeSeparators(fileName)));
}

void RecentFiles::setFiles(QStringList files)
{
    files = files.mid(0, kMaxFiles);
    mSettings.setValue(Setting::RecentFiles, files);
    // An item may be the one being triggered now: it goes once its signal has ended.
    for (QAction *item : std::as_const(mItems)) {
        mMenu.removeAction(item);
        item->deleteLater();
    }
    mItems.clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = QDir::toNativeSeparators(files.at(i));
        auto *item = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shortened(path).replace(
                                     QLatin1Char('&'), QStringLiteral("&&"))),
                                 this);
        item->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        item->setToolTip(path);
        item->setStatusTip(path);
        const QString file = files.at(i);
        connect(item, &QAction::triggered, this, [this, file] { open(file); });
        mMenu.insertAction(mSeparator, item);
        mItems.append(item);
    }
    mSeparator->setVisible(!mItems.isEmpty());
}

} // namespace chartrek
