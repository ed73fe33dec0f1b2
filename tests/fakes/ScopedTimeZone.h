#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace orvelle::test {

// Sets the process's time zone ($TZ, as the C library reads it) for as long as it lives, and puts
// back what was there before.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone) {
        if (const char* tz = std::getenv("TZ")) {
            saved_ = tz;
        }
        set(zone);
    }
    ~ScopedTimeZone() {
        if (saved_) {
            ::setenv("TZ", saved_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

    // Changes the zone, as a user changing it while the program runs would.
    void set(const std::string& zone) { ::setenv("TZ", zone.c_str(), 1); }

private:
    std::optional<std::string> saved_;
};

}  // namespace orvelle::test
