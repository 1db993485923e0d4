#pragma once

#include "project/ProjectFile.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace chartrek {

// The copy of the figure kept while it has unsaved changes, so that a crash, a kill or a logout
// loses at most the last few seconds. A change schedules a write a little later; the picture is
// encoded and the file written on a thread of its own (the picture of a large figure takes a
// while), in one step, so that a copy on disk is always whole. Saving or a clean close removes it.
class RecoveryCopy : public QObject {
    Q_OBJECT
public:
    // `snapshot` gives the figure as it stands, on this thread.
    explicit RecoveryCopy(std::function<Project()> snapshot, QString path = defaultPath(), QObject *parent = nullptr);
    ~RecoveryCopy() override;

    // $XDG_STATE_HOME/chartrek/recovery.chartrek, ~/.local/state/chartrek/recovery.chartrek without it.
    static QString defaultPath();
    const QString &path() const { return mPath; }
    void setDelay(int milliseconds) { mTimer.setInterval(milliseconds); }

    // When the copy left by an earlier run was written; nothing when there is none.
    std::optional<QDateTime> found() const;

    // Writes the copy now, on this thread, after any write under way (a logout ends the program).
    bool writeNow();
    // Removes the copy and drops a write that is due.
    void discard();

    struct Encoded; // the picture as last encoded, shared with the writer

public slots:
    // The figure has unsaved changes (a copy is due) or has none (the copy goes).
    void figureChanged(bool modified);

signals:
    void written(bool ok);

private:
    void startWrite();
    void writerFinished();
    void waitForWriter();

    std::function<Project()> mSnapshot;
    QString mPath;
    QTimer mTimer;
    QThread *mWriter = nullptr;
    std::shared_ptr<Encoded> mEncoded;
    bool mPending = false;
    bool mWriterOk = false;
};

} // namespace chartrek
