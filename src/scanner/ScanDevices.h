#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace chartrek {

// One scanner as the SANE backends describe it. name is what opening the device needs.
struct ScanDevice {
    QString name;
    QString vendor;
    QString model;
    QString type;

    // What a person picks from a list, e.g. "Noname frontend-tester (test:0)".
    QString displayName() const;
};

// Asks the backends for their devices; blocks, possibly for seconds (network backends).
// On failure returns nothing and puts the reason into error.
std::optional<QList<ScanDevice>> listScanDevices(QString *error = nullptr);

// The same question on a worker thread, so that a window stays responsive while the
// backends search. finished() arrives on the thread that owns the query.
class ScanDeviceQuery : public QObject {
    Q_OBJECT
public:
    explicit ScanDeviceQuery(QObject *parent = nullptr);
    ~ScanDeviceQuery() override;

    void start();
    bool isRunning() const { return mRunning; }
    // Valid after finished(): the devices, or nothing with errorString() telling why.
    const std::optional<QList<ScanDevice>> &devices() const { return mDevices; }
    QString errorString() const { return mError; }

    // For an owner that goes away before the answer: the query deletes itself once the
    // backends have answered instead of making the owner wait for them.
    void abandon();

    // Waits until every search started so far has ended, abandoned ones included. The
    // program calls it before it exits, so that no search is left inside the backends.
    static void waitForRunningSearches();

signals:
    void finished();

private:
    struct Shared;
    std::shared_ptr<Shared> mShared;
    bool mRunning = false;
    std::optional<QList<ScanDevice>> mDevices;
    QString mError;
};

} // namespace chartrek
