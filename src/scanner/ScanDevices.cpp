#include "scanner/ScanDevices.h"

#include "scanner/ScannerTexts.h"

#include "scanner/SaneSession.h"

#include <sane/sane.h>

#include <atomic>
#include <thread>
#include <vector>

namespace chartrek {

QString ScanDevice::displayName() const
{
    const QString label = QStringList{vendor, model}.join(QLatin1Char(' ')).trimmed();
    if (label.isEmpty())
        return name;
    return QStringLiteral("%1 (%2)").arg(label, name);
}

std::optional<QList<ScanDevice>> listScanDevices(QString *error)
{
    SaneSession session;
    if (!session.isReady()) {
        if (error)
            *error = session.errorString();
        return std::nullopt;
    }
    auto guard = SaneSession::lock();
    const SANE_Device **list = nullptr;
    const SANE_Status status = sane_get_devices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        if (error)
            *error = ScannerTexts::tr("The scanners could not be listed: %1").arg(SaneSession::statusText(status));
        return std::nullopt;
    }
    // The backend owns the list only until the next SANE call, so copy it now.
    QList<ScanDevice> devices;
    for (const SANE_Device **d = list; d && *d; ++d) {
        devices.append({QString::fromUtf8((*d)->name), QString::fromUtf8((*d)->vendor),
                        QString::fromUtf8((*d)->model), QString::fromUtf8((*d)->type)});
    }
    return devices;
}

namespace {

// The search threads not joined yet. A finished one is joined when the next search starts.
struct Search {
    std::thread thread;
    std::shared_ptr<std::atomic_bool> done;
};

struct Searches {
    std::mutex mutex;
    std::vector<Search> running;
};

// Never destroyed, like the SANE lock: a thread must not meet a destroyed registry.
Searches &searches()
{
    static auto *registry = new Searches;
    return *registry;
}

} // namespace

void ScanDeviceQuery::waitForRunningSearches()
{
    std::vector<Search> running;
    {
        std::lock_guard guard(searches().mutex);
        running.swap(searches().running);
    }
    for (Search &search : running)
        search.thread.join();
}

// What the worker and the query share. The worker posts its answer only while the query
// is alive; the lock keeps the query from going away in the middle of the post.
struct ScanDeviceQuery::Shared {
    std::mutex mutex;
    ScanDeviceQuery *owner = nullptr;
    bool abandoned = false;
};

ScanDeviceQuery::ScanDeviceQuery(QObject *parent) : QObject(parent), mShared(std::make_shared<Shared>())
{
    mShared->owner = this;
}

ScanDeviceQuery::~ScanDeviceQuery()
{
    std::lock_guard guard(mShared->mutex);
    mShared->owner = nullptr;
}

void ScanDeviceQuery::start()
{
    if (mRunning)
        return;
    mRunning = true;
    mDevices.reset();
    mError.clear();
    auto done = std::make_shared<std::atomic_bool>(false);
    std::thread thread([shared = mShared, done] {
        QString error;
        auto devices = listScanDevices(&error);
        std::lock_guard guard(shared->mutex);
        *done = true; // only the answer's post is left: joining now takes no time
        if (!shared->owner)
            return;
        ScanDeviceQuery *query = shared->owner;
        QMetaObject::invokeMethod(
            query,
            [query, devices = std::move(devices), error] {
                query->mRunning = false;
                query->mDevices = devices;
                query->mError = error;
                emit query->finished();
                if (query->mShared->abandoned)
                    query->deleteLater();
            },
            Qt::QueuedConnection);
    });
    std::lock_guard guard(searches().mutex);
    std::erase_if(searches().running, [](Search &search) {
        if (!*search.done)
            return false;
        search.thread.join();
        return true;
    });
    searches().running.push_back({std::move(thread), std::move(done)});
}

void ScanDeviceQuery::abandon()
{
    mShared->abandoned = true;
    setParent(nullptr);
    if (!mRunning)
        deleteLater();
}

} // namespace chartrek
