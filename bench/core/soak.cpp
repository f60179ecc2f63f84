// A day of monitoring in fast motion: 86,400 polling ticks and the 700 ms
// alert ticks between them, with readings wandering in and out of warning.
// Exits non-zero when the heap has grown.
#include <malloc.h>

#include <cstdio>

#include "NullPorts.h"

namespace {

std::size_t heapInUse() { return mallinfo2().uordblks; }

void wander(velmon::bench::ConstSensor& s, int second) {
    const int phase = second % 600;
    s.values[0] = static_cast<std::int16_t>(phase < 30 ? 2500 + phase : 4000 + second % 7);  // CPU fan dips
    s.values[2] = static_cast<std::int16_t>(phase > 500 && phase < 520 ? 0 : 2500);           // chassis stops
    s.values[3] = static_cast<std::int16_t>(40 + (second / 60) % 50);                         // CPU temp climbs
    s.values[8] = static_cast<std::int16_t>(5000 + (phase % 200) * 3);                        // +5 V drifts over 5.5
    s.values[10] = static_cast<std::int16_t>(-12000 - (second % 13) * 150);
}

void runSeconds(velmon::bench::Bench& b, int from, int to, double& warnClock) {
    for (int s = from; s < to; ++s) {
        wander(b.sensor, s);
        b.monitor.tmrMonitorTick();
        while (warnClock <= s + 1.0) {
            b.monitor.tmrWarnTick();
            warnClock += 0.7;
        }
        if (s % 3600 == 1800) b.view.shown = false;  // the user hides the window now and then
    }
}

}  // namespace

int main() {
    velmon::bench::Bench b;
    b.monitor.load();
    b.monitor.intervals() = {1, 2, 3};
    double warnClock = 0.7;
    runSeconds(b, 0, 600, warnClock);  // warm-up: every path once
    const std::size_t before = heapInUse();
    runSeconds(b, 600, 86400, warnClock);
    const std::size_t after = heapInUse();
    std::printf("heap in use: %zu -> %zu bytes; beeps %ld, tray calls %ld, draws %ld\n", before, after,
                b.beeper.beeps, b.tray.calls, b.view.draws);
    if (b.beeper.beeps == 0 || b.view.draws == 0) {
        std::printf("the readings never left the normal state\n");
        return 2;
    }
    if (after > before) {
        std::printf("memory grew by %zu bytes\n", after - before);
        return 1;
    }
    return 0;
}
