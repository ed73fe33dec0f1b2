#include "platform/posix/SystemCalendar.h"

#include <gtest/gtest.h>

#include "fakes/StoreHarness.h"
#include "fakes/TempFolder.h"
#include "platform/posix/ZoneFileWatch.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using test::ScopedTimeZone;

constexpr double kHour = 3600;

// Instants written as UTC wall-clock readings, computed without any zone.
Instant utc(int y, int mo, int d, int h, int mi) {
    using namespace std::chrono;
    const sys_seconds at = sys_days{year{y} / mo / d} + hours{h} + minutes{mi};
    return Instant{static_cast<double>(at.time_since_epoch().count())};
}

// Reads the zone again at every call, so that a zone set by the test takes effect at once.
const SystemCalendar calendar(std::chrono::nanoseconds(0));

// The day of an instant is its local date, as the C library reads the zone; by the calendar year,
// not the year of the ISO week.
TEST(SystemCalendar, GivesTheLocalDayOfAnInstant) {
    const std::tuple<std::string, Instant, std::string> cases[] = {
        // TZ, instant, day
        {"Asia/Shanghai", utc(2026, 1, 5, 16, 30), "2026-01-06"},
        {"EST5EDT,M3.2.0,M11.1.0", utc(2026, 7, 1, 3, 30), "2026-06-30"},
        {"EST5EDT,M3.2.0,M11.1.0", utc(2026, 1, 1, 3, 30), "2025-12-31"},
        // 28 December 2026 already lies in week 1 of 2027; a week-based year would say 2027.
        {"Asia/Shanghai", utc(2026, 12, 28, 4, 0), "2026-12-28"},
    };
    for (const auto& [tz, at, day] : cases) {
        const ScopedTimeZone zone(tz);
        EXPECT_EQ(calendar.dayKey(at), day) << "TZ=" << tz;
    }
}

// Skipped local times give the moment the clocks jumped, repeated ones their first occurrence, and
// one day later keeps the wall-clock time across a transition.
TEST(SystemCalendar, SkippedAndRepeatedTimesAndDaysAcrossTransitions) {
    // The day, a local time on it, and the instant that gives.
    const std::tuple<Instant, int, int, Instant> cases[] = {
        // 8 March 2026: 02:00 EST jumps to 03:00 EDT, so 02:30 does not exist.
        {utc(2026, 3, 8, 12, 0), 2, 30, utc(2026, 3, 8, 7, 0)},
        {utc(2026, 3, 8, 12, 0), 1, 59, utc(2026, 3, 8, 6, 59)},
        {utc(2026, 3, 8, 12, 0), 3, 0, utc(2026, 3, 8, 7, 0)},
        // 1 November 2026: 02:00 EDT falls back to 01:00 EST, so 01:30 happens twice.
        {utc(2026, 11, 1, 16, 0), 1, 30, utc(2026, 11, 1, 5, 30)},
        {utc(2026, 11, 1, 16, 0), 2, 0, utc(2026, 11, 1, 7, 0)},
        {utc(2026, 11, 1, 16, 0), 18, 0, utc(2026, 11, 1, 23, 0)},
    };
    const std::pair<Instant, double> days[] = {
        {utc(2026, 3, 8, 0, 0), 23},   // 19:00 EST on the 7th to 19:00 EDT on the 8th
        {utc(2026, 11, 1, 0, 0), 25},  // 20:00 EDT on 31 October to 20:00 EST
    };
    const ScopedTimeZone zone("America/New_York");
    for (const auto& [day, hour, minute, expected] : cases) {
        EXPECT_EQ(calendar.atLocalTime(day, hour, minute), expected) << hour << ":" << minute;
    }
    for (const auto& [start, hours] : days) {  // fractions of a second are kept
        EXPECT_EQ(calendar.oneDayLater(Instant{start.secondsSince1970 + 0.25}),
                  Instant{start.secondsSince1970 + 0.25 + hours * kHour})
            << hours;
    }
}

