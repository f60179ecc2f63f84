// The warning rule of each channel kind at its edges: exactly at the
// threshold and one step past it, through the one function each kind has.
#include <gtest/gtest.h>

#include <cmath>

#include "MonitorState.h"
#include "WarningRules.h"

namespace velmon {
namespace {

struct FanCase {
    std::int16_t speed, threshold;
    bool installed;
    Verdict verdict;
};

class FanRule : public ::testing::TestWithParam<FanCase> {};

TEST_P(FanRule, AtOrBelowTheThresholdWarnsWhileInstalled) {
    const FanCase c = GetParam();
    EXPECT_EQ(fanVerdict(c.speed, c.threshold, c.installed), c.verdict)
        << c.speed << " rpm against " << c.threshold << (c.installed ? "" : ", not installed");
}

INSTANTIATE_TEST_SUITE_P(Edges, FanRule, ::testing::Values(
    FanCase{2800, 2800, true, Verdict::Warning},
    FanCase{2801, 2800, true, Verdict::Normal},
    FanCase{2799, 2800, true, Verdict::Warning},
    FanCase{0, 2800, true, Verdict::Warning},
    FanCase{1, 0, true, Verdict::Normal},
    FanCase{0, 0, true, Verdict::Warning},
    // A fan the user said is not there: left alone until it turns faster.
    FanCase{2800, 2800, false, Verdict::Unjudged},
    FanCase{0, 2800, false, Verdict::Unjudged},
    FanCase{2801, 2800, false, Verdict::Normal}));

struct TempCase {
    std::int16_t celsius, threshold;
    Verdict verdict;
};

class TemperatureRule : public ::testing::TestWithParam<TempCase> {};

TEST_P(TemperatureRule, AtOrAboveTheThresholdWarns) {
    const TempCase c = GetParam();
    EXPECT_EQ(temperatureVerdict(c.celsius, c.threshold), c.verdict) << c.celsius << " against " << c.threshold;
}

INSTANTIATE_TEST_SUITE_P(Edges, TemperatureRule, ::testing::Values(
    TempCase{80, 80, Verdict::Warning},
    TempCase{79, 80, Verdict::Normal},
    TempCase{81, 80, Verdict::Warning},
    // A CPU sensor reading 0 warns only with a threshold of 0 or below.
    TempCase{0, 0, Verdict::Warning},
    TempCase{0, 1, Verdict::Normal},
    TempCase{-1, 0, Verdict::Normal}));

struct VoltCase {
    float volts, upper, lower;
    Verdict verdict;
};

class VoltageRule : public ::testing::TestWithParam<VoltCase> {};

TEST_P(VoltageRule, OnlyStrictlyBetweenTheThresholdsIsNormal) {
    const VoltCase c = GetParam();
    EXPECT_EQ(voltageVerdict(c.volts, c.upper, c.lower), c.verdict)
        << c.volts << " V between " << c.lower << " and " << c.upper;
}

INSTANTIATE_TEST_SUITE_P(Edges, VoltageRule, ::testing::Values(
    VoltCase{5.5F, 5.5F, 4.5F, Verdict::Warning},
    VoltCase{5.4F, 5.5F, 4.5F, Verdict::Normal},
    VoltCase{4.5F, 5.5F, 4.5F, Verdict::Warning},
    VoltCase{4.6F, 5.5F, 4.5F, Verdict::Normal},
    VoltCase{-10.3F, -10.3F, -13.7F, Verdict::Warning},
    VoltCase{-10.4F, -10.3F, -13.7F, Verdict::Normal},
    VoltCase{-13.7F, -10.3F, -13.7F, Verdict::Warning},
    VoltCase{-13.6F, -10.3F, -13.7F, Verdict::Normal},
    // Thresholds that cross (a damaged settings file) leave no normal value.
    VoltCase{5.0F, 4.5F, 5.5F, Verdict::Warning},
    // A reading that is no number is never in range.
    VoltCase{std::nanf(""), 5.5F, 4.5F, Verdict::Warning}));

SensorChannel ch(int c) { return static_cast<SensorChannel>(c); }

// A fan is watched when the library measures it and MBFAN.INI fits it; the
// other channels ask the library alone, whatever the fan flags say.
TEST(ChannelWatch, FanConfigurationAndPresenceTogether) {
    ChannelWatch w;
    w.fans.fitted = {1, 0, 1};
    w.presence = ChannelPresence::fromMask(kAllChannels & ~(1 << 2) & ~(1 << 4) & ~(1 << 6));
    EXPECT_TRUE(w.watched(SensorChannel::CpuFan));
    EXPECT_FALSE(w.watched(SensorChannel::PowerFan));    // not fitted
    EXPECT_FALSE(w.watched(SensorChannel::ChassisFan));  // not measured
    EXPECT_TRUE(w.watched(SensorChannel::CpuTemp));
    EXPECT_FALSE(w.watched(SensorChannel::MbTemp));
    EXPECT_TRUE(w.watched(SensorChannel::In0));
    EXPECT_FALSE(w.watched(SensorChannel::In1));
    for (int c = 0; c < kChannelCount; ++c) {
        const bool byKind = c < kFanCount ? w.fan(c) : c < kFanCount + kTempCount ? w.temp(c - kFanCount)
                                                                                 : w.volt(c - kFanCount - kTempCount);
        EXPECT_EQ(byKind, w.watched(ch(c))) << c;
    }
    EXPECT_FALSE(w.watched(ch(kChannelCount)));
    EXPECT_FALSE(w.watched(ch(-1)));
}

}  // namespace
}  // namespace velmon
