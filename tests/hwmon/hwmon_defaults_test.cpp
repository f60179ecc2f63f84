// The rules that turn a driver's limits into the machine's default thresholds.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "HwmonDefaults.h"

namespace zorv::hwmon {
namespace {

constexpr auto S = DefaultOrigin::System;
constexpr auto C = DefaultOrigin::Chip;
constexpr auto T = DefaultOrigin::Today;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::optional<double> kNone;

struct RuleCase {
    const char* what;
    Channel channel;
    const char* chipPrefix;
    const char* label;
    Limits limits;
    std::optional<double> reading;
    DefaultOrigin origin;
    int lower, upper;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.what; }

class DefaultRules : public testing::TestWithParam<RuleCase> {};

TEST_P(DefaultRules, GiveTheLimitWherePlausibleElseTodaysDefault) {
    const auto& c = GetParam();
    const ChipInfo chip{std::string(c.chipPrefix) + "-isa-0290", c.chipPrefix, {}};
    const FeatureInfo feature{"x1", c.label, c.limits};
    const ChannelDefault d = channelDefault(c.channel, chip, feature, c.reading);
    EXPECT_EQ(d.origin, c.origin) << c.what << " (" << d.why << ")";
    EXPECT_EQ(d.lower, c.lower) << c.what;
    EXPECT_EQ(d.upper, c.upper) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DefaultRules,
    testing::Values(
        // Fans: the driver's minimum only when it means something.
        RuleCase{"fan min 0 (nct6775) is unset", Channel::CpuFan, "nct6798", "x1", {0.0, kNone, kNone}, 900.0, T, 300, 0},
        RuleCase{"fan without a min", Channel::CpuFan, "thinkpad", "x1", {}, 2500.0, T, 300, 0},
        RuleCase{"fan min below its speed", Channel::ChassisFan, "nct6798", "x1", {600.0, kNone, kNone}, 800.0, C, 600, 0},
        RuleCase{"fan min with the fan standing", Channel::CpuFan, "it8686", "x1", {450.0, kNone, kNone}, 0.0, C, 450, 0},
        RuleCase{"fan min 1997's 2700 on a fan at 800", Channel::CpuFan, "nct6798", "x1", {2700.0, kNone, kNone}, 800.0, T, 300, 0},
        RuleCase{"fan min equal to its speed", Channel::CpuFan, "nct6798", "x1", {800.0, kNone, kNone}, 800.0, T, 300, 0},
        RuleCase{"fan min 50 is too low to mean a stall", Channel::CpuFan, "nct6798", "x1", {50.0, kNone, kNone}, kNone, T, 300, 0},
        RuleCase{"fan min 5000 is no idle limit", Channel::PowerFan, "nct6798", "x1", {5000.0, kNone, kNone}, 9000.0, T, 300, 0},
        RuleCase{"fan min 65535 (it87 nonsense)", Channel::CpuFan, "it8686", "x1", {65535.0, kNone, kNone}, kNone, T, 300, 0},
        // Processors: the driver decides what its limits mean.
        RuleCase{"coretemp crit 100: TjMax less 5", Channel::CpuTemp, "coretemp", "Package id 0", {kNone, 80.0, 100.0}, kNone, C, 0, 95},
        RuleCase{"coretemp crit 90 (a mobile part)", Channel::CpuTemp, "coretemp", "Package id 0", {kNone, 70.0, 90.0}, kNone, C, 0, 85},
        RuleCase{"coretemp max alone is no threshold", Channel::CpuTemp, "coretemp", "Package id 0", {kNone, 62.0, kNone}, kNone, T, 0, 95},
        RuleCase{"coretemp crit 65261.8", Channel::CpuTemp, "coretemp", "Package id 0", {kNone, 80.0, 65261.8}, kNone, T, 0, 95},
        RuleCase{"k10temp Tctl has no limit", Channel::CpuTemp, "k10temp", "Tctl", {}, kNone, T, 0, 97},
        RuleCase{"k10temp Tdie ignores any limit", Channel::CpuTemp, "k10temp", "Tdie", {kNone, 70.0, 100.0}, kNone, T, 0, 97},
        RuleCase{"zenpower", Channel::CpuTemp, "zenpower", "Tdie", {}, kNone, T, 0, 97},
        RuleCase{"k10temp before Zen: its max Tctl", Channel::CpuTemp, "k10temp", "x1", {kNone, 70.0, kNone}, kNone, C, 0, 70},
        RuleCase{"cpu_thermal crit 90", Channel::CpuTemp, "cpu_thermal", "x1", {kNone, kNone, 90.0}, kNone, C, 0, 85},
        RuleCase{"cpu_thermal without crit", Channel::CpuTemp, "cpu_thermal", "x1", {}, kNone, T, 0, 85},
        RuleCase{"soc_thermal crit 150", Channel::CpuTemp, "soc_thermal", "x1", {kNone, kNone, 150.0}, kNone, T, 0, 85},
        RuleCase{"CPUTIN without limits", Channel::CpuTemp, "nct6798", "CPUTIN", {kNone, 0.0, kNone}, kNone, T, 0, 95},
        RuleCase{"CPUTIN with crit 100", Channel::CpuTemp, "nct6798", "CPUTIN", {kNone, 80.0, 100.0}, kNone, C, 0, 95},
        RuleCase{"drive mapped by hand, crit 84.85", Channel::CpuTemp, "nvme", "Composite", {kNone, 81.85, 84.85}, kNone, C, 0, 80},
        RuleCase{"drive placeholder limits", Channel::CpuTemp, "nvme", "Composite", {kNone, 65261.8, -273.1}, kNone, T, 0, 95},
        RuleCase{"crit that is not a number", Channel::CpuTemp, "coretemp", "Core 0", {kNone, kNone, kNaN}, kNone, T, 0, 95},
        // The mainboard: the chip's max when a case could reach it.
        RuleCase{"SYSTIN max 60", Channel::MbTemp, "nct6798", "SYSTIN", {kNone, 60.0, kNone}, kNone, C, 0, 60},
        RuleCase{"SYSTIN max 0", Channel::MbTemp, "nct6798", "SYSTIN", {kNone, 0.0, kNone}, kNone, T, 0, 75},
        RuleCase{"SYSTIN max 127", Channel::MbTemp, "nct6798", "SYSTIN", {kNone, 127.0, kNone}, kNone, T, 0, 75},
        RuleCase{"it87 negative high", Channel::MbTemp, "it8686", "x1", {kNone, -128.0, kNone}, kNone, T, 0, 75},
        RuleCase{"acpitz has crit only", Channel::MbTemp, "acpitz", "x1", {kNone, kNone, 105.0}, kNone, T, 0, 75},
        RuleCase{"drive placeholder as mainboard", Channel::MbTemp, "nvme", "x1", {kNone, 65261.8, 65261.8}, kNone, T, 0, 75},
        // Voltages: a band around the rail, on the 0.1 V steps, or none.
        RuleCase{"3VCC 3.04..3.56", Channel::In2, "nct6798", "x1", {3.04, 3.56, kNone}, kNone, C, 3000, 3600},
        RuleCase{"3VCC exactly on the steps", Channel::In2, "nct6798", "x1", {3.0, 3.6, kNone}, kNone, C, 3000, 3600},
        RuleCase{"nct6775 unused input 0/0", Channel::In2, "nct6775", "x1", {0.0, 0.0, kNone}, kNone, S, 0, 0},
        RuleCase{"it87 min above max", Channel::In2, "it8686", "x1", {3.6, 3.0, kNone}, kNone, S, 0, 0},
        RuleCase{"BIOS 0 and 255", Channel::In3, "it8686", "x1", {0.0, 4.08, kNone}, kNone, S, 0, 0},
        RuleCase{"band wider than a fifth", Channel::In2, "nct6798", "x1", {2.5, 4.0, kNone}, kNone, S, 0, 0},
        RuleCase{"band beside the rail", Channel::In3, "nct6798", "x1", {3.0, 3.6, kNone}, kNone, S, 0, 0},
        RuleCase{"min only", Channel::In4, "nct6798", "x1", {10.8, kNone, kNone}, kNone, S, 0, 0},
        RuleCase{"+12V 10.8..13.2", Channel::In4, "it8686", "x1", {10.8, 13.2, kNone}, kNone, C, 10800, 13200},
        RuleCase{"-12V band", Channel::In5, "w83627ehf", "x1", {-13.15, -10.85, kNone}, kNone, C, -13200, -10800},
        RuleCase{"-12V ends swapped by a compute line", Channel::In5, "it8686", "x1", {-10.85, -13.15, kNone}, kNone, C, -13200, -10800},
        RuleCase{"-5V band with the wrong sign", Channel::In6, "it8686", "x1", {4.5, 5.5, kNone}, kNone, S, 0, 0},
        RuleCase{"-5V band", Channel::In6, "it8686", "x1", {-5.5, -4.55, kNone}, kNone, C, -5500, -4500},
        RuleCase{"core input: a band around its middle", Channel::In0, "nct6798", "x1", {1.0, 1.3, kNone}, kNone, C, 1000, 1300},
        RuleCase{"core input: a range, not a band", Channel::In0, "nct6798", "x1", {0.6, 1.5, kNone}, kNone, S, 0, 0},
        RuleCase{"core input 0/0", Channel::In1, "nct6798", "x1", {0.0, 0.0, kNone}, kNone, S, 0, 0},
        RuleCase{"limits that are not numbers", Channel::In2, "nct6798", "x1", {kNaN, 3.6, kNone}, kNone, S, 0, 0}));

std::vector<ChipInfo> modernDesktop() {
    return {{"nct6798-isa-0290",
             "nct6798",
             {{"fan1", "fan1", {0.0, kNone, kNone}},
              {"fan2", "fan2", {500.0, kNone, kNone}},
              {"temp1", "SYSTIN", {kNone, 60.0, kNone}},
              {"in3", "in3", {3.04, 3.56, kNone}}}},
            {"coretemp-isa-0000", "coretemp", {{"temp1", "Package id 0", {kNone, 80.0, 100.0}}}}};
}

ChannelMap mapOf(std::initializer_list<std::pair<Channel, FeatureRef>> refs) {
    ChannelMap m;
    for (const auto& [c, r] : refs) m[static_cast<std::size_t>(c)] = r;
    return m;
}

TEST(MachineDefaults, EachPresentChannelByItsFeatureAndTheAbsentOnesKeepTheSystems) {
    const auto chips = modernDesktop();
    const ChannelMap present = mapOf({{Channel::CpuFan, {"nct6798-isa-0290", "fan2"}},
                                      {Channel::ChassisFan, {"nct6798-isa-0290", "fan1"}},
                                      {Channel::CpuTemp, {"coretemp-isa-0000", "temp1"}},
                                      {Channel::MbTemp, {"nct6798-isa-0290", "temp1"}},
                                      {Channel::In2, {"nct6798-isa-0290", "in3"}}});
    std::array<std::optional<double>, kChannelCount> now{};
    now[0] = 900.0;
    now[2] = 700.0;
    const ChannelDefaults d = machineDefaults(chips, present, now);
    auto is = [&](Channel c, DefaultOrigin o, int lower, int upper) {
        const auto& x = d[static_cast<std::size_t>(c)];
        EXPECT_EQ(x.origin, o) << channelName(c);
        EXPECT_EQ(x.lower, lower) << channelName(c);
        EXPECT_EQ(x.upper, upper) << channelName(c);
    };
    is(Channel::CpuFan, C, 500, 0);
    is(Channel::PowerFan, S, 0, 0);
    is(Channel::ChassisFan, T, 300, 0);
    is(Channel::CpuTemp, C, 0, 95);
    is(Channel::MbTemp, C, 0, 60);
    is(Channel::In2, C, 3000, 3600);
    for (auto c : {Channel::In0, Channel::In1, Channel::In3, Channel::In4, Channel::In5, Channel::In6}) is(c, S, 0, 0);
}

TEST(MachineDefaults, AnLm78FamilyBoardKeepsTheSystemsDefaultsOnEveryChannel) {
    for (const char* prefix : {"lm78", "lm79", "w83781d", "w83627hf", "as99127f"}) {
        std::vector<ChipInfo> chips = modernDesktop();
        chips.push_back({std::string(prefix) + "-isa-0290", prefix, {{"fan1", "fan1", {3000.0, kNone, kNone}},
                                                                     {"in2", "in2", {3.04, 3.56, kNone}}}});
        chips.push_back({"lm75-i2c-0-48", "lm75", {{"temp1", "temp1", {kNone, 80.0, 100.0}}}});
        const std::string board = std::string(prefix) + "-isa-0290";
        const ChannelMap present = mapOf({{Channel::CpuFan, {board, "fan1"}},
                                          {Channel::CpuTemp, {"lm75-i2c-0-48", "temp1"}},
                                          {Channel::MbTemp, {"nct6798-isa-0290", "temp1"}},
                                          {Channel::In2, {board, "in2"}}});
        for (const auto& d : machineDefaults(chips, present, {})) {
            EXPECT_EQ(d.origin, S) << prefix;
            EXPECT_EQ(d.lower, 0) << prefix;
            EXPECT_EQ(d.upper, 0) << prefix;
        }
    }
}

TEST(MachineDefaults, ListingTextSaysTheValueAndWhereItCameFrom) {
    const ChipInfo core{"coretemp-isa-0000", "coretemp", {}};
    const FeatureInfo pkg{"temp1", "Package id 0", {kNone, 80.0, 100.0}};
    EXPECT_EQ(describeDefault(Channel::CpuTemp, channelDefault(Channel::CpuTemp, core, pkg)),
              "95 C (chip limit: crit 100 C)");
    EXPECT_EQ(describeDefault(Channel::CpuFan, channelDefault(Channel::CpuFan, core, {"fan1", "fan1", {}})),
              "300 RPM (today's default)");
    EXPECT_EQ(describeDefault(Channel::In2, channelDefault(Channel::In2, core, {"in3", "in3", {3.04, 3.56, kNone}})),
              "3.0..3.6 V (chip limit: min 3.04 V, max 3.56 V)");
    EXPECT_EQ(describeDefault(Channel::MbTemp, {}), "50 C (system default)");
    EXPECT_EQ(describeDefault(Channel::In5, {}), "-13.7..-10.3 V (system default)");
}

}  // namespace
}  // namespace zorv::hwmon