// The day found is kept until its midnight: asked at every tick from one reading of the zone, the
// days on both sides of each midnight, a shortened day and a change of $TZ are still right.
TEST(SystemCalendar, KeepsADayOnlyAsLongAsItLasts) {
    const SystemCalendar kept(std::chrono::hours(1));
    ScopedTimeZone zone("America/New_York");
    const auto before = [](Instant at) { return Instant{at.secondsSince1970 - 0.1}; };
    const std::tuple<const char*, Instant, std::string> cases[] = {
        // TZ, instant, day
        {"", utc(2026, 3, 7, 17, 0), "2026-03-07"},
        {"", before(utc(2026, 3, 8, 5, 0)), "2026-03-07"},
        {"", utc(2026, 3, 8, 5, 0), "2026-03-08"},  // 23 hours long
        {"", before(utc(2026, 3, 9, 4, 0)), "2026-03-08"},
        {"", utc(2026, 3, 9, 4, 0), "2026-03-09"},
        {"", before(utc(2026, 3, 10, 4, 0)), "2026-03-09"},
        {"", utc(2026, 3, 8, 12, 0), "2026-03-08"},
        {"", utc(2026, 3, 9, 12, 0), "2026-03-09"},
        {"Asia/Tokyo", utc(2026, 3, 9, 16, 0), "2026-03-10"},
    };
    for (const auto& [tz, at, day] : cases) {
        if (*tz != '\0') {
            zone.set(tz);
        }
        EXPECT_EQ(kept.dayKey(at), day) << at.secondsSince1970;
    }
}

TEST(SystemCalendar, FollowsAZoneChangedAtRunTimeAndRefusesAbsurdInstants) {
    ScopedTimeZone zone("Asia/Tokyo");
    const Instant instant = utc(2026, 1, 5, 20, 0);
    EXPECT_EQ(calendar.dayKey(instant), "2026-01-06");
    zone.set("America/Los_Angeles");
    EXPECT_EQ(calendar.dayKey(instant), "2026-01-05");
    for (const double absurd : {1e300, -1e308, std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(calendar.dayKey(Instant{absurd}), "");
        EXPECT_EQ(calendar.atLocalTime(Instant{absurd}, 18, 0), std::nullopt);
        EXPECT_EQ(calendar.oneDayLater(Instant{absurd}), std::nullopt);
    }
}

// Each way the zone file changes on a real system, reported once, and nothing else reported:
// timedatectl renames a new link over the old one, an administrator rewrites a copied file in
// place, and a package removes it.
TEST(ZoneFileWatch, ReportsEachWayTheZoneFileChangesOnce) {
    const test::TempFolder folder;
    const fs::path zone = folder / "localtime";
    fs::create_symlink("/usr/share/zoneinfo/Asia/Shanghai", zone);
    ZoneFileWatch watch(zone.string());
    ASSERT_TRUE(watch.watching());
    EXPECT_FALSE(watch.changed());

    std::ofstream(folder / "unrelated") << "x";
    EXPECT_FALSE(watch.changed()) << "another file of the folder";

    fs::create_symlink("/usr/share/zoneinfo/Asia/Tokyo", folder / "localtime.new");
    fs::rename(folder / "localtime.new", zone);
    EXPECT_TRUE(watch.changed()) << "a new link renamed over it";
    EXPECT_FALSE(watch.changed()) << "reported once";

    fs::remove(zone);
    fs::copy_file("/usr/share/zoneinfo/Europe/Berlin", zone);
    EXPECT_TRUE(watch.changed()) << "replaced by a copy";
    EXPECT_FALSE(watch.changed());
    std::ofstream(zone, std::ios::app) << "\n";
    EXPECT_TRUE(watch.changed()) << "the copy rewritten in place";
    EXPECT_FALSE(watch.changed());

    fs::remove(zone);
    EXPECT_TRUE(watch.changed()) << "removed";

    // A link to a file elsewhere, which is rewritten where it lies: only the file's watch sees it.
    const test::TempFolder elsewhere;
    fs::copy_file("/usr/share/zoneinfo/Asia/Tokyo", elsewhere / "zone");
    fs::create_symlink(elsewhere / "zone", zone);
    EXPECT_TRUE(watch.changed());
    std::ofstream(elsewhere / "zone", std::ios::app) << "\n";
    EXPECT_TRUE(watch.changed()) << "the file the link names rewritten";
    EXPECT_TRUE(watch.watching());

    // Through a second link, which the system may retarget unseen: the caller must check itself.
    fs::create_symlink("/usr/share/zoneinfo/Asia/Tokyo", elsewhere / "current");
    fs::remove(zone);
    fs::create_symlink(elsewhere / "current", zone);
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.watching()) << "a link to a link";

    // Without a folder to watch, every call says changed.
    ZoneFileWatch lost("/nonexistent-folder/localtime");
    EXPECT_FALSE(lost.watching());
    EXPECT_TRUE(lost.changed() && lost.changed());
}

}  // namespace
}  // namespace orvelle
