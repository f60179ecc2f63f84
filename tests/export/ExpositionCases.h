// Monitor states whose exposition text the tests know by heart: each has a
// file expected/<name>.prom holding the exact text.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Exposition.h"

namespace velmon::test {

struct ExpositionCase {
    std::string name;
    ExportSnapshot snapshot;
};

// Test names show the state's name, not its bytes.
inline void PrintTo(const ExpositionCase& c, std::ostream* os) { *os << c.name; }

inline std::size_t ch(SensorChannel c) { return static_cast<std::size_t>(c); }

// Every channel present and comfortably inside its thresholds.
inline ExportSnapshot healthySnapshot() {
    ExportSnapshot s;
    s.readings.fan = {4000, 3500, 2500};
    s.readings.temp = {45, 35};
    s.readings.volts = {2.0F, 2.5F, 3.3F, 5.0F, 12.0F, -12.0F, -5.0F};
    s.readings.rounded = s.readings.volts;
    s.lastReadingMs = 1765389600250;
    s.version = "1.3.0";
    return s;
}

inline std::vector<ExpositionCase> expositionCases() {
    std::vector<ExpositionCase> cases;
    cases.push_back({"healthy", healthySnapshot()});

    {   // The CPU fan slowed to its threshold and +5 V sits on its upper one.
        ExportSnapshot s = healthySnapshot();
        s.readings.fan[0] = 2800;
        s.readings.volts[3] = 5.5F;
        s.alarms.flags[ch(SensorChannel::CpuFan)] = true;
        s.alarms.flags[ch(SensorChannel::In3)] = true;
        cases.push_back({"alarm", s});
    }
    {   // No power fan in MBFAN.INI; the library cannot measure the CPU
        // temperature or the second core input. Their readings are left out.
        ExportSnapshot s = healthySnapshot();
        s.fans.fitted[1] = 0;
        s.measurable[ch(SensorChannel::CpuTemp)] = false;
        s.measurable[ch(SensorChannel::In1)] = false;
        s.thresholds.installed[2] = false;  // present but marked not installed
        s.readings.fan[2] = 0;
        cases.push_back({"absent", s});
    }
    {   // Switched Off from the tray menu while a warning stood: the flags stay.
        ExportSnapshot s = healthySnapshot();
        s.monitoring = false;
        s.readings.temp[1] = 52;
        s.alarms.flags[ch(SensorChannel::MbTemp)] = true;
        s.lastReadingMs = 1765389000000;
        cases.push_back({"off", s});
    }
    {   // Negative rails to the millivolt, and thresholds the user set on them.
        ExportSnapshot s = healthySnapshot();
        s.readings.volts = {1.75F, 1.251F, 3.349F, 4.999F, 12.151F, -12.151F, -4.849F};
        s.thresholds.volDn[5] = -12.2F;
        s.thresholds.volUp[5] = -12.0F;
        s.thresholds.volDn[6] = -5.0F;
        s.thresholds.volUp[6] = -4.0F;
        s.alarms.flags[ch(SensorChannel::In5)] = true;
        cases.push_back({"negative_rails", s});
    }
    {   // Thresholds at the ends of their ranges, readings equal to them.
        ExportSnapshot s = healthySnapshot();
        s.readings.fan = {9999, 1, 3000};
        s.thresholds.fan = {9999, 1, -32768};
        s.readings.temp = {0, 35};
        s.thresholds.temp = {0, 32767};
        s.thresholds.volUp[4] = 14.0F;
        s.thresholds.volDn[4] = 10.0F;
        s.alarms.flags[ch(SensorChannel::CpuFan)] = true;
        s.alarms.flags[ch(SensorChannel::PowerFan)] = true;
        s.alarms.flags[ch(SensorChannel::CpuTemp)] = true;
        s.lastReadingMs = 0;
        cases.push_back({"threshold_at_bound", s});
    }
    {   // The CPU temperature's sensor was lost (a driver unloaded) and +5 V
        // failed once: no samples of their readings, and their failed reads counted.
        ExportSnapshot s = healthySnapshot();
        s.noReading[ch(SensorChannel::CpuTemp)] = true;
        s.readFailures[ch(SensorChannel::CpuTemp)] = 7;
        s.noReading[ch(SensorChannel::In3)] = true;
        s.readFailures[ch(SensorChannel::In3)] = 1;
        s.readFailures[ch(SensorChannel::CpuFan)] = 2;  // failed twice before, reads now
        cases.push_back({"lost_sensor", s});
    }
    return cases;
}

}  // namespace velmon::test
