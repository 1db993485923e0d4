#include "app/SingleInstance.h"

#include "app/HandOverMessage.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMetaMethod>
#include <QStandardPaths>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace chartrek {

namespace {
// How long a start waits for another one that is setting up at the same moment.
constexpr int kLockWaitMs = 5000;
// A live instance accepts a connection at once, even while it is busy: the system queues it.
constexpr int kConnectTimeoutMs = 1000;
// A peer gets this long to send its message; then it is dropped.
constexpr int kPeerTimeoutMs = 5000;
// More peers than this at once are not a second instance starting; they are refused.
constexpr int kMaxPeers = 16;
} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent)
{
    mRuntimeDir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::~SingleInstance()
{
    // The server deletes its sockets; they must not call back into a half-destroyed object.
    for (QLocalSocket *socket : mPeers.keys())
        socket->disconnect(this);
}

QString SingleInstance::serverName()
{
#ifdef Q_OS_UNIX
    return QStringLiteral("chartrek-%1").arg(uint(::getuid()));
#else
    return QStringLiteral("chartrek-%1").arg(qEnvironmentVariable("USERNAME"));
#endif
}

QString SingleInstance::serverPath() const
{
    if (mRuntimeDir.isEmpty())
        return {};
    return QDir(mRuntimeDir).filePath(serverName());
}

bool SingleInstance::isListening() const
{
    return mServer && mServer->isListening();
}

QString SingleInstance::errorString() const
{
    return mError;
}

bool SingleInstance::tryBecomePrimary()
{
    if (isListening())
        return true;
    // Never fall back to a shared folder such as /tmp: another user could put a socket there.
    if (mRuntimeDir.isEmpty()) {
        mError = tr("No private runtime folder; the program runs without the single-instance service.");
        return true;
    }

    // Two starts at the same moment: the second waits here until the first listens.
    QLockFile lock(serverPath() + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        mError = tr("The start lock could not be taken; going on without it.");

    QLocalSocket probe;
    probe.connectToServer(serverPath());
    if (probe.waitForConnected(kConnectTimeoutMs)) {
        probe.disconnectFromServer();
        return false;
    }
    // Only a refused connection proves that nobody listens: then whatever is at the path is
    // left over from an instance that ended without cleaning up and may be replaced. Any
    // other failure (a timeout, no resources) may hide a live instance, whose socket must
    // stay; this one then runs on its own.
    const QLocalSocket::LocalSocketError failure = probe.error();
    if (failure != QLocalSocket::ConnectionRefusedError && failure != QLocalSocket::ServerNotFoundError) {
        mError = probe.errorString();
        return true;
    }

    QLocalServer::removeServer(serverPath());
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    server->setMaxPendingConnections(kMaxPeers);
    if (!server->listen(serverPath())) {
        mError = server->errorString();
        return true;
    }
    connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    mServer = std::move(server);
    return true;
}

bool SingleInstance::sendHandOver(const QString &filePath, int timeoutMs)
{
    if (serverPath().isEmpty()) {
        mError = tr("No private runtime folder to find the running instance in.");
        return false;
    }
    const QString path = filePath.isEmpty() ? QString() : QFileInfo(filePath).absoluteFilePath();
    const QByteArray message = handover::encode(path);
    if (message.size() > handover::kHeaderSize + handover::kMaxPathBytes) {
        mError = tr("The file path is too long to hand over.");
        return false;
    }

    QLocalSocket socket;
    socket.connectToServer(serverPath());
    if (!socket.waitForConnected(timeoutMs)) {
        mError = socket.errorString();
        return false;
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) {
        mError = socket.errorString();
        return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            mError = socket.errorString();
            return false;
        }
    }
    if (socket.read(1) != QByteArray(1, handover::kReceipt)) {
        mError = tr("The running instance did not confirm the hand-over.");
        return false;
    }
    return true;
}

void SingleInstance::connectNotify(const QMetaMethod &signal)
{
    // Deliver from the event loop: the receiver is still being connected right now.
    if (signal == QMetaMethod::fromSignal(&SingleInstance::handOverReceived) && !mQueued.isEmpty())
        QMetaObject::invokeMethod(this, &SingleInstance::deliverWaiting, Qt::QueuedConnection);
}

bool SingleInstance::canDeliver() const
{
    return !(mHold && mHold()) && isSignalConnected(QMetaMethod::fromSignal(&SingleInstance::handOverReceived));
}

void SingleInstance::deliverWaiting()
{
    // A receiver that runs a dialog for one hand-over sees the next only after it returns: a
    // call from inside it leaves the rest to the loop below, which keeps the order.
    if (mDelivering)
        return;
    mDelivering = true;
    while (!mQueued.isEmpty() && canDeliver())
        emit handOverReceived(mQueued.takeFirst());
    mDelivering = false;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = mServer->nextPendingConnection()) {
        if (mPeers.size() >= kMaxPeers) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        mPeers.insert(socket, Peer{});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { dropConnection(socket); });
        QTimer::singleShot(kPeerTimeoutMs, socket, [this, socket] { dropConnection(socket); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket *socket)
{
    const auto it = mPeers.find(socket);
    if (it == mPeers.end() || it->done)
        return;
    // Read no more than one message can be long, so a flood cannot grow the buffer.
    const qint64 room = handover::kHeaderSize + handover::kMaxPathBytes - it->buffer.size();
    it->buffer += socket->read(room);

    const handover::Decoded decoded = handover::decode(it->buffer);
    switch (decoded.status) {
    case handover::Status::NeedMore:
        if (room > 0)
            return;
        [[fallthrough]];
    case handover::Status::Invalid:
        dropConnection(socket);
        return;
    case handover::Status::Complete:
        it->done = true;
        socket->write(QByteArray(1, handover::kReceipt));
        socket->flush();
        socket->disconnectFromServer();
        deliver(decoded.filePath);
        return;
    }
}

void SingleInstance::dropConnection(QLocalSocket *socket)
{
    if (!mPeers.remove(socket))
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SingleInstance::deliver(const QString &filePath)
{
    mQueued.append(filePath);
    deliverWaiting();
}

} // namespace chartrek
