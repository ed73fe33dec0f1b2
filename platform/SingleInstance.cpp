#include "platform/SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <thread>

#include <QSocketNotifier>
#include <QTimer>

#include "platform/InstanceProtocol.h"
#include "platform/StreamSocket.h"

namespace orvelle {

namespace {

using Clock = std::chrono::steady_clock;

// A peer that has not sent a whole request by then is dropped, so none can hold a connection.
constexpr std::chrono::seconds kPeerTimeout{5};
constexpr std::chrono::milliseconds kRetryInterval{50};

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& runtimeFolder,
                               std::chrono::milliseconds patience)
    : lockPath_(runtimeFolder / "orvelle.lock"),
      socketPath_(runtimeFolder / "orvelle.socket"),
      patience_(patience),
      lock_(lockPath_) {}

// A connection of a later instance, answered once its request line is whole.
struct SingleInstance::Peer {
    explicit Peer(int fd) : socket(fd) {}
    StreamSocket socket;
    LineSplitter splitter;
    QTimer timeout;
};

SingleInstance::~SingleInstance() {
    peers_.clear();
    if (listener_ >= 0) {
        listening_.reset();
        ::close(listener_);
        // Removed while the lock still keeps others from making one.
        ::unlink(socketPath_.c_str());
    }
}

SingleInstance::Role SingleInstance::claim(Handler handler) {
    return reach({InstanceProtocol::Verb::activate, {}}, &handler);
}

SingleInstance::Role SingleInstance::deliver(const InstanceProtocol::Request& request) {
    return reach(request, nullptr);
}

SingleInstance::Role SingleInstance::reach(const InstanceProtocol::Request& request,
                                           Handler* listenWith) {
    const Clock::time_point deadline = Clock::now() + patience_;
    while (true) {
        const Reply reply = ask(request, deadline);
        switch (reply.answer) {
            case Answer::ok:
                return Role::secondary;
            case Answer::refused:
                error_ = "orvelle: 正在运行的 Orvelle（进程 " + std::to_string(reply.pid) +
                         "）拒绝了请求：" + reply.line;
                return Role::failed;
            case Answer::silent:
                return notAnswering(reply.pid != 0 ? reply.pid : InstanceLock::holder(lockPath_));
            case Answer::absent:
                break;
        }
        switch (lock_.tryLock()) {
            case InstanceLock::Outcome::held:
                if (listenWith == nullptr) {
                    return Role::primary;
                }
                handler_ = std::move(*listenWith);
                return listen() ? Role::primary : Role::failed;
            case InstanceLock::Outcome::failed:
                error_ = "orvelle: 无法启动：" + lock_.error();
                return Role::failed;
            case InstanceLock::Outcome::busy:
                break;
        }
        // The holder may be starting and not listening yet, or ending: ask again shortly.
        if (Clock::now() >= deadline) {
            return notAnswering(InstanceLock::holder(lockPath_));
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

SingleInstance::Role SingleInstance::notAnswering(pid_t pid) {
    const std::string who = pid != 0 ? "（进程 " + std::to_string(pid) + "）" : "（进程号未知）";
    error_ = "orvelle: 另一个 Orvelle" + who + "正在运行，但 " +
             std::to_string(std::chrono::ceil<std::chrono::seconds>(patience_).count()) +
             " 秒内没有应答";
    return Role::failed;
}

// Plain sockets rather than Qt's: the peer credentials name the running process, and a
// non-blocking connect cannot hang on a stopped instance whose backlog is full.
SingleInstance::Reply SingleInstance::ask(const InstanceProtocol::Request& request,
                                          Clock::time_point deadline) const {
    Reply reply;
    sockaddr_un address{};
    const Descriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)};
    if (socket.fd < 0 || !StreamSocket::addressOf(socketPath_, address)) {
        return reply;
    }
    if (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // A full backlog means an instance listens but does not accept.
        reply.answer = errno == EAGAIN ? Answer::silent : Answer::absent;
        return reply;
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(socket.fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0) {
        reply.pid = peer.pid;
    }
    const std::string line = InstanceProtocol::requestLine(request);
    if (::send(socket.fd, line.data(), line.size(), MSG_NOSIGNAL) < 0) {
        return reply;
    }
    LineSplitter splitter;
    std::vector<std::string> lines;
    reply.answer = Answer::silent;
    while (lines.empty()) {
        pollfd wait{socket.fd, POLLIN, 0};
        if (::poll(&wait, 1, millisecondsUntil(deadline)) <= 0) {
            return reply;  // no answer in time
        }
        char buffer[512];
        const ssize_t length = ::read(socket.fd, buffer, sizeof buffer);
        if (length == 0 || (length < 0 && errno != EAGAIN && errno != EINTR)) {
            reply.answer = Answer::absent;  // closed without answering: it may be ending
            return reply;
        }
        if (length > 0 && !splitter.feed({buffer, static_cast<size_t>(length)}, lines)) {
            reply.answer = Answer::refused;
            reply.line = "应答过长";
            return reply;
        }
    }
    reply.line = lines.front();
    reply.answer = InstanceProtocol::isOk(reply.line) ? Answer::ok : Answer::refused;
    return reply;
}

bool SingleInstance::listen() {
    const auto fail = [this](const char* what) {
        const int error = errno;
        error_ = std::string("orvelle: 无法启动：") + what + " " + socketPath_.string() + "（" +
                 std::strerror(error) + "）";
        return false;
    };
    sockaddr_un address{};
    if (!StreamSocket::addressOf(socketPath_, address)) {
        return fail("无法使用套接字");
    }
    // Holding the lock proves that a socket file left here belongs to an ended instance.
    if (::unlink(socketPath_.c_str()) != 0 && errno != ENOENT) {
        return fail("无法移除旧的套接字");
    }
    Descriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)};
    if (socket.fd < 0) {
        return fail("无法创建套接字");
    }
    if (::bind(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return fail("无法绑定套接字");
    }
    if (::listen(socket.fd, SOMAXCONN) != 0) {
        return fail("无法监听套接字");
    }
    listener_ = socket.fd;
    socket.fd = -1;  // kept until the instance ends
    listening_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(listening_.get(), &QSocketNotifier::activated, listening_.get(),
                     [this] { acceptPeers(); });
    return true;
}

void SingleInstance::acceptPeers() {
    int fd = -1;
    while ((fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
        serve(fd);
    }
    // Out of descriptors, the waiting connection stays queued and would wake the loop at once,
    // again and again: listen again a little later.
    if (errno == EMFILE || errno == ENFILE) {
        listening_->setEnabled(false);
        QTimer::singleShot(kRetryInterval * 20, listening_.get(),
                           [this] { listening_->setEnabled(true); });
    }
}

void SingleInstance::serve(int fd) {
    const uint64_t id = nextPeer_++;
    Peer& peer = *peers_.emplace(id, std::make_unique<Peer>(fd)).first->second;
    peer.timeout.setSingleShot(true);
    QObject::connect(&peer.timeout, &QTimer::timeout, &peer.timeout, [this, id] { drop(id); });
    peer.timeout.start(kPeerTimeout);
    peer.socket.onEvents(
        [this, id, &peer](const QByteArray& bytes) {
            std::vector<std::string> lines;
            if (!peer.splitter.feed({bytes.constData(), static_cast<size_t>(bytes.size())},
                                    lines)) {
                drop(id);
                return;
            }
            if (lines.empty()) {
                return;
            }
            for (const std::string& line : lines) {
                peer.socket.write(QByteArray::fromStdString(answer(line)));
            }
            // The answer is a few bytes, which an empty socket buffer takes at once.
            drop(id);
        },
        [this, id] { drop(id); });
}

std::string SingleInstance::answer(const std::string& line) {
    std::string why;
    const auto request = InstanceProtocol::parseRequest(line, &why);
    // Carried out before the answer, so that the answer says whether it worked.
    const std::optional<std::string> error = request ? handler_(*request) : why;
    return error ? InstanceProtocol::errorLine(*error) : InstanceProtocol::okLine();
}

// Called from the peer's own notifiers and timer, which must outlive the call: the peer goes on a
// later turn of the event loop.
void SingleInstance::drop(uint64_t id) {
    const auto found = peers_.find(id);
    if (found == peers_.end()) {
        return;
    }
    found->second->socket.close();
    found->second->timeout.stop();
    QTimer::singleShot(0, listening_.get(), [this, id] { peers_.erase(id); });
}

}  // namespace orvelle
