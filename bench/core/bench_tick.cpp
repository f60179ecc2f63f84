#include <benchmark/benchmark.h>

#include "NullPorts.h"

namespace {

// One polling tick with every group due and nothing changed.
void BM_PollingTickAllDueNoChange(benchmark::State& state) {
    velmon::bench::Bench b;
    b.monitor.load();
    b.monitor.intervals() = {1, 1, 1};
    b.monitor.tmrMonitorTick();
    for (auto _ : state) {
        b.monitor.tmrMonitorTick();
        benchmark::ClobberMemory();
    }
    if (b.view.draws != 12) state.SkipWithError("a tick without changes redrew");
}
BENCHMARK(BM_PollingTickAllDueNoChange);

// The alert tick with one channel in warning.
void BM_WarnTickOneChannel(benchmark::State& state) {
    velmon::bench::Bench b;
    b.sensor.values[0] = 1000;
    b.monitor.load();
    for (auto _ : state) {
        b.monitor.tmrWarnTick();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WarnTickOneChannel);

}  // namespace

BENCHMARK_MAIN();
