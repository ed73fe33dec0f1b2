// One tick of a running session on the real calendar, the system's time zone and the real clock:
// the day check plus the recomputation and both announcements.
#include <benchmark/benchmark.h>

#include "engine/SalaryStore.h"
#include "fakes/InMemoryPreferences.h"
#include "fakes/StoreHarness.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"

namespace {

using namespace orvelle;

void BM_Tick(benchmark::State& state) {
    test::InMemoryPreferences preferences;
    SystemClock clock;
    SystemCalendar calendar;
    test::ManualScheduler scheduler;
    SalaryStore store(StoreServices{preferences, clock, calendar, scheduler});
    store.setMode(SalaryMode::monthly);
    store.setAmountText("12,345.67");
    store.startWork();
    int observed = 0;
    const Subscription subscription = store.subscribe([&](StoreProperty) { ++observed; });
    for (auto _ : state) {
        scheduler.tick();
        benchmark::DoNotOptimize(store.earnedTodayDisplay());
    }
    state.counters["announcements/tick"] =
        static_cast<double>(observed) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Tick);

}  // namespace

BENCHMARK_MAIN();
