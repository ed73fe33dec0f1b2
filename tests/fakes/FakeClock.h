#pragma once

#include "platform/api/Clock.h"

namespace orvelle::test {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(Instant start = {}) : now_(start) {}
    Instant now() const override { return now_; }
    void set(Instant instant) { now_ = instant; }
    void advance(double seconds) { now_.secondsSince1970 += seconds; }

private:
    Instant now_;
};

}  // namespace orvelle::test
