#pragma once

#include "platform/api/Clock.h"

namespace orvelle {

// The system's wall clock.
class SystemClock final : public Clock {
public:
    Instant now() const override;
};

}  // namespace orvelle
