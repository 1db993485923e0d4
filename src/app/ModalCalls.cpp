#include "app/ModalCalls.h"

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

QString ModalCalls::getOpenFileName(const FileDialogRequest &request)
{
    return tracked([&] { return mDialogs.getOpenFileName(request); });
}

QString ModalCalls::getSaveFileName(const FileDialogRequest &request)
{
    return tracked([&] { return mDialogs.getSaveFileName(request); });
}

} // namespace chartrek
