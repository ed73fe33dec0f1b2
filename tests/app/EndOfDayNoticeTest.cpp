#include "app/EndOfDayNotice.h"

#include <gtest/gtest.h>

#include "fakes/RecordingNotifier.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

// A store at 09:00 with the end of work at 18:00 and the notice on, watched by the notice.
class EndOfDayNoticeTest : public ::testing::Test {
protected:
    EndOfDayNoticeTest() {
        harness.launchAt({2026, 3, 2, 9, 0}).setWorkday({.endNotice = true});
        harness.store->saveSettings();
        watch();
    }

    void watch() {
        auto recorder = std::make_unique<test::RecordingNotifier>();
        shown = &recorder->shown;
        notice = std::make_unique<EndOfDayNotice>(*harness.store, std::move(recorder));
    }
    void tickAt(int hour, int minute = 0, int day = 2) {
        harness.setLocal({2026, 3, day, hour, minute});
        harness.scheduler.tick();
    }

    test::StoreHarness harness;
    std::unique_ptr<EndOfDayNotice> notice;
    std::vector<test::RecordingNotifier::Shown>* shown = nullptr;
};

TEST_F(EndOfDayNoticeTest, SaysOncePerSessionThatTheDaysPayIsComplete) {
    harness.store->startWork();
    tickAt(17, 59);
    EXPECT_TRUE(shown->empty());
    tickAt(18);
    ASSERT_EQ(shown->size(), 1U);
    EXPECT_EQ(shown->front().summary, "Orvelle · 下班啦");
    EXPECT_EQ(shown->front().body, "今日工资已到手：¥500.00");
    tickAt(18, 30);
    harness.store->setScheduleEndMinutes(19 * 60);  // the end moved while working
    tickAt(18, 45);
    tickAt(19, 1);
    EXPECT_EQ(shown->size(), 1U);
    harness.store->stopWork();
    harness.store->setScheduleEndMinutes(20 * 60);
    harness.store->startWork();  // a new session is told of anew
    tickAt(20);
    EXPECT_EQ(shown->size(), 2U);
}

// Not for a session stopped before its end, ended by the day's change, reaching its end with the
// notice off, or already past its end when the application started.
TEST_F(EndOfDayNoticeTest, SaysNothingForSessionsThatDoNotReachTheirEndWithTheNoticeOn) {
    harness.store->startWork();
    tickAt(17);
    harness.store->stopWork();
    tickAt(18, 30);
    harness.store->startWork();  // ends at 18:00 tomorrow, but the day changes first
    tickAt(0, 0, 3);
    EXPECT_FALSE(harness.store->isWorking());
    harness.store->setWorkday({.endNotice = false});
    harness.setLocal({2026, 3, 3, 9, 0});
    harness.store->startWork();
    tickAt(18, 0, 3);
    harness.store->setWorkday({.endNotice = true});
    harness.store->saveSettings();
    harness.launch();
    watch();
    tickAt(19, 0, 3);
    EXPECT_TRUE(shown->empty());
}

}  // namespace
}  // namespace orvelle
