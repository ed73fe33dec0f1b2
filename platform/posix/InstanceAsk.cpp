#include "platform/posix/InstanceAsk.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/posix/UnixSocket.h"

namespace orvelle {

namespace {

using SteadyClock = std::chrono::steady_clock;
using Kind = InstanceAnswer::Kind;

int millisecondsUntil(SteadyClock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// Reads the answer line until `deadline`. Returns `silent` when none came in time and `absent`
// when the instance closed the connection without answering.
InstanceAnswer readAnswer(int fd, SteadyClock::time_point deadline, InstanceAnswer answer) {
    LineSplitter splitter;
    std::vector<std::string> lines;
    answer.kind = Kind::silent;
    while (lines.empty()) {
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, millisecondsUntil(deadline)) <= 0) {
            return answer;
        }
        char buffer[512];
        const ssize_t length = ::read(fd, buffer, sizeof buffer);
        if (length == 0 || (length < 0 && errno != EAGAIN && errno != EINTR)) {
            answer.kind = Kind::absent;
            return answer;
        }
        if (length > 0 && !splitter.feed({buffer, static_cast<size_t>(length)}, lines)) {
            answer.kind = Kind::refused;
            answer.line = "应答过长";
            return answer;
        }
    }
    answer.line = lines.front();
    answer.kind = InstanceProtocol::isOk(answer.line) ? Kind::ok : Kind::refused;
    return answer;
}

}  // namespace

// Plain sockets rather than Qt's: the peer credentials name the running process and its user, and
// a non-blocking connect cannot hang on a stopped instance whose backlog is full.
InstanceAnswer askInstance(const std::filesystem::path& socket,
                           const InstanceProtocol::Request& request,
                           SteadyClock::time_point deadline, std::chrono::milliseconds grace) {
    InstanceAnswer answer;
    sockaddr_un address{};
    const ScopedDescriptor connection{
        ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)};
    if (connection.fd < 0 || socket.empty() || !unixSocketAddress(socket, address)) {
        return answer;
    }
    if (::connect(connection.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
        0) {
        // A full backlog means an instance listens but does not accept.
        answer.kind = errno == EAGAIN ? Kind::silent : Kind::absent;
        return answer;
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(connection.fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        peer.uid != ::geteuid()) {
        return answer;  // not ours to talk to, whoever made it
    }
    answer.pid = peer.pid;
    const std::string line = InstanceProtocol::requestLine(request);
    if (::send(connection.fd, line.data(), line.size(), MSG_NOSIGNAL) < 0) {
        return answer;
    }
    answer = readAnswer(connection.fd, deadline, answer);
    if (answer.kind != Kind::silent) {
        return answer;
    }
    // Too late: withdraw the request rather than leave it to be carried out after the user has
    // been told it failed, and learn whether it was carried out meanwhile.
    ::shutdown(connection.fd, SHUT_WR);
    answer = readAnswer(connection.fd, SteadyClock::now() + grace, answer);
    if (answer.kind == Kind::absent) {
        answer.kind = Kind::withdrawn;
    }
    return answer;
}

}  // namespace orvelle
