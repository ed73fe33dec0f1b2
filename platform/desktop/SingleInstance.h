#pragma once

#include <sys/types.h>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/posix/InstanceAsk.h"
#include "platform/posix/InstanceLock.h"
#include "platform/posix/InstanceProtocol.h"

class QSocketNotifier;

namespace orvelle {

// Keeps one writer per settings file: one running instance, or one command working on the file
// while none runs. The lock lies beside the settings file, so that every process that would write
// it sees every other, whatever runtime folder its environment names (a cron job or an ssh shell
// without XDG_RUNTIME_DIR included). The running instance listens on a socket in its runtime
// folder, named after the settings file, and records that socket in the lock file, where a
// process with another runtime folder finds it. Two settings files keep two independent instances.
class SingleInstance {
public:
    // The result of claim(): failed means neither, and error() says why.
    enum class Role { primary, secondary, failed };

    // Where the instance of `settingsFile` locks and listens: the lock beside the file (or, where
    // nobody may create a file beside it, in `runtimeFolder`), the socket in `runtimeFolder`, a
    // folder private to the user. Waits at most `patience` for a running instance to answer, or
    // for a holder of the lock that does not change to let go of it.
    SingleInstance(const std::filesystem::path& settingsFile,
                   const std::filesystem::path& runtimeFolder,
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
    // listening (primary), so that nothing else writes the file while the caller works on it.
    Role deliver(const InstanceProtocol::Request& request);

    // Returns why claim() or deliver() failed, as one line for the user.
    const std::string& error() const { return error_; }

    // Returns the socket the instance listens on, or would.
    const std::filesystem::path& socketPath() const { return socketPath_; }

private:
    Role reach(const InstanceProtocol::Request& request, Handler* listenWith);
    InstanceAnswer askRunning(const InstanceProtocol::Request& request,
                              std::chrono::steady_clock::time_point deadline) const;
    std::optional<Role> answered(const InstanceAnswer& answer);
    InstanceLock::Outcome lock();
    Role notAnswering(pid_t pid, const char* what);
    bool listen();
    void acceptPeers();
    void serve(int fd);
    std::string answer(const std::string& line);
    void drop(uint64_t id);

    std::filesystem::path fallbackLockPath_;
    std::filesystem::path socketPath_;
    std::chrono::milliseconds patience_;
    std::unique_ptr<InstanceLock> lock_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> listening_;
    struct Peer;
    std::map<uint64_t, std::unique_ptr<Peer>> peers_;  // until answered or dropped
    uint64_t nextPeer_ = 0;
    Handler handler_;
    std::string error_;
};

}  // namespace orvelle
