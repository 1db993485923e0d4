#pragma once

#include <QString>

#include <mutex>

namespace chartrek {

// Keeps the SANE library initialised while at least one session lives. SANE has one global
// state per process, so initialisation is counted and the last session ends it; calls that
// touch the global backend list (device listing, open, close) are serialised through lock().
class SaneSession {
public:
    SaneSession();
    ~SaneSession();
    SaneSession(const SaneSession &) = delete;
    SaneSession &operator=(const SaneSession &) = delete;

    bool isReady() const { return mReady; }
    QString errorString() const { return mError; }

    static std::unique_lock<std::mutex> lock();
    // sane_strstatus as a QString.
    static QString statusText(int status);

private:
    bool mReady = false;
    QString mError;
};

} // namespace chartrek
