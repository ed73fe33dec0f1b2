#pragma once

#include <sys/un.h>

#include <string>

namespace orvelle {

// Closes a descriptor when it goes out of scope; set `fd` to -1 to keep it open.
struct ScopedDescriptor {
    int fd;
    ~ScopedDescriptor();
};

// Fills `address` for the Unix socket at `path`; false (errno ENAMETOOLONG) when it does not fit.
bool unixSocketAddress(const std::string& path, sockaddr_un& address);

}  // namespace orvelle
