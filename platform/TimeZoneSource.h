#pragma once

#include <string>

namespace orvelle {

// Names the time zone that calendar arithmetic should use right now.
class TimeZoneSource {
public:
    virtual ~TimeZoneSource() = default;

    // Returns the current zone as an Olson id ("Asia/Shanghai") or another id ICU understands.
    virtual std::string currentZoneId() const = 0;
};

}  // namespace orvelle
