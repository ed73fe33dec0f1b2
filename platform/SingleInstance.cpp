#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace orvelle {

namespace {

constexpr QByteArrayView kActivate = "activate\n";
constexpr int kWaitMs = 5000;

}  // namespace

SingleInstance::SingleInstance(QString runtimeFolder, QString sessionKey) {
    QDir().mkpath(runtimeFolder);
    const QString base = runtimeFolder + "/orvelle-" + sessionKey;
    lockPath_ = base + ".lock";
    socketPath_ = base + ".socket";
}

SingleInstance::~SingleInstance() {
    if (server_) {
        server_->close();
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

QString SingleInstance::defaultRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime;
    }
    return QDir::tempPath() + "/orvelle-" + QString::number(::getuid());
}

QString SingleInstance::defaultSessionKey() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY", "none");
    }
    // A display name may hold characters a file name should not (":0.0", "host:1").
    QString key;
    for (const QChar c : display) {
        key += c.isLetterOrNumber() ? c : QChar('_');
    }
    return key;
}

SingleInstance::Role SingleInstance::claim() {
    const QDeadlineTimer deadline(kWaitMs);
    lockFd_ = ::open(lockPath_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        return Role::failed;
    }
    while (!deadline.hasExpired()) {
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
            return Role::primary;
        }
        // The holder may still be starting and not yet listening: try again shortly.
        if (notifyPrimary()) {
            ::close(lockFd_);
            lockFd_ = -1;
            return Role::secondary;
        }
        QThread::msleep(50);
    }
    return Role::failed;
}

bool SingleInstance::notifyPrimary() const {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(500)) {
        return false;
    }
    socket.write(kActivate.data(), kActivate.size());
    socket.waitForBytesWritten(500);
    // The answer confirms that the running instance has taken the request.
    return socket.waitForReadyRead(2000) && socket.readLine().startsWith("ok");
}

void SingleInstance::listen(std::function<void()> onActivate) {
    // Holding the lock proves that any socket file left here belongs to an ended instance.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(socketPath_);
    QObject::connect(
        server_.get(), &QLocalServer::newConnection, server_.get(),
        [this, onActivate = std::move(onActivate)] {
            while (QLocalSocket* peer = server_->nextPendingConnection()) {
                QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
                QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, onActivate] {
                    if (peer->readLine().startsWith("activate")) {
                        peer->write("ok\n");
                        peer->flush();
                        onActivate();
                    }
                });
            }
        });
}

}  // namespace orvelle
