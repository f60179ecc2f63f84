// What the metrics export adds to a polling tick: building the text, and
// building it and replacing velmon.prom (temporary file, rename).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "MetricsExport.h"
#include "NullPorts.h"
#include "TextfileWriter.h"

namespace {

// A folder of its own for the file; $VELMON_BENCH_DIR picks the file system.
struct ScratchDir {
    ScratchDir() {
        const char* base = std::getenv("VELMON_BENCH_DIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/velmon-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~ScratchDir() {
        if (!path.empty()) std::filesystem::remove_all(path);
    }
    std::string path;
};

void BM_ExpositionText(benchmark::State& state) {
    velmon::bench::Bench b;
    b.monitor.load();
    std::string text;
    velmon::MetricsExporter exporter(b.monitor, [] { return true; }, [] { return std::int64_t{1765389600250}; },
                                     "1.3.0", [](const std::string&) {});
    const velmon::ExportSnapshot snapshot = exporter.snapshot();
    for (auto _ : state) {
        velmon::appendExposition(snapshot, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ExpositionText);

// A polling tick that read every group, with the export on: the tick, the
// snapshot, the text and the file.
void BM_TickWithExport(benchmark::State& state) {
    ScratchDir dir;
    if (dir.path.empty()) {
        state.SkipWithError("no scratch folder");
        return;
    }
    velmon::bench::Bench b;
    b.monitor.load();
    b.monitor.intervals() = {1, 1, 1};
    bool failed = false;
    velmon::TextfileWriter writer(dir.path, [&failed](const std::string&) { failed = true; });
    velmon::MetricsExporter exporter(b.monitor, [] { return true; }, [] { return std::int64_t{1765389600250}; },
                                     "1.3.0", [&writer](const std::string& t) { writer.write(t); });
    exporter.started();
    for (auto _ : state) {
        b.monitor.tmrMonitorTick();
        exporter.afterTick();
    }
    if (failed) state.SkipWithError("velmon.prom could not be written");
}
BENCHMARK(BM_TickWithExport);

// Writing alone, for comparison with the tick above.
void BM_WriteMetricsFile(benchmark::State& state) {
    ScratchDir dir;
    velmon::bench::Bench b;
    b.monitor.load();
    velmon::MetricsExporter exporter(b.monitor, [] { return true; }, [] { return std::int64_t{0}; }, "1.3.0",
                                     [](const std::string&) {});
    const std::string text = velmon::expositionText(exporter.snapshot());
    velmon::TextfileWriter writer(dir.path, {});
    for (auto _ : state) {
        if (!writer.write(text)) {
            state.SkipWithError("velmon.prom could not be written");
            break;
        }
    }
}
BENCHMARK(BM_WriteMetricsFile);

}  // namespace

BENCHMARK_MAIN();
