#include "platform/SystemTimeZone.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

// Restores $TZ when a test is done with it.
class TzTest : public ::testing::Test {
protected:
    TzTest() {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        saved_ = hadTz_ ? tz : "";
    }
    ~TzTest() override {
        if (hadTz_) {
            ::setenv("TZ", saved_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
    }

private:
    bool hadTz_;
    std::string saved_;
};

TEST_F(TzTest, ReadsEveryFormOfTz) {
    SystemTimeZone zone(std::chrono::nanoseconds(0));
    for (const auto& [tz, id] : std::vector<std::pair<const char*, const char*>>{
             {"Europe/Berlin", "Europe/Berlin"},
             {":Asia/Tokyo", "Asia/Tokyo"},
             {"/usr/share/zoneinfo/America/New_York", "America/New_York"},
             {"", "UTC"}}) {
        ::setenv("TZ", tz, 1);
        EXPECT_EQ(zone.currentZoneId(), id) << "TZ=" << tz;
    }
}

TEST_F(TzTest, ChecksAgainOnlyAfterTheRecheckInterval) {
    ::setenv("TZ", "Europe/Paris", 1);
    SystemTimeZone zone(std::chrono::hours(1));
    EXPECT_EQ(zone.currentZoneId(), "Europe/Paris");
    ::setenv("TZ", "Asia/Tokyo", 1);
    EXPECT_EQ(zone.currentZoneId(), "Europe/Paris");  // within the interval: the cached answer
    SystemTimeZone eager(std::chrono::nanoseconds(0));
    EXPECT_EQ(eager.currentZoneId(), "Asia/Tokyo");
}

}  // namespace
}  // namespace orvelle
