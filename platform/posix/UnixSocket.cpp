#include "platform/posix/UnixSocket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvelle {

ScopedDescriptor::~ScopedDescriptor() {
    if (fd >= 0) {
        ::close(fd);
    }
}

bool unixSocketAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

}  // namespace orvelle
