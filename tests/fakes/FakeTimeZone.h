#pragma once

#include <string>

#include "platform/TimeZoneSource.h"

namespace orvelle::test {

// A time zone the test chooses and may change at any moment.
class FakeTimeZone final : public TimeZoneSource {
public:
    explicit FakeTimeZone(std::string id) : id_(std::move(id)) {}
    std::string currentZoneId() const override { return id_; }
    void set(std::string id) { id_ = std::move(id); }

private:
    std::string id_;
};

}  // namespace orvelle::test
