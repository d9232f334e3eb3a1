// Costs of the core on every tick, and of shaping the window once.

#include "handlers/snoozard.h"
#include "fakes/fakes.h"
#include "posix/posix_time_text.h"
#include "qt/qt_regions.h"
#include "shaping/transparent.h"
#include "window/layout.h"

#include <benchmark/benchmark.h>

#include <clocale>

namespace bellwick {
namespace {

struct Bench {
    fakes::FakeServices f;
    PosixTimeText timeText;
    Window w = makeSnoozardLayout();
    Snoozard s{w, Services{f.regions, f.messages, f.process, f.settings, f.player, f.dialog, f.clock, timeText, f.log,
                           f.power, f.ticker}};
    Bench()
    {
        std::setlocale(LC_ALL, "en_US.UTF-8");
        s.load();
    }
};

void BM_TickUnarmed(benchmark::State& state)
{
    Bench b;
    int sec = 0;
    for (auto _ : state) {
        b.f.clock.time.time.second = sec++ % 60;
        b.s.timer1Tick();
    }
}
BENCHMARK(BM_TickUnarmed);

void BM_TickArmed(benchmark::State& state)
{
    Bench b;
    b.w.setText(b.w.control("Text1"), "2030-01-01 07:00");  // never reached
    b.w.setValue(b.w.control("Check1"), 1);
    int sec = 0;
    for (auto _ : state) {
        b.f.clock.time.time.second = sec++ % 60;
        b.s.timer1Tick();
    }
    if (b.w.control("Check1").value != 1) state.SkipWithError("the alarm fired");
}
BENCHMARK(BM_TickArmed);

void BM_MakeTransparent(benchmark::State& state)
{
    fakes::FakeMessages messages;
    fakes::FakeProcess process;
    for (auto _ : state) {
        Window w = makeSnoozardLayout();
        QtRegions regions;
        MakeTransparent(w, regions, messages, process);
        benchmark::DoNotOptimize(regions.region(1));
    }
}
BENCHMARK(BM_MakeTransparent);

}  // namespace
}  // namespace bellwick

BENCHMARK_MAIN();
