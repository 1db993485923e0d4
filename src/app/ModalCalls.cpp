#include "app/ModalCalls.h"

#include <QFileInfo>

namespace chartrek {

template <typename Call>
auto ModalCalls::tracked(Call call)
{
    ++mDepth;
    auto answer = call();
    if (--mDepth == 0 && mEnded)
        mEnded();
    return answer;
}

int ModalCalls::show(MessageKind kind, const QString &text)
{
    return tracked([&] { return mSink.show(kind, text); });
}

FileDialogRequest ModalCalls::inRememberedFolder(const FileDialogRequest &request) const
{
    FileDialogRequest r = request;
    if (r.folder.isEmpty() && r.rememberFolder && mSettings)
        r.folder = mSettings->value(*r.rememberFolder).toString();
    return r;
}

QString ModalCalls::remember(const FileDialogRequest &request, const QString &fileName)
{
    if (!fileName.isEmpty() && request.rememberFolder && mSettings)
        mSettings->setValue(*request.rememberFolder, QFileInfo(fileName).absolutePath());
    return fileName;
}

QString ModalCalls::getOpenFileName(const FileDialogRequest &request)
{
    return remember(request, tracked([&] { return mDialogs.getOpenFileName(inRememberedFolder(request)); }));
}

QString ModalCalls::getSaveFileName(const FileDialogRequest &request, QString *selectedFilter)
{
    return remember(request,
                    tracked([&] { return mDialogs.getSaveFileName(inRememberedFolder(request), selectedFilter); }));
}

} // namespace chartrek
