#pragma once

#include <functional>
#include <memory>

#include <QString>

class QLocalServer;

namespace orvelle {

// Keeps one running instance per user and display session. The first instance holds an advisory
// lock for its whole life, which the kernel drops when the process ends however it ends, so a
// killed instance never blocks the next start; it listens on a local socket beside the lock.
// A later instance finds the lock taken, asks the running one to show itself, and leaves.
class SingleInstance {
public:
    // The result of claim().
    enum class Role { primary, secondary, failed };

    // Uses a lock and a socket named after `sessionKey` in `runtimeFolder`.
    SingleInstance(QString runtimeFolder, QString sessionKey);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Returns the folder and key for the current user and display, from the environment.
    static QString defaultRuntimeFolder();
    static QString defaultSessionKey();

    // Takes the lock, or finds the instance that holds it and passes it the request to show
    // itself; waits at most a few seconds for an instance that is still starting.
    Role claim();

    // Calls `onActivate` whenever a later instance asks this one to show itself (primary only).
    void listen(std::function<void()> onActivate);

private:
    bool notifyPrimary() const;

    QString lockPath_;
    QString socketPath_;
    int lockFd_ = -1;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace orvelle
