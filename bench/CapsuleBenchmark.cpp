// The capsule's costs: one full repaint, one tick of the store whose amount text is unchanged
// (the shown view is told, compares the text and asks for no paint), and one tick while the view
// is hidden. It also counts the repaints that a minute of ticking at 500 a day over nine hours
// causes, against the 1200 ticks of that minute.
#include <cstdlib>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QImage>

#include "fakes/StoreHarness.h"
#include "views/FloatingAmountView.h"

namespace {

using namespace orvelle;

struct Running {
    Running() {
        harness.setLocal({2026, 3, 2, 9, 0});
        harness.launch().startWork();
        harness.setLocal({2026, 3, 2, 13, 30});
        harness.scheduler.tick();
        view = std::make_unique<FloatingAmountView>(
            *harness.store, [] {}, [] {});
    }
    test::StoreHarness harness;
    std::unique_ptr<FloatingAmountView> view;
};

void BM_CapsuleRepaint(benchmark::State& state) {
    Running running;
    QImage image(QSize(150, 90) * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        running.view->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_CapsuleRepaint);

void BM_TickWithUnchangedAmountText(benchmark::State& state) {
    Running running;
    running.view->show();
    QCoreApplication::processEvents();
    running.harness.store->setAmountText("1");  // a cent every 5.4 minutes: the text stays
    for (auto _ : state) {
        running.harness.clock.advance(0.00001);
        running.harness.scheduler.tick();
    }
}
BENCHMARK(BM_TickWithUnchangedAmountText);

void BM_TickWhileHidden(benchmark::State& state) {
    Running running;
    for (auto _ : state) {
        running.harness.clock.advance(0.05);
        running.harness.scheduler.tick();
    }
}
BENCHMARK(BM_TickWhileHidden);

void BM_RepaintsInAMinuteAt500ADay(benchmark::State& state) {
    for (auto _ : state) {
        Running running;
        running.view->show();
        QCoreApplication::processEvents();
        const int before = running.view->paintCount();
        for (int tick = 0; tick < 1200; ++tick) {
            running.harness.clock.advance(0.05);
            running.harness.scheduler.tick();
            QCoreApplication::processEvents();
        }
        state.counters["repaints/minute"] = running.view->paintCount() - before;
        state.counters["ticks/minute"] = 1200;
    }
}
BENCHMARK(BM_RepaintsInAMinuteAt500ADay)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
