#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "HwmonMap.h"

namespace zorv::hwmon {
namespace {

// Features as "temp1" (no label) or "temp1:Tctl" (the label libsensors reports).
ChipInfo chip(std::string name, std::vector<std::string> features) {
    ChipInfo c{name, name.substr(0, name.find('-')), {}};
    for (auto& f : features) {
        const auto colon = f.find(':');
        if (colon == std::string::npos)
            c.features.push_back({f, f});
        else
            c.features.push_back({f.substr(0, colon), f.substr(colon + 1)});
    }
    return c;
}

std::vector<std::string> lm78Features() {
    return {"in0", "in1", "in2", "in3", "in4", "in5", "in6", "fan1", "fan2", "fan3", "temp1", "temp2"};
}

// The map as "chip/feature" per channel, "" where unread: one line to compare.
std::vector<std::string> flat(const ChannelMap& map) {
    std::vector<std::string> out;
    for (const auto& r : map) out.push_back(r ? r->chip + "/" + r->feature : "");
    return out;
}

struct BuiltInCase {
    const char* what;
    std::vector<ChipInfo> chips;
    std::vector<std::string> expected;  // channel order
};

void PrintTo(const BuiltInCase& c, std::ostream* os) { *os << c.what; }

class BuiltInMap : public testing::TestWithParam<BuiltInCase> {};

TEST_P(BuiltInMap, MapsTheChannelsByChipName) {
    const auto& c = GetParam();
    EXPECT_EQ(flat(builtInMap(c.chips)), c.expected) << c.what;
    // The order libsensors lists chips in follows the kernel's numbering,
    // which changes between boots; the map must not.
    auto reversed = c.chips;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(flat(builtInMap(reversed)), c.expected) << c.what << " (chips in the other order)";
}

const std::string L = "lm78-isa-0290/";
const std::string N = "nct6798-isa-0290/";
const std::string I = "it8728-isa-0a30/";

INSTANTIATE_TEST_SUITE_P(
    Chips, BuiltInMap,
    testing::Values(
        BuiltInCase{"LM78 with the CPU's LM75",
                    {chip("lm78-isa-0290", lm78Features()), chip("lm75-i2c-0-48", {"temp1"})},
                    {L + "fan1", L + "fan2", L + "fan3", "lm75-i2c-0-48/temp1", L + "temp1", L + "in0", L + "in1",
                     L + "in2", L + "in3", L + "in4", L + "in5", L + "in6"}},
        BuiltInCase{"LM78 alone: the CPU temperature is its temp2",
                    {chip("lm78-isa-0290", lm78Features())},
                    {L + "fan1", L + "fan2", L + "fan3", L + "temp2", L + "temp1", L + "in0", L + "in1", L + "in2",
                     L + "in3", L + "in4", L + "in5", L + "in6"}},
        BuiltInCase{"W83781D with a fan and an input the driver does not offer",
                    {chip("w83781d-i2c-0-2d", {"in0", "in2", "fan1", "temp1"})},
                    {"w83781d-i2c-0-2d/fan1", "", "", "", "w83781d-i2c-0-2d/temp1", "w83781d-i2c-0-2d/in0", "",
                     "w83781d-i2c-0-2d/in2", "", "", "", ""}},
        BuiltInCase{"two LM75: the first by name, not by detection order",
                    {chip("lm75-i2c-1-49", {"temp1"}), chip("lm78-isa-0290", lm78Features()),
                     chip("lm75-i2c-0-4a", {"temp1"})},
                    {L + "fan1", L + "fan2", L + "fan3", "lm75-i2c-0-4a/temp1", L + "temp1", L + "in0", L + "in1",
                     L + "in2", L + "in3", L + "in4", L + "in5", L + "in6"}},
        // Beyond the LM78 family: no power fan, no core voltages, only the
        // rails whose scaling is certain.
        BuiltInCase{"Nuvoton with an AMD processor sensor",
                    {chip("nct6798-isa-0290", {"in0", "in1", "in2", "in3", "in4", "fan1", "fan2", "fan3", "temp1",
                                               "temp2", "temp7"}),
                     chip("k10temp-pci-00c3", {"temp1:Tctl", "temp3:Tccd1"})},
                    {N + "fan2", "", N + "fan1", "k10temp-pci-00c3/temp1", N + "temp1", "", "", N + "in3", "", "", "",
                     ""}},
        BuiltInCase{"Nuvoton alone: the CPU temperature is CPUTIN",
                    {chip("nct6798-isa-0290", {"in0", "in3", "fan1", "fan2", "temp1", "temp2"})},
                    {N + "fan2", "", N + "fan1", N + "temp2", N + "temp1", "", "", N + "in3", "", "", "", ""}},
        BuiltInCase{"Nuvoton naming its inputs: SYSTIN and CPUTIN by name, not by pin",
                    {chip("nct6798-isa-0290", {"fan2", "temp1:AUXTIN1", "temp2:CPUTIN", "temp3:SYSTIN"})},
                    {N + "fan2", "", "", N + "temp2", N + "temp3", "", "", "", "", "", "", ""}},
        BuiltInCase{"Nuvoton whose first input is not SYSTIN and whose in3 is labelled as something else",
                    {chip("nct6775-isa-0290", {"temp1:AUXTIN0", "in3:VDDP"})},
                    {"", "", "", "", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"ITE with an Intel processor sensor; the LM75 ranks after it on a modern board",
                    {chip("it8728-isa-0a30", lm78Features()),
                     chip("coretemp-isa-0000", {"temp1:Package id 0", "temp2:Core 0"}),
                     chip("lm75-i2c-0-48", {"temp1"})},
                    {I + "fan1", "", I + "fan2", "coretemp-isa-0000/temp1", I + "temp1", "", "", "", "", "", "", ""}},
        BuiltInCase{"rails by their labels, the user's spellings and the driver's",
                    {chip("it8686-isa-0a40", {"in0:CPU Vcore", "in1:+3.3 V", "in2:12V", "in3:+5V", "in4:VCC SOC",
                                              "in5:-12v", "in6:- 5 V", "in7:3VSB", "in8:Vbat", "in9:+3.3V"})},
                    {"", "", "", "", "", "", "", "it8686-isa-0a40/in1", "it8686-isa-0a40/in3", "it8686-isa-0a40/in2",
                     "it8686-isa-0a40/in5", "it8686-isa-0a40/in6"}},
        BuiltInCase{"rails spelled the other ways round, on a chip of no known family",
                    {chip("f71882fg-isa-0a00", {"in0:VCC3", "in1:5 V", "in2:+12 V", "in3:3VCC"})},
                    {"", "", "", "", "", "", "", "f71882fg-isa-0a00/in0", "f71882fg-isa-0a00/in1",
                     "f71882fg-isa-0a00/in2", "", ""}},
        BuiltInCase{"labels that name no rail: standby, battery, analogue supply",
                    {chip("nct6798-isa-0290", {"in2:AVCC", "in3:3VSB", "in7:+5VSB", "in8:Vbat", "in4:+12V SB"})},
                    {"", "", "", "", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"a label wins over the Nuvoton 3VCC pin",
                    {chip("nct6798-isa-0290", {"in3", "in6:+3.3V"})},
                    {"", "", "", "", "", "", "", N + "in6", "", "", "", ""}},
        BuiltInCase{"Zen 2 names Tdie beside Tctl",
                    {chip("k10temp-pci-00c3", {"temp1:Tctl", "temp2:Tdie", "temp3:Tccd1"})},
                    {"", "", "", "k10temp-pci-00c3/temp2", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"zenpower", {chip("zenpower-pci-00c3", {"temp1:Tdie", "temp2:Tctl"})},
                    {"", "", "", "zenpower-pci-00c3/temp1", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"coretemp without a package sensor is not certain", {chip("coretemp-isa-0000", {"temp2:Core 0"})},
                    {"", "", "", "", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"ThinkPad: the platform's fan, coretemp, the ACPI zone for the board",
                    {chip("thinkpad-isa-0000", {"fan1", "temp1:CPU", "temp2:GPU", "temp3"}),
                     chip("coretemp-isa-0000", {"temp1:Package id 0"}), chip("acpitz-acpi-0", {"temp1"}),
                     chip("BAT0-acpi-0", {"in0"})},
                    {"thinkpad-isa-0000/fan1", "", "", "coretemp-isa-0000/temp1", "acpitz-acpi-0/temp1", "", "", "", "",
                     "", "", ""}},
        BuiltInCase{"Dell: the Processor Fan, never the Video Fan; Ambient before the ACPI zone",
                    {chip("dell_smm-isa-0000", {"fan1:Video Fan", "fan2:Processor Fan", "temp1:CPU", "temp2:Ambient",
                                                "temp3:SODIMM"}),
                     chip("coretemp-isa-0000", {"temp1:Package id 0"}), chip("acpitz-acpi-0", {"temp1"})},
                    {"dell_smm-isa-0000/fan2", "", "", "coretemp-isa-0000/temp1", "dell_smm-isa-0000/temp2", "", "", "",
                     "", "", "", ""}},
        BuiltInCase{"Dell with only a video fan", {chip("dell_smm-isa-0000", {"fan1:Video Fan", "temp1:SODIMM"})},
                    {"", "", "", "", "dell_smm-isa-0000/temp1", "", "", "", "", "", "", ""}},
        BuiltInCase{"ASUS laptop", {chip("asus-isa-0000", {"fan1:cpu_fan", "fan2:gpu_fan"})},
                    {"asus-isa-0000/fan1", "", "", "", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"ARM board: the CPU thermal zone", {chip("cpu_thermal-virtual-0", {"temp1"})},
                    {"", "", "", "cpu_thermal-virtual-0/temp1", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"ARM board with a SoC zone", {chip("soc_thermal-virtual-0", {"temp1"})},
                    {"", "", "", "soc_thermal-virtual-0/temp1", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"graphics card and drive: none of their sensors is the board's",
                    {chip("amdgpu-pci-0300", {"in0:vddgfx", "fan1", "temp1:edge", "temp2:junction"}),
                     chip("nvme-pci-0100", {"temp1:Composite"})},
                    {"", "", "", "", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"an LM78 board wins over a Nuvoton one",
                    {chip("nct6775-isa-0290", {"fan1", "fan2"}), chip("lm78-isa-0290", {"fan1"})},
                    {L + "fan1", "", "", "", "", "", "", "", "", "", "", ""}},
        BuiltInCase{"only an ACPI zone beside a drive",
                    {chip("acpitz-acpi-0", {"temp1"}), chip("nvme-pci-0100", {"temp1"})},
                    {"", "", "", "", "acpitz-acpi-0/temp1", "", "", "", "", "", "", ""}},
        BuiltInCase{"no chip at all", {}, {"", "", "", "", "", "", "", "", "", "", "", ""}}));

struct TargetCase {
    const char* text;
    std::optional<FeatureTarget> expected;
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.text)); }

class FeatureTargets : public testing::TestWithParam<TargetCase> {};

TEST_P(FeatureTargets, Parse) { EXPECT_EQ(parseFeatureTarget(GetParam().text), GetParam().expected) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(
    Texts, FeatureTargets,
    testing::Values(TargetCase{"nct6798-isa-0290/fan2", FeatureTarget{"nct6798-isa-0290", "fan2"}},
                    TargetCase{"it8728-isa-0a30/in4", FeatureTarget{"it8728-isa-0a30", "in4"}},
                    TargetCase{"lm75-i2c-0-48/temp1", FeatureTarget{"lm75-i2c-0-48", "temp1"}},
                    TargetCase{"nct6798-*/fan2", FeatureTarget{"nct6798-*", "fan2"}},
                    TargetCase{"k10temp/temp1", FeatureTarget{"k10temp", "temp1"}},
                    TargetCase{"none", FeatureTarget{}},
                    TargetCase{"", std::nullopt},
                    TargetCase{"nct6798-isa-0290", std::nullopt},
                    TargetCase{"nct6798-isa-0290/", std::nullopt},
                    TargetCase{"/fan2", std::nullopt},
                    TargetCase{"nct6798-isa-0290/fan", std::nullopt},
                    TargetCase{"nct6798-isa-0290/2", std::nullopt},
                    TargetCase{"nct6798-isa-0290/fan2 extra", std::nullopt},
                    TargetCase{"nct6798-isa-0290/fan2/x", std::nullopt},
                    TargetCase{"nct6798*/fan2", std::nullopt},
                    TargetCase{"nct6798-*-0290/fan2", std::nullopt},
                    TargetCase{"-isa-0290/fan2", std::nullopt},
                    TargetCase{"nct6798-isa-0290/FAN2", std::nullopt},
                    TargetCase{"nct6798-isa-0290/fan2\xff", std::nullopt}));

TEST(FeatureTargets, RefusesOverlongText) {
    const std::string chipName(200, 'a');
    EXPECT_EQ(parseFeatureTarget(chipName + "/fan1"), std::nullopt);
}

Config conf(std::string_view text) { return Config{"zorv.conf", parseKeyValues(text)}; }

std::vector<ChipInfo> modernBoard() {
    return {chip("nct6798-isa-0290", {"in0", "in1", "in3", "in4", "fan1", "fan2", "fan3", "fan4", "temp1", "temp2"}),
            chip("k10temp-pci-00c3", {"temp1"})};
}

TEST(UserMap, TakesPrecedenceOverTheBuiltInMap) {
    const auto r = resolveMap(modernBoard(), userMapFromConfig(conf("source = hwmon\n"
                                                                    "cpu_fan = nct6798-isa-0290/fan4\n"
                                                                    "in4 = nct6798-*/in1\n"
                                                                    "cpu_temp = none\n")));
    EXPECT_EQ(flat(r.channels), (std::vector<std::string>{N + "fan4", "", N + "fan1", "", N + "temp1", "", "",
                                                          N + "in3", "", N + "in1", "", ""}));
    EXPECT_TRUE(r.fromUser[static_cast<std::size_t>(Channel::CpuFan)]);
    EXPECT_TRUE(r.fromUser[static_cast<std::size_t>(Channel::CpuTemp)]);
    EXPECT_FALSE(r.fromUser[static_cast<std::size_t>(Channel::PowerFan)]);
    EXPECT_TRUE(r.notes.empty());
}

TEST(UserMap, TheLastLineForAChannelWins) {
    const auto r = resolveMap(modernBoard(), userMapFromConfig(conf("cpu_fan = nct6798-isa-0290/fan3\n"
                                                                    "cpu_fan = nct6798-isa-0290/fan4\n")));
    EXPECT_EQ(r.channels[0], (FeatureRef{"nct6798-isa-0290", "fan4"}));
}

TEST(UserMap, AMissingChipOrFeatureLeavesTheChannelUnreadWithANote) {
    const auto r = resolveMap(modernBoard(), userMapFromConfig(conf("cpu_fan = it8728-isa-0a30/fan1\n"
                                                                    "mb_temp = nct6798-isa-0290/temp9\n")));
    EXPECT_FALSE(r.channels[static_cast<std::size_t>(Channel::CpuFan)]);
    EXPECT_FALSE(r.channels[static_cast<std::size_t>(Channel::MbTemp)]);
    ASSERT_EQ(r.notes.size(), 2u);
    EXPECT_NE(r.notes[0].find("it8728-isa-0a30"), std::string::npos) << r.notes[0];
    EXPECT_NE(r.notes[1].find("temp9"), std::string::npos) << r.notes[1];
}

TEST(UserMap, ALineThatDoesNotParseKeepsTheBuiltInEntryAndIsReported) {
    const auto user = userMapFromConfig(conf("chassis_fan = fan3 on the nuvoton\n"));
    const auto r = resolveMap(modernBoard(), user);
    EXPECT_EQ(r.channels[static_cast<std::size_t>(Channel::ChassisFan)], (FeatureRef{"nct6798-isa-0290", "fan1"}));
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_NE(r.notes[0].find("chassis_fan"), std::string::npos);
}

TEST(UserMap, MapsWhatTheBuiltInMapLeavesOut) {
    const auto r = resolveMap(modernBoard(), userMapFromConfig(conf("power_fan = nct6798-isa-0290/fan3\n"
                                                                    "in0 = nct6798-*/in0\n")));
    EXPECT_EQ(r.channels[static_cast<std::size_t>(Channel::PowerFan)], (FeatureRef{"nct6798-isa-0290", "fan3"}));
    EXPECT_EQ(r.channels[static_cast<std::size_t>(Channel::In0)], (FeatureRef{"nct6798-isa-0290", "in0"}));
}

TEST(UserMap, SaysWhyEachUnreadChannelIsAbsent) {
    const auto r = resolveMap(modernBoard(), userMapFromConfig(conf("cpu_temp = none\n"
                                                                    "mb_temp = it8728-isa-0a30/temp1\n")));
    auto why = [&](Channel c) { return r.why[static_cast<std::size_t>(c)]; };
    EXPECT_EQ(why(Channel::CpuFan), "") << "mapped";
    EXPECT_EQ(why(Channel::CpuTemp), "not mapped (zorv.conf: none)");
    EXPECT_EQ(why(Channel::MbTemp), "no such sensor (zorv.conf names it8728-isa-0a30/temp1)");
    EXPECT_TRUE(why(Channel::PowerFan).starts_with("not mapped")) << why(Channel::PowerFan);
    EXPECT_TRUE(why(Channel::In0).starts_with("not mapped")) << why(Channel::In0);
    EXPECT_TRUE(why(Channel::In4).starts_with("divider unknown")) << why(Channel::In4);

    const auto laptop = resolveMap({chip("coretemp-isa-0000", {"temp1:Package id 0"})}, UserMap{});
    for (auto c : {Channel::CpuFan, Channel::PowerFan, Channel::MbTemp, Channel::In0, Channel::In5})
        EXPECT_EQ(laptop.why[static_cast<std::size_t>(c)], "no such sensor") << channelName(c);

    // An LM78-family chip without a pin's feature simply lacks that sensor.
    const auto w83781d = resolveMap({chip("w83781d-i2c-0-2d", {"in0", "in2", "fan1", "temp1"})}, UserMap{});
    for (auto c : {Channel::PowerFan, Channel::In1, Channel::In4})
        EXPECT_EQ(w83781d.why[static_cast<std::size_t>(c)], "no such sensor") << channelName(c);
}

TEST(UserMap, AWildcardPicksTheFirstChipByName) {
    const std::vector<ChipInfo> chips = {chip("lm75-i2c-1-48", {"temp1"}), chip("lm75-i2c-0-49", {"temp1"})};
    EXPECT_EQ(findChip(chips, "lm75-*")->name, "lm75-i2c-0-49");
    EXPECT_EQ(findChip(chips, "lm75")->name, "lm75-i2c-0-49");
    EXPECT_EQ(findChip(chips, "lm75-i2c-1-48")->name, "lm75-i2c-1-48");
    EXPECT_EQ(findChip(chips, "lm75-i2c-1"), nullptr);
    EXPECT_EQ(findChip(chips, "lm7"), nullptr);
}

struct UnitCase {
    Channel channel;
    double value;
    std::int16_t expected;
};

TEST(ExportUnits, RoundsScalesAndClamps) {
    const UnitCase cases[] = {
        {Channel::CpuFan, 4560.0, 4560},
        {Channel::ChassisFan, 0.0, 0},
        // A driver's 0xFFFFFFFF "no reading" must not wrap to a small speed.
        {Channel::PowerFan, 4294967295.0, 32767},
        {Channel::CpuFan, 40000.0, 32767},
        {Channel::CpuTemp, 52.4, 52},
        {Channel::MbTemp, 36.6, 37},
        {Channel::CpuTemp, -5.7, -6},
        {Channel::In0, 1.7, 1700},
        {Channel::In4, 12.1604, 12160},
        {Channel::In5, -11.9986, -11999},
        {Channel::In6, -5.0, -5000},
        {Channel::In4, 40.0, 32767},
        {Channel::In5, -40.0, -32768},
        {Channel::In2, std::numeric_limits<double>::quiet_NaN(), 0},
        {Channel::CpuFan, std::numeric_limits<double>::infinity(), 32767},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toExportUnits(c.channel, c.value), c.expected) << channelName(c.channel) << " " << c.value;
}

}  // namespace
}  // namespace zorv::hwmon
