#pragma once

#include <chrono>
#include <string>

#include "platform/TimeZoneSource.h"

namespace orvelle {

// The time zone the system reports now: $TZ when set, else the zone /etc/localtime names.
// ICU's own host-zone detection caches its answer for the life of the process, so a zone changed
// while the application runs would never be seen; this re-reads the system's settings instead,
// at most once per `recheckInterval`, which keeps the 20 Hz tick cheap while a change still takes
// effect at the next tick.
class SystemTimeZone final : public TimeZoneSource {
public:
    explicit SystemTimeZone(
        std::chrono::steady_clock::duration recheckInterval = std::chrono::milliseconds(10));

    std::string currentZoneId() const override;

private:
    std::chrono::steady_clock::duration recheckInterval_;
    mutable std::chrono::steady_clock::time_point lastCheck_{};
    mutable bool checked_ = false;
    mutable std::string fingerprint_;
    mutable std::string zoneId_;
};

}  // namespace orvelle
