#include "platform/desktop/SingleInstance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

#include <QSocketNotifier>
#include <QTimer>

#include "platform/desktop/StreamSocket.h"
#include "platform/posix/AtomicFile.h"
#include "platform/posix/InstanceProtocol.h"
#include "platform/posix/UnixSocket.h"

namespace orvelle {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// A peer that has not sent a whole request by then is dropped, so none can hold a connection.
constexpr std::chrono::seconds kPeerTimeout{5};
constexpr std::chrono::milliseconds kRetryInterval{20};
// How long a caller that withdrew its request waits to learn whether it was carried out.
constexpr std::chrono::seconds kWithdrawalGrace{2};
// Connections taken in one turn of the event loop: a flood of them waits for later turns while
// the capsule goes on ticking and painting.
constexpr int kPeersPerTurn = 8;

// Names the settings file in a socket's name: FNV-1a over its path, in hex.
std::string keyOf(const fs::path& file) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char c : file.string()) {
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// The file that writes of `settingsFile` replace, whatever links and spellings lead to it.
fs::path writtenFile(const fs::path& settingsFile) {
    std::error_code error;
    const fs::path target = AtomicFile::resolveLinks(settingsFile);
    const fs::path canonical = fs::weakly_canonical(target, error);
    return error ? target : canonical;
}

// Whether a lock file could not be made because nobody may create files in its folder; then
// nobody can write the settings there either, as every write replaces the file by a new one.
bool folderRefusesFiles(int error) {
    return error == EACCES || error == EPERM || error == EROFS || error == ENOENT ||
           error == ENOTDIR;
}

}  // namespace

SingleInstance::SingleInstance(const fs::path& settingsFile, const fs::path& runtimeFolder,
                               std::chrono::milliseconds patience)
    : patience_(patience) {
    const fs::path file = writtenFile(settingsFile);
    const std::string key = keyOf(file);
    lock_ = std::make_unique<InstanceLock>(file.string() + ".lock");
    fallbackLockPath_ = runtimeFolder / ("orvelle-" + key + ".lock");
    socketPath_ = runtimeFolder / ("orvelle-" + key + ".socket");
}

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
    Clock::time_point deadline = Clock::now() + patience_;
    pid_t lastHolder = -1;
    while (true) {
        if (const auto role = answered(askRunning(request, deadline))) {
            return *role;
        }
        switch (lock()) {
            case InstanceLock::Outcome::held:
                if (listenWith == nullptr) {
                    return Role::primary;
                }
                handler_ = std::move(*listenWith);
                return listen() ? Role::primary : Role::failed;
            case InstanceLock::Outcome::failed:
                error_ = "orvelle: 无法锁定设置文件：" + lock_->error();
                return Role::failed;
            case InstanceLock::Outcome::busy:
                break;
        }
        // The holder may be a command working on the file, or an instance starting and not yet
        // listening, or ending. Commands take their turns: the wait starts again whenever the
        // lock changes hands, and ends only when one holder keeps it too long.
        const pid_t holder = InstanceLock::holder(lock_->path()).pid;
        if (holder != lastHolder) {
            lastHolder = holder;
            deadline = Clock::now() + patience_;
        }
        if (Clock::now() >= deadline) {
            return notAnswering(holder, "");
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

InstanceAnswer SingleInstance::askRunning(const InstanceProtocol::Request& request,
                                          Clock::time_point deadline) const {
    InstanceAnswer reply = askInstance(socketPath_, request, deadline, kWithdrawalGrace);
    if (reply.kind != InstanceAnswer::Kind::absent) {
        return reply;
    }
    // An instance whose environment names another runtime folder listens there, and says so in
    // the lock file.
    const fs::path recorded = InstanceLock::holder(lock_->path()).note;
    if (!recorded.empty() && recorded != socketPath_) {
        reply = askInstance(recorded, request, deadline, kWithdrawalGrace);
    }
    return reply;
}

std::optional<SingleInstance::Role> SingleInstance::answered(const InstanceAnswer& reply) {
    switch (reply.kind) {
        case InstanceAnswer::Kind::ok:
            return Role::secondary;
        case InstanceAnswer::Kind::refused:
            error_ = "orvelle: 正在运行的 Orvelle（进程 " + std::to_string(reply.pid) +
                     "）拒绝了请求：" + reply.line;
            return Role::failed;
        case InstanceAnswer::Kind::silent:
        case InstanceAnswer::Kind::withdrawn:
            return notAnswering(
                reply.pid != 0 ? reply.pid : InstanceLock::holder(lock_->path()).pid,
                "，请求已撤回，不会执行");
        case InstanceAnswer::Kind::absent:
            break;
    }
    return std::nullopt;
}

InstanceLock::Outcome SingleInstance::lock() {
    // The settings folder may not exist before the first save; made as the first save makes it.
    AtomicFile::ensureFolder(lock_->path().parent_path(), 0700);
    InstanceLock::Outcome outcome = lock_->tryLock();
    if (outcome == InstanceLock::Outcome::failed && lock_->path() != fallbackLockPath_ &&
        folderRefusesFiles(lock_->errorNumber())) {
        lock_ = std::make_unique<InstanceLock>(fallbackLockPath_);
        outcome = lock_->tryLock();
    }
    return outcome;
}

SingleInstance::Role SingleInstance::notAnswering(pid_t pid, const char* what) {
    const std::string who = pid != 0 ? "（进程 " + std::to_string(pid) + "）" : "（进程号未知）";
    error_ = "orvelle: 另一个 Orvelle" + who + "正在运行，但 " +
             std::to_string(std::chrono::ceil<std::chrono::seconds>(patience_).count()) +
             " 秒内没有应答" + what;
    return Role::failed;
}

bool SingleInstance::listen() {
    const auto fail = [this](const char* what) {
        const int error = errno;
        error_ = std::string("orvelle: 无法启动：") + what + " " + socketPath_.string() + "（" +
                 std::strerror(error) + "）";
        return false;
    };
    sockaddr_un address{};
    if (!unixSocketAddress(socketPath_, address)) {
        return fail("无法使用套接字");
    }
    // Holding the lock proves that a socket file left here belongs to an ended instance.
    if (::unlink(socketPath_.c_str()) != 0 && errno != ENOENT) {
        return fail("无法移除旧的套接字");
    }
    ScopedDescriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)};
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
    // Found by processes whose environment names another runtime folder; without the record
    // they still wait their turn on the lock, so a failure here is no reason not to start.
    lock_->record(socketPath_);
    listening_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(listening_.get(), &QSocketNotifier::activated, listening_.get(),
                     [this] { acceptPeers(); });
    return true;
}

void SingleInstance::acceptPeers() {
    int fd = -1;
    for (int taken = 0; taken < kPeersPerTurn; ++taken) {
        if ((fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) < 0) {
            break;
        }
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
    // The folder's mode keeps other users out; the peer's credentials make sure of it.
    ucred peerCredentials{};
    socklen_t size = sizeof peerCredentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peerCredentials, &size) != 0 ||
        peerCredentials.uid != ::geteuid()) {
        ::close(fd);
        return;
    }
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
            // One request per connection: what follows it is never read. A caller that hung up
            // its sending side has given up waiting and told its user that the request failed,
            // so the request is dropped rather than carried out late.
            if (!peer.socket.peerHungUp()) {
                // The answer is a few bytes, which an empty socket buffer takes at once.
                peer.socket.write(QByteArray::fromStdString(answer(lines.front())));
            }
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
