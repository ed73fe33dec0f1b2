#include "platform/posix/SystemClock.h"

#include <chrono>

namespace orvelle {

Instant SystemClock::now() const {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return Instant{std::chrono::duration<double>(sinceEpoch).count()};
}

}  // namespace orvelle
