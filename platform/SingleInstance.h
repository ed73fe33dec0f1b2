#pragma once

#include <sys/types.h>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/InstanceLock.h"
#include "platform/InstanceProtocol.h"

class QSocketNotifier;

namespace orvelle {

// Keeps one running instance per user, whatever display it runs on. The first instance holds an
// advisory lock for its whole life and listens on a local socket beside it. A later instance asks
// through the socket first, so a running one is found even if its lock file was removed; an
// answer sends it away, and only when nobody listens does it try the lock.
class SingleInstance {
public:
    // The result of claim(): failed means neither, and error() says why.
    enum class Role { primary, secondary, failed };

    // Uses the lock and the socket in `runtimeFolder`, a folder private to the user; waits at most
    // `patience` for a running instance to answer.
    explicit SingleInstance(const std::filesystem::path& runtimeFolder,
                            std::chrono::milliseconds patience = std::chrono::seconds(5));
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Carries out a request of a later instance, from the event loop; returns nothing when it was
    // carried out, or the reason (one word) why not.
    using Handler = std::function<std::optional<std::string>(const InstanceProtocol::Request&)>;

    // Asks the running instance to show itself, or becomes the running one: then `handler` is
    // called for every request of a later instance.
    Role claim(Handler handler);

    // Hands `request` to the running instance (secondary). When none runs, takes the lock without
    // listening (primary), so that none can start while the caller works on the files itself.
    Role deliver(const InstanceProtocol::Request& request);

    // Returns why claim() failed, as one line for the user.
    const std::string& error() const { return error_; }

private:
    enum class Answer { ok, refused, silent, absent };
    struct Reply {
        Answer answer = Answer::absent;
        pid_t pid = 0;     // the running instance, from the socket's peer credentials
        std::string line;  // what it answered
    };

    Role reach(const InstanceProtocol::Request& request, Handler* listenWith);
    Reply ask(const InstanceProtocol::Request& request,
              std::chrono::steady_clock::time_point deadline) const;
    Role notAnswering(pid_t pid);
    bool listen();
    void acceptPeers();
    void serve(int fd);
    std::string answer(const std::string& line);
    void drop(uint64_t id);

    std::filesystem::path lockPath_;
    std::filesystem::path socketPath_;
    std::chrono::milliseconds patience_;
    InstanceLock lock_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> listening_;
    struct Peer;
    std::map<uint64_t, std::unique_ptr<Peer>> peers_;  // until answered or dropped
    uint64_t nextPeer_ = 0;
    Handler handler_;
    std::string error_;
};

}  // namespace orvelle
