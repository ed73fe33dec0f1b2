#include "platform/IcuCalendar.h"

#include <cstdlib>

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include "fakes/FakeTimeZone.h"
#include "fakes/LocalTime.h"
#include "platform/SystemTimeZone.h"

namespace orvelle {
namespace {

using test::FakeTimeZone;
using test::instantIn;

constexpr double kHour = 3600;

Instant utc(int y, int mo, int d, int h, int mi, double s = 0) {
    return instantIn("UTC", {y, mo, d, h, mi, s});
}

TEST(IcuCalendar, DayKeyFollowsTheZoneOnEitherSideOfMidnight) {
    FakeTimeZone zone("Asia/Shanghai");
    IcuCalendar calendar(zone);
    const Instant instant = utc(2026, 1, 5, 16, 30);  // 00:30 on the 6th in Shanghai
    EXPECT_EQ(calendar.dayKey(instant), "2026-01-06");
    zone.set("Europe/London");
    EXPECT_EQ(calendar.dayKey(instant), "2026-01-05");
    zone.set("Pacific/Kiritimati");  // UTC+14
    EXPECT_EQ(calendar.dayKey(utc(2026, 1, 5, 10, 0)), "2026-01-06");
    zone.set("Pacific/Pago_Pago");  // UTC-11
    EXPECT_EQ(calendar.dayKey(utc(2026, 1, 5, 10, 0)), "2026-01-04");
}

TEST(IcuCalendar, DayKeyIsZeroPaddedAndCarriesTheCalendarYear) {
    FakeTimeZone zone("Asia/Shanghai");
    IcuCalendar calendar(zone);
    EXPECT_EQ(calendar.dayKey(instantIn("Asia/Shanghai", {2026, 1, 5, 9, 0})), "2026-01-05");
    const Instant lastMinute = instantIn("Asia/Shanghai", {2026, 12, 31, 23, 59});
    EXPECT_EQ(calendar.dayKey(lastMinute), "2026-12-31");
    EXPECT_EQ(calendar.dayKey(addSeconds(lastMinute, 60)), "2027-01-01");
    // 28 December 2026 already lies in week 1 of 2027; a week-based year would say 2027.
    EXPECT_EQ(calendar.dayKey(instantIn("Asia/Shanghai", {2026, 12, 28, 12, 0})), "2026-12-28");
}

TEST(IcuCalendar, DayKeyUsesAsciiDigitsWhateverTheUsersLanguage) {
    const icu::Locale previous = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("ar_EG@calendar=islamic"), status);
    FakeTimeZone zone("Africa/Cairo");
    IcuCalendar calendar(zone);
    EXPECT_EQ(calendar.dayKey(instantIn("Africa/Cairo", {2026, 4, 9, 12, 0})), "2026-04-09");
    icu::Locale::setDefault(previous, status);
}

TEST(IcuCalendar, SkippedTimeGivesTheNextExistingOneAndRepeatedTheFirst) {
    FakeTimeZone zone("America/New_York");
    IcuCalendar calendar(zone);
    // 8 March 2026: 02:00 EST jumps to 03:00 EDT, so 02:30 does not exist.
    const Instant springDay = utc(2026, 3, 8, 12, 0);
    EXPECT_EQ(calendar.atLocalTime(springDay, 2, 30), utc(2026, 3, 8, 7, 0));
    // 1 November 2026: 02:00 EDT falls back to 01:00 EST, so 01:30 happens twice.
    const Instant autumnDay = utc(2026, 11, 1, 16, 0);
    EXPECT_EQ(calendar.atLocalTime(autumnDay, 1, 30), utc(2026, 11, 1, 5, 30));
}

TEST(IcuCalendar, OneDayLaterKeepsTheWallClockTime) {
    FakeTimeZone zone("America/New_York");
    IcuCalendar calendar(zone);
    const Instant evening = utc(2026, 3, 8, 0, 0);  // 19:00 EST on the 7th
    const auto next = calendar.oneDayLater(evening);
    ASSERT_TRUE(next);
    EXPECT_DOUBLE_EQ(secondsBetween(*next, evening), 23 * kHour);
    EXPECT_EQ(calendar.dayKey(*next), "2026-03-08");
}

TEST(IcuCalendar, FollowsTheSystemZoneChangedAtRunTime) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved != nullptr ? saved : "";
    SystemTimeZone system(std::chrono::nanoseconds(0));
    IcuCalendar calendar(system);
    const Instant instant = utc(2026, 1, 5, 20, 0);
    ::setenv("TZ", "Asia/Tokyo", 1);
    EXPECT_EQ(calendar.dayKey(instant), "2026-01-06");
    ::setenv("TZ", "America/Los_Angeles", 1);
    EXPECT_EQ(calendar.dayKey(instant), "2026-01-05");
    EXPECT_EQ(calendar.timeOfDay(instant).hour, 12);
    if (saved != nullptr) {
        ::setenv("TZ", previous.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
}

}  // namespace
}  // namespace orvelle
