#pragma once

#include "core/Messages.h"
#include "core/Settings.h"

#include <QList>
#include <QObject>

class QAction;
class QMenu;

namespace chartrek {

// The File menu's list of the pictures opened last, newest first, kept in the settings. A file
// that is gone when chosen is taken off the list, with a message.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 8;

    // The items go into `menu` above `before`, with a separator between.
    RecentFiles(QMenu &menu, QAction *before, Settings &settings, Messages &messages, QObject *parent = nullptr);

    QList<QAction *> items() const { return mItems; }

public slots:
    // A file was opened: it goes to the top of the list. An empty name (a picture from the
    // clipboard or a scanner) changes nothing.
    void add(const QString &fileName);

signals:
    void openRequested(const QString &fileName);

private:
    void open(const QString &fileName);
    void setFiles(QStringList files);

    QMenu &mMenu;
    Settings &mSettings;
    Messages &mMessages;
    QAction *mSeparator;
    QList<QAction *> mItems;
};

} // namespace chartrek
