#include <gtest/gtest.h>

#include "engine/PreferenceKeys.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::StoreHarness;

class SessionTest : public ::testing::Test {
protected:
    SessionTest() { harness.setLocal({2026, 1, 5, 9, 0}); }

    void record(SalaryStore& store) {
        announced.clear();
        subscription = store.subscribe([this](StoreProperty p) { announced.push_back(p); });
    }

    StoreHarness harness;
    std::vector<StoreProperty> announced;
    Subscription subscription;
};

TEST_F(SessionTest, StartWorkPersistsOneInstantAsSessionAndAnchor) {
    SalaryStore& store = harness.launch();
    store.startWork();
    const double click = harness.clock.now().secondsSince1970;
    EXPECT_TRUE(store.isWorking());
    EXPECT_EQ(store.firstAnchorStart(), Instant{click});
    EXPECT_EQ(harness.preferences.text(keys::anchorDay), "2026-01-05");
    EXPECT_EQ(harness.preferences.value(keys::anchorStart), PreferenceValue{click});
    EXPECT_EQ(harness.preferences.value(keys::sessionStart), PreferenceValue{click});
    EXPECT_EQ(harness.scheduler.liveTimers(), 1);
    EXPECT_EQ(harness.scheduler.lastInterval(), std::chrono::milliseconds(50));
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
    EXPECT_EQ(store.menuBarEarnedText(), "0.00");
}

TEST_F(SessionTest, StartingAgainReplacesTheSession) {
    SalaryStore& store = harness.launch();
    store.startWork();
    harness.clock.advance(600);
    harness.scheduler.tick();
    EXPECT_GT(store.earnedTodayDisplay(), 0.0);
    store.startWork();
    const Instant second = harness.clock.now();
    EXPECT_EQ(store.firstAnchorStart(), second);
    EXPECT_EQ(harness.preferences.number(keys::sessionStart), second.secondsSince1970);
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
    EXPECT_EQ(harness.scheduler.liveTimers(), 1);
}

TEST_F(SessionTest, StopWorkClearsEverythingAndStopsTheTimer) {
    SalaryStore& store = harness.launch();
    store.startWork();
    harness.clock.advance(3600);
    harness.scheduler.fireTimers();  // an update is queued when the stop comes
    store.stopWork();
    EXPECT_FALSE(store.isWorking());
    EXPECT_EQ(store.firstAnchorStart(), std::nullopt);
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
    EXPECT_EQ(store.menuBarEarnedText(), "");
    for (const char* key : {keys::sessionStart, keys::anchorDay, keys::anchorStart}) {
        EXPECT_FALSE(harness.preferences.contains(key)) << key;
    }
    EXPECT_EQ(harness.scheduler.liveTimers(), 0);
    harness.scheduler.runPosted();
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
    EXPECT_EQ(store.menuBarEarnedText(), "");
}

TEST_F(SessionTest, StopWorkWhenIdleAnnouncesAndWritesNothing) {
    SalaryStore& store = harness.launch();
    record(store);
    const int writes = harness.preferences.writeCount();
    store.stopWork();
    EXPECT_TRUE(announced.empty());
    EXPECT_EQ(harness.preferences.writeCount(), writes);
}

TEST_F(SessionTest, RelaunchOnTheSameDayResumesWithTheStoredStart) {
    harness.launch().startWork();
    const Instant start = harness.clock.now();
    harness.setLocal({2026, 1, 5, 13, 30});
    SalaryStore& store = harness.launch();
    EXPECT_TRUE(store.isWorking());
    EXPECT_EQ(store.firstAnchorStart(), start);
    EXPECT_EQ(harness.scheduler.liveTimers(), 1);
    // 09:00 to 18:00 at 500 a day: half past one is half the day, time away included.
    EXPECT_EQ(store.menuBarEarnedText(), "250.00");
}

TEST_F(SessionTest, SessionOfAnotherOrUnknownDayIsDiscardedAtLaunch) {
    const double start = harness.clock.now().secondsSince1970;
    for (const auto& [storedDay, launchDay] : {std::pair{"2026-01-05", 6}, std::pair{"", 5}}) {
        harness.preferences = InMemoryPreferences({{keys::sessionStart, start},
                                                   {keys::anchorDay, std::string("2026-01-05")},
                                                   {keys::anchorStart, start}});
        if (*storedDay != 0) {
            harness.preferences.set(keys::calendarDay, std::string(storedDay));
        }
        harness.setLocal({2026, 1, launchDay, 8, 0});
        SalaryStore& store = harness.launch();
        EXPECT_FALSE(store.isWorking());
        EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
        EXPECT_EQ(harness.preferences.text(keys::calendarDay),
                  launchDay == 6 ? "2026-01-06" : "2026-01-05");
        for (const char* key : {keys::sessionStart, keys::anchorDay, keys::anchorStart}) {
            EXPECT_FALSE(harness.preferences.contains(key)) << key;
        }
        EXPECT_EQ(harness.scheduler.liveTimers(), 0);
    }
}

