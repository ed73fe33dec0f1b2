#pragma once

#include "platform/api/Instant.h"

namespace orvelle {

// The source of the present instant. The engine reads time only through this.
class Clock {
public:
    virtual ~Clock() = default;

    // Returns the present instant, with fractions of a second.
    virtual Instant now() const = 0;
};

}  // namespace orvelle
