// Thresholds read from the settings file land inside what their dial, gauge
// or bar can show; text that is no finite number gives the machine's default.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "ThresholdLimits.h"

namespace velmon {
namespace {

using test::Rig;

struct StoredCase {
    const char* key;
    const char* text;
    double expected;  // the threshold in memory after load
};

void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.key << "=" << c.text; }

class StoredThreshold : public ::testing::TestWithParam<StoredCase> {};

double thresholdOf(Monitor& m, const std::string& key) {
    const WarningThresholds& t = m.thresholds();
    if (key == "CPUFan") return t.fan[0];
    if (key == "CPUTemp") return t.temp[0];
    if (key == "MBTemp") return t.temp[1];
    if (key == "VolUp3") return t.volUp[3];
    if (key == "VolDn3") return t.volDn[3];
    if (key == "VolUp4") return t.volUp[4];
    if (key == "VolDn5") return t.volDn[5];
    return -1e9;
}

TEST_P(StoredThreshold, IsClampedToItsScaleOrTakenAsTheDefault) {
    const StoredCase c = GetParam();
    Rig r;
    r.settings.values[c.key] = c.text;
    r.monitor.load();
    EXPECT_FLOAT_EQ(static_cast<float>(thresholdOf(r.monitor, c.key)), static_cast<float>(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, StoredThreshold,
    ::testing::Values(StoredCase{"VolUp3", "3e8", 7.0},       // the +5 V bar ends at 7 V
                      StoredCase{"VolUp4", "1e7", 14.0},      // +12 V: 10 … 14 V
                      StoredCase{"VolUp4", "-1e30", 10.1},
                      StoredCase{"VolDn3", "-1e300", 3.1},
                      StoredCase{"VolDn5", "0", -10.0},       // -12 V: -14 … -10 V
                      StoredCase{"VolUp3", "5.6", 5.6},       // inside: as written
                      StoredCase{"VolUp3", "nan", 5.5},       // not a number: the default
                      StoredCase{"VolUp3", "inf", 5.5},
                      StoredCase{"VolUp3", "1e400", 5.5},     // beyond a double: no finite number
                      StoredCase{"CPUTemp", "-40", 41},       // the CPU gauge: 40 … 90 °C
                      StoredCase{"CPUTemp", "1e9", 90},
                      StoredCase{"CPUTemp", "nan", 80},
                      StoredCase{"CPUTemp", "85", 85},
                      StoredCase{"MBTemp", "200", 60},        // the mainboard gauge: 10 … 60 °C
                      StoredCase{"CPUFan", "-5", 0},          // 0: warns on a stopped fan
                      StoredCase{"CPUFan", "70000", 10000},   // the dial ends at 10000 RPM
                      StoredCase{"CPUFan", "2800.5", 2800},   // halves to even, as before
                      StoredCase{"CPUFan", "fast", 2800}));

TEST(StoredThreshold, AStoppedFanWarnsWithAThresholdStoredBelowZero) {
    Rig r;
    r.settings.values["CPUFan"] = "-5";
    r.monitor.load();
    EXPECT_FALSE(r.alarm(SensorChannel::CpuFan));
    r.sensor[SensorChannel::CpuFan] = 0;
    r.tick(5);
    EXPECT_TRUE(r.alarm(SensorChannel::CpuFan));
}

TEST(StoredThreshold, ACpuThresholdBelowTheGaugeWarnsOnlyWhileTheReadingIsOnTheScale) {
    Rig r;
    r.settings.values["CPUTemp"] = "-40";
    r.monitor.load();
    EXPECT_TRUE(r.alarm(SensorChannel::CpuTemp));  // 45 °C against 41
    r.sensor[SensorChannel::CpuTemp] = 40;
    r.tick(5);
    EXPECT_FALSE(r.alarm(SensorChannel::CpuTemp)) << "a warning that ends";
}

TEST(StoredThreshold, ARaisedGaugeClampsToItsOwnScale) {
    EXPECT_EQ(temperatureThresholdFrom(std::string("30"), 50, 95), 51);
    EXPECT_EQ(temperatureThresholdFrom(std::string("120"), 50, 95), 100);
    EXPECT_EQ(temperatureThresholdFrom(std::nullopt, 50, 95), 95);
}

TEST(StoredThreshold, ClampedValuesAreSavedAtExit) {
    Rig r;
    r.settings.values["VolUp3"] = "3e8";
    r.monitor.load();
    r.monitor.unload();
    EXPECT_EQ(r.settings.values["VolUp3"], "7");
}

}  // namespace
}  // namespace velmon
