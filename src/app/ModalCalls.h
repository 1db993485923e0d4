#pragma once

#include "core/FileDialogs.h"
#include "core/Messages.h"
#include "core/Settings.h"

#include <functional>

namespace chartrek {

// The message routines' sink and the file dialogs as the main window hands them to its
// subsystems: each call runs a modal loop, and the window must know when one runs (a hand-over
// from a second start waits until it has ended). Calls go on to the boxes and dialogs given.
// A dialog that remembers its folder opens where the last file chosen in it was.
class ModalCalls : public MessageSink, public FileDialogs {
public:
    ModalCalls(MessageSink &sink, FileDialogs &dialogs, std::function<void()> ended)
        : mSink(sink), mDialogs(dialogs), mEnded(std::move(ended))
    {
    }
    // The settings are made after the message routines, which they tell of a fault.
    void setSettings(Settings *settings) { mSettings = settings; }

    bool running() const { return mDepth > 0; }

    int show(MessageKind kind, const QString &text) override;
    QString getOpenFileName(const FileDialogRequest &request) override;
    QString getSaveFileName(const FileDialogRequest &request, QString *selectedFilter = nullptr) override;

private:
    template <typename Call>
    auto tracked(Call call);
    FileDialogRequest inRememberedFolder(const FileDialogRequest &request) const;
    QString remember(const FileDialogRequest &request, const QString &fileName);

    MessageSink &mSink;
    FileDialogs &mDialogs;
    std::function<void()> mEnded;
    Settings *mSettings = nullptr;
    int mDepth = 0;
};

} // namespace chartrek
