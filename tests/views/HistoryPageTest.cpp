#include "views/HistoryPage.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QTest>

#include "fakes/InMemoryHistory.h"
#include "fakes/StoreHarness.h"
#include "views/HistoryChart.h"
#include "views/Palette.h"

namespace orvelle {
namespace {

// Whether the chart at column `x` is drawn in the bars' rose at height `y` of its plot.
bool roseAt(const QImage& chart, int x, int y) {
    const QColor c = chart.pixelColor(x, y);
    return c.alpha() > 200 && c.red() > 200 && c.green() < 190 && c.blue() > 100;
}

// Two days of the month before today, Monday 2 March 2026 at 13:30, and today's open session of
// ¥250 since 09:00: the figures and the chart count it as it is now.
TEST(HistoryPage, ShowsTheTotalsAndDrawsADayAsABarOfItsShare) {
    test::InMemoryHistory history;
    history.save({Instant{1}, "2026-02-27", Instant{1}, 7200, 500, 0, SessionEnding::stopped});
    history.save({Instant{2}, "2026-03-01", Instant{2}, 3600, 125, 0, SessionEnding::stopped});
    test::StoreHarness harness;
    harness.history = &history;
    harness.launchAt({2026, 3, 2, 9, 0}).startWork();
    harness.tickAt({2026, 3, 2, 13, 30});
    HistoryPage page(*harness.store);
    page.resize(420, 330);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    const std::tuple<const char*, const char*, const char*> figures[] = {
        {"today", "amount", "¥250.00"}, {"today", "hours", "4.50"}, {"week", "days", "1"},
        {"month", "amount", "¥375.00"}, {"month", "days", "2"},     {"month", "hours", "5.50"}};
    for (const auto& [row, column, text] : figures) {
        EXPECT_EQ(page.figure(row, column), text) << row << " " << column;
    }
    auto* chart = page.findChild<HistoryChart*>();
    const auto columnOf = [chart](int day) {  // the middle of the bar of day `day` of 30
        return static_cast<int>((day + 0.5) * chart->width() / 30.0);
    };
    EXPECT_EQ(chart->barText(columnOf(29)), "2026-03-02  4.50 小时  ¥250.00");
    QImage image = chart->grab().toImage();
    const int top = 6;                               // the top of the plot: only the tallest bar's
    const int low = image.height() - 18;             // just above the axis: every bar's
    EXPECT_TRUE(roseAt(image, columnOf(26), top));   // 27 February: ¥500, the tallest
    EXPECT_FALSE(roseAt(image, columnOf(28), top));  // 1 March: a quarter of it
    EXPECT_TRUE(roseAt(image, columnOf(28), low));
    EXPECT_FALSE(roseAt(image, columnOf(27), low));  // 28 February: no work
    // Masked, every day worked is drawn full height and no amount is named.
    harness.store->setPrivacy(true);
    QCoreApplication::processEvents();
    image = chart->grab().toImage();
    EXPECT_TRUE(roseAt(image, columnOf(28), top));
    EXPECT_EQ(page.figure("month", "amount"), "¥•••.••");
    EXPECT_EQ(chart->barText(columnOf(26)), "2026-02-27  2.00 小时  ¥•••.••");
}

}  // namespace
}  // namespace orvelle
