#include "scanner/SaneSession.h"

#include "scanner/ScannerTexts.h"

#include <sane/sane.h>

namespace chartrek {

namespace {

// Never destroyed: a device search still running on a worker at process end may need it.
std::mutex &globalMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

int gUsers = 0;          // guarded by globalMutex()
SANE_Status gInitStatus; // the status of the sane_init the current users share

} // namespace

SaneSession::SaneSession()
{
    auto guard = lock();
    if (gUsers == 0) {
        SANE_Int version = 0;
        gInitStatus = sane_init(&version, nullptr);
    }
    ++gUsers;
    mReady = gInitStatus == SANE_STATUS_GOOD;
    if (!mReady)
        mError = ScannerTexts::tr("The scanner library could not be started: %1").arg(statusText(gInitStatus));
}

SaneSession::~SaneSession()
{
    auto guard = lock();
    if (--gUsers == 0 && gInitStatus == SANE_STATUS_GOOD)
        sane_exit();
}

std::unique_lock<std::mutex> SaneSession::lock()
{
    return std::unique_lock<std::mutex>(globalMutex());
}

QString SaneSession::statusText(int status)
{
    return QString::fromUtf8(sane_strstatus(static_cast<SANE_Status>(status)));
}

} // namespace chartrek
