#include <sstream>

#include <gtest/gtest.h>
#include <QTest>

#include "app/EndOfDayNotice.h"
#include "fakes/StoreHarness.h"
#include "platform/desktop/DesktopNotifier.h"

namespace orvelle {
namespace {

// Run by notification-e2e.sh alone, on a private session bus with a notification daemon, which
// then reads back what the daemon shows: the end-of-work notice, which in privacy mode shows the
// mask and never the amount.
TEST(EndOfDayNoticeService, ShowsTheNoticeMaskedInPrivacyMode) {
    test::StoreHarness harness;
    harness.setLocal({2026, 3, 2, 9, 0});
    SalaryStore& store = harness.launch();
    store.setWorkday({.endNotice = true});
    store.setPrivacy(true);
    store.startWork();
    std::ostringstream diagnostics;
    auto notifier = std::make_unique<DesktopNotifier>("io.github.orvelle.Orvelle", diagnostics);
    const DesktopNotifier& sent = *notifier;
    const EndOfDayNotice notice(store, std::move(notifier));
    harness.setLocal({2026, 3, 2, 18, 0});
    harness.scheduler.tick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sent.delivered() == 1; }, 10000));
    EXPECT_EQ(diagnostics.str(), "");
}

}  // namespace
}  // namespace orvelle
