#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace chartrek {

// Keeps the program to one running instance per user. The first start listens on a local
// socket in the user's runtime folder; a later start finds it there, hands over its request
// (take the clipboard picture, or open a named file) and ends without showing a window.
//
// Typical use before the main window exists:
//     SingleInstance instance;
//     if (!instance.tryBecomePrimary()) { instance.sendHandOver(); return 0; }
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket and its lock live in the user's runtime folder under a name unique per user.
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // Returns false only when another instance runs and answers; true when this one now
    // listens, and also when the service could not be set up (no runtime folder, listen
    // failed): a broken runtime folder must not keep the user from working. isListening()
    // and errorString() tell the two true cases apart.
    bool tryBecomePrimary();
    bool isListening() const;
    QString errorString() const;

    // For a second instance: hands the request to the running one and waits for its receipt.
    // An empty path means "take the clipboard picture"; a relative path is made absolute
    // against this process's working folder. Returns true once the running instance has
    // confirmed it.
    bool sendHandOver(const QString &filePath = {}, int timeoutMs = 5000);

    // While `hold` answers true (a dialog or a long operation runs), received hand-overs wait
    // in a queue; deliverWaiting() hands them on, each once, in the order received, as long as
    // the hold stays off. Hand-overs that arrive before anything is connected to
    // handOverReceived (while the main window is still being built) wait the same way and are
    // delivered, from the event loop, once a receiver connects.
    void setHold(std::function<bool()> hold) { mHold = std::move(hold); }
    void deliverWaiting();
    int waitingCount() const { return int(mQueued.size()); }

    // The full path of the socket (for diagnostics and tests).
    QString serverPath() const;
    static QString serverName();

signals:
    // A second instance asked this one to come up; filePath is empty for the clipboard.
    void handOverReceived(const QString &filePath);

protected:
    void connectNotify(const QMetaMethod &signal) override;

private:
    // What a connected peer has sent so far.
    struct Peer {
        QByteArray buffer;
        bool done = false;
    };

    void acceptConnections();
    void readFrom(QLocalSocket *socket);
    void dropConnection(QLocalSocket *socket);
    void deliver(const QString &filePath);
    bool canDeliver() const;

    QString mRuntimeDir;
    QString mError;
    std::unique_ptr<QLocalServer> mServer;
    QHash<QLocalSocket *, Peer> mPeers;
    QList<QString> mQueued;
    std::function<bool()> mHold;
    bool mDelivering = false;
};

} // namespace chartrek