TEST_F(SessionTest, StoredAnchorOfTodayIsKeptAndAnyOtherIsRederived) {
    const double start = harness.at({2026, 1, 5, 8, 30}).secondsSince1970;
    const std::string today = "2026-01-05";
    struct Stored {
        std::optional<std::string> day;
        std::optional<double> start;
        double expected;
    };
    for (const Stored& anchor : {Stored{today, start - 60, start - 60}, Stored{{}, {}, start},
                                 Stored{"2026-01-04", start - 86400, start},
                                 Stored{today, 0.0, start}, Stored{today, {}, start}}) {
        harness.preferences =
            InMemoryPreferences({{keys::calendarDay, today}, {keys::sessionStart, start}});
        if (anchor.day) {
            harness.preferences.set(keys::anchorDay, *anchor.day);
        }
        if (anchor.start) {
            harness.preferences.set(keys::anchorStart, *anchor.start);
        }
        EXPECT_EQ(harness.launch().firstAnchorStart(), Instant{anchor.expected});
        EXPECT_EQ(harness.preferences.text(keys::anchorDay), today);
        EXPECT_EQ(harness.preferences.number(keys::anchorStart), anchor.expected);
    }
}

TEST_F(SessionTest, SessionRunningAcrossMidnightEndsAtTheFirstTickOfTheNewDay) {
    harness.setLocal({2026, 12, 31, 22, 0});
    SalaryStore& store = harness.launch();
    store.startWork();
    harness.setLocal({2026, 12, 31, 23, 59, 59.98});
    harness.scheduler.tick();
    EXPECT_TRUE(store.isWorking());
    EXPECT_GT(store.earnedTodayDisplay(), 0.0);
    harness.clock.advance(0.05);
    harness.scheduler.tick();
    EXPECT_FALSE(store.isWorking());
    EXPECT_EQ(store.earnedTodayDisplay(), 0.0);
    EXPECT_EQ(store.menuBarEarnedText(), "");
    EXPECT_EQ(store.firstAnchorStart(), std::nullopt);
    EXPECT_EQ(harness.scheduler.liveTimers(), 0);
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2027-01-01");
    EXPECT_FALSE(harness.preferences.contains(keys::sessionStart));
}

TEST_F(SessionTest, ChangeOfTimeZoneCanStartANewDay) {
    harness.setLocal({2026, 1, 5, 23, 0});  // Shanghai, UTC+8
    SalaryStore& store = harness.launch();
    store.startWork();
    harness.timeZone.set("Pacific/Kiritimati");  // UTC+14: already the 6th there
    harness.scheduler.tick();
    EXPECT_FALSE(store.isWorking());
}

TEST_F(SessionTest, StartWorkOnANewDayStoresTheDayFirst) {
    SalaryStore& store = harness.launch();
    harness.setLocal({2026, 1, 7, 9, 0});
    store.startWork();
    EXPECT_TRUE(store.isWorking());
    EXPECT_EQ(harness.preferences.text(keys::calendarDay), "2026-01-07");
    EXPECT_EQ(harness.preferences.text(keys::anchorDay), "2026-01-07");
}

TEST_F(SessionTest, EveryAssignmentIsAnnounced) {
    SalaryStore& store = harness.launch();
    record(store);
    store.startWork();
    using P = StoreProperty;
    EXPECT_EQ(announced, (std::vector<P>{P::firstAnchorStart, P::isWorking, P::earnedTodayDisplay,
                                         P::menuBarEarnedText}));
    record(store);
    harness.scheduler.tick();
    EXPECT_EQ(announced, (std::vector<P>{P::earnedTodayDisplay, P::menuBarEarnedText}));
    record(store);
    store.setAmountText("500");
    store.setMode(SalaryMode::daily);
    EXPECT_EQ(announced, (std::vector<P>{P::amountText, P::mode}));
}

TEST_F(SessionTest, DestroyedStoreLeavesQueuedWorkHarmless) {
    harness.launch().startWork();
    harness.scheduler.fireTimers();
    harness.store.reset();
    EXPECT_EQ(harness.scheduler.liveTimers(), 0);
    harness.scheduler.runPosted();  // must not touch the destroyed store
    EXPECT_EQ(harness.scheduler.pendingPosts(), 0U);
}

}  // namespace
}  // namespace orvelle
