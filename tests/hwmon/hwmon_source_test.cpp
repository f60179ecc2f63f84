#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "HwmonSource.h"

namespace zorv::hwmon {
namespace {

// Chips and values set by the test; a value left unset fails its read.
class FakeBackend final : public Backend {
public:
    std::vector<ChipInfo> chipList;
    std::map<std::string, std::optional<double>> values;  // "chip/feature"
    std::vector<std::string> noteList;
    std::vector<std::string> handles;
    int reads = 0;

    [[nodiscard]] const std::vector<ChipInfo>& chips() const override { return chipList; }
    [[nodiscard]] const std::vector<std::string>& notes() const override { return noteList; }
    std::optional<int> inputOf(const FeatureRef& ref) override {
        const std::string key = ref.chip + "/" + ref.feature;
        if (!values.count(key)) return std::nullopt;
        handles.push_back(key);
        return static_cast<int>(handles.size() - 1);
    }
    std::optional<double> read(int handle) override {
        ++reads;
        return values[handles.at(static_cast<std::size_t>(handle))];
    }
};

std::unique_ptr<FakeBackend> lm78Board() {
    auto b = std::make_unique<FakeBackend>();
    ChipInfo lm78{"lm78-isa-0290", "lm78", {}};
    const std::pair<const char*, double> features[] = {
        {"fan1", 4560}, {"fan2", 3300}, {"fan3", 2400}, {"temp1", 33.0}, {"temp2", 60.0}, {"in0", 1.999},
        {"in1", 2.0},   {"in2", 3.31},  {"in3", 5.02},  {"in4", 12.16},  {"in5", -11.9}, {"in6", -5.04}};
    for (auto& [f, v] : features) {
        lm78.features.push_back({f, f});
        b->values[std::string("lm78-isa-0290/") + f] = v;
    }
    b->chipList.push_back(lm78);
    b->chipList.push_back({"lm75-i2c-0-48", "lm75", {{"temp1", "CPU"}}});
    b->values["lm75-i2c-0-48/temp1"] = 45.4;
    return b;
}

std::vector<int> readAll(Source& s) {
    std::vector<int> v;
    for (int i = 0; i < kChannelCount; ++i) v.push_back(s.read(static_cast<Channel>(i)));
    return v;
}

TEST(HwmonSource, ReadsTheTwelveChannelsInExportUnits) {
    HwmonSource s(lm78Board(), Config{});
    EXPECT_EQ(readAll(s), (std::vector<int>{4560, 3300, 2400, 45, 33, 1999, 2000, 3310, 5020, 12160, -11900, -5040}));
    EXPECT_EQ(s.channelMask(), 0xFFFu);
}

TEST(HwmonSource, AFailedReadAnswersZeroAndTheNextCallTriesAgain) {
    auto board = lm78Board();
    FakeBackend& fake = *board;
    HwmonSource s(std::move(board), Config{});
    EXPECT_EQ(s.read(Channel::CpuFan), 4560);
    fake.values["lm78-isa-0290/fan1"] = std::nullopt;
    EXPECT_EQ(s.read(Channel::CpuFan), 0);
    EXPECT_EQ(s.read(Channel::PowerFan), 3300) << "one failing feature leaves the others alone";
    fake.values["lm78-isa-0290/fan1"] = 4380;
    EXPECT_EQ(s.read(Channel::CpuFan), 4380);
}

TEST(HwmonSource, AFailedReadIsSaidAndClearsWithTheNextGoodOne) {
    auto board = lm78Board();
    FakeBackend& fake = *board;
    HwmonSource s(std::move(board), Config{});
    (void)s.read(Channel::CpuFan);
    EXPECT_EQ(s.readFailures(), 0u);
    fake.values["lm78-isa-0290/fan1"] = std::nullopt;
    (void)s.read(Channel::CpuFan);
    (void)s.read(Channel::PowerFan);
    EXPECT_EQ(s.readFailures(), 1u << 0);
    fake.values["lm78-isa-0290/fan1"] = 4380;
    (void)s.read(Channel::CpuFan);
    EXPECT_EQ(s.readFailures(), 0u);
}

// A machine whose chips libsensors finds anew: each opening hands out the
// next backend, as sensors_init would after sensors_cleanup.
struct Reopening {
    std::vector<std::unique_ptr<FakeBackend>> next;
    int opened = 0;
    double now = 100;
    std::string signature = "hwmon0 -> a\nhwmon1 -> b\n";

    HwmonSource source(std::unique_ptr<FakeBackend> first) {
        return HwmonSource(
            std::move(first), Config{},
            [this]() -> std::unique_ptr<Backend> {
                ++opened;
                if (next.empty()) return std::make_unique<FakeBackend>();  // the chips are gone
                auto b = std::move(next.front());
                next.erase(next.begin());
                return b;
            },
            [this] { return signature; }, [this] { return now; });
    }
};

TEST(HwmonSource, AChipThatFailsIsFoundAgainAndReadByName) {
    Reopening machine;
    auto first = lm78Board();
    FakeBackend& gone = *first;
    HwmonSource s = machine.source(std::move(first));
    EXPECT_EQ(s.read(Channel::CpuTemp), 45);

    // The chip goes (a driver unloaded): the read fails and the chips are looked for again.
    for (auto& [k, v] : gone.values) v = std::nullopt;
    machine.now += 5;
    EXPECT_EQ(s.read(Channel::CpuTemp), 0);
    EXPECT_EQ(s.readFailures(), 1u << 3);
    EXPECT_EQ(machine.opened, 1);
    // Within a second nothing is scanned again, however many channels fail.
    for (int i = 0; i < kChannelCount; ++i) (void)s.read(static_cast<Channel>(i));
    EXPECT_EQ(machine.opened, 1);
    EXPECT_EQ(s.readFailures(), 0xFFFu);

    // It comes back: the next failing read after a second finds it.
    auto back = lm78Board();
    back->values["lm75-i2c-0-48/temp1"] = 47.0;
    machine.next.push_back(std::move(back));
    machine.now += 1.5;
    EXPECT_EQ(s.read(Channel::CpuTemp), 47);
    EXPECT_EQ(machine.opened, 2);
    EXPECT_EQ(s.read(Channel::CpuFan), 4560);
    EXPECT_EQ(s.readFailures() & ((1u << 0) | (1u << 3)), 0u);
    EXPECT_EQ(s.redetections(), 2);
}

TEST(HwmonSource, AChangeInTheHwmonFolderIsFollowedBeforeTheNextRead) {
    Reopening machine;
    HwmonSource s = machine.source(lm78Board());
    EXPECT_EQ(s.read(Channel::MbTemp), 33);
    // Renumbered (resume): the old handles would read the other chip's files.
    auto renumbered = lm78Board();
    renumbered->values["lm78-isa-0290/temp1"] = 35.0;
    std::reverse(renumbered->chipList.begin(), renumbered->chipList.end());
    machine.next.push_back(std::move(renumbered));
    machine.signature = "hwmon0 -> b\nhwmon1 -> a\n";
    machine.now += 0.5;
    EXPECT_EQ(s.read(Channel::MbTemp), 33) << "the folder is looked at once a second";
    machine.now += 0.6;
    EXPECT_EQ(s.read(Channel::MbTemp), 35);
    EXPECT_EQ(machine.opened, 1);
    machine.now += 2;
    EXPECT_EQ(s.read(Channel::MbTemp), 35);
    EXPECT_EQ(machine.opened, 1) << "an unchanged folder costs no new detection";
}

TEST(HwmonSource, EveryCallAsksTheChipAgain) {
    auto board = lm78Board();
    FakeBackend& fake = *board;
    HwmonSource s(std::move(board), Config{});
    const int before = fake.reads;
    (void)s.read(Channel::MbTemp);
    (void)s.read(Channel::MbTemp);
    EXPECT_EQ(fake.reads - before, 2);
    fake.values["lm78-isa-0290/temp1"] = 51.0;
    EXPECT_EQ(s.read(Channel::MbTemp), 51);
}

TEST(HwmonSource, ZorvConfMapOverridesAndAFeatureWithoutInputReadsZero) {
    auto board = lm78Board();
    board->chipList[0].features.push_back({"intrusion0", "intrusion0"});  // listed, no value
    const Config conf{"zorv.conf", parseKeyValues("cpu_fan = lm78-isa-0290/fan3\n"
                                                  "cpu_temp = lm78-*/temp2\n"
                                                  "in1 = lm78-isa-0290/intrusion0\n")};
    HwmonSource s(std::move(board), conf);
    EXPECT_EQ(s.read(Channel::CpuFan), 2400);
    EXPECT_EQ(s.read(Channel::CpuTemp), 60);
    EXPECT_EQ(s.read(Channel::In1), 0);
    EXPECT_EQ(s.channelMask(), 0xFFFu & ~(1u << static_cast<int>(Channel::In1)));
    const auto& notes = s.map().notes;
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("in1"), std::string::npos) << notes[0];
}

TEST(HwmonSource, ListingShowsEveryFeatureAndTheMapInForce) {
    HwmonSource s(lm78Board(), Config{"/etc/zorv.conf", parseKeyValues("power_fan = none\n")});
    const std::string text = s.listing(Config{"/etc/zorv.conf", {}});
    for (const char* expected : {"lm78-isa-0290", "lm75-i2c-0-48", "CPU", "12.160", "/etc/zorv.conf",
                                 "cpu_fan      = lm78-isa-0290/fan1", "power_fan    = -"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in:\n" << text;
}

// A desktop of today: an nct6798 whose fan minimum is the BIOS's 1997
// value, coretemp, and a drive the user maps by hand.
std::unique_ptr<FakeBackend> todaysDesktop() {
    auto b = std::make_unique<FakeBackend>();
    b->chipList.push_back({"nct6798-isa-0290",
                           "nct6798",
                           {{"fan1", "fan1", {600.0, {}, {}}},
                            {"fan2", "fan2", {2700.0, {}, {}}},
                            {"temp1", "SYSTIN", {{}, 0.0, {}}},
                            {"in3", "in3", {0.0, 0.0, {}}}}});
    b->chipList.push_back({"coretemp-isa-0000", "coretemp", {{"temp1", "Package id 0", {{}, 80.0, 100.0}}}});
    b->chipList.push_back({"nvme-pci-0100", "nvme", {{"temp1", "Composite", {{}, 81.85, 84.85}}}});
    for (auto [f, v] : {std::pair{"nct6798-isa-0290/fan1", 700.0}, {"nct6798-isa-0290/fan2", 850.0},
                        {"nct6798-isa-0290/temp1", 31.0}, {"nct6798-isa-0290/in3", 3.344},
                        {"coretemp-isa-0000/temp1", 41.0}, {"nvme-pci-0100/temp1", 38.85}})
        b->values[f] = v;
    return b;
}

TEST(HwmonSource, DefaultsComeFromTheMappedFeaturesAndTheFansSpeedAtStart) {
    HwmonSource s(todaysDesktop(), Config{});
    const ChannelDefaults d = s.defaults();
    EXPECT_EQ(d[0], (ChannelDefault{DefaultOrigin::Today, 300, 0, "min 2700 RPM is above the fan's speed"}));
    EXPECT_EQ(d[2], (ChannelDefault{DefaultOrigin::Chip, 600, 0, "min 600 RPM"}));
    EXPECT_EQ(d[3], (ChannelDefault{DefaultOrigin::Chip, 0, 95, "crit 100 C"}));
    EXPECT_EQ(d[4].origin, DefaultOrigin::Today);
    EXPECT_EQ(d[4].upper, 75);
    EXPECT_EQ(d[7].origin, DefaultOrigin::System) << "0/0 is no band";
    EXPECT_EQ(d[1], ChannelDefault{}) << "absent";

    const std::string text = s.listing(Config{});
    for (const char* line : {"  cpu_fan      default 300 RPM (today's default: min 2700 RPM is above the fan's speed)",
                             "  cpu_temp     default 95 C (chip limit: crit 100 C)", "  power_fan    absent",
                             "  in2          default 2.9..3.9 V (system default"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " not in:\n" << text;
}

TEST(HwmonSource, AChannelMappedByHandGetsTheLimitsOfItsFeature) {
    const Config conf{"zorv.conf", parseKeyValues("cpu_temp = nvme-pci-0100/temp1\nmb_temp = coretemp-*/temp1\n")};
    HwmonSource s(todaysDesktop(), conf);
    const ChannelDefaults d = s.defaults();
    EXPECT_EQ(d[3], (ChannelDefault{DefaultOrigin::Chip, 0, 80, "crit 84.85 C"}));
    EXPECT_EQ(d[4], (ChannelDefault{DefaultOrigin::Chip, 0, 80, "max 80 C"}));
}

TEST(HwmonSource, TheLm78BoardKeepsTheSystemsDefaults) {
    HwmonSource s(lm78Board(), Config{});
    for (const auto& d : s.defaults()) EXPECT_EQ(d.origin, DefaultOrigin::System) << d.why;
}

TEST(LibSensors, WithoutTheLibraryEveryChannelReadsZero) {
    auto backend = openLibSensors("libzorv-test-no-such-sensors.so.0", "");
    ASSERT_FALSE(backend->notes().empty());
    EXPECT_NE(backend->notes()[0].find("could not be loaded"), std::string::npos);
    HwmonSource s(std::move(backend), Config{});
    EXPECT_EQ(readAll(s), std::vector<int>(kChannelCount, 0));
}

TEST(LibSensors, OneSessionAtATime) {
    auto first = openLibSensors(kLibSensors, "");
    auto second = openLibSensors(kLibSensors, "");
    EXPECT_TRUE(second->chips().empty());
    ASSERT_FALSE(second->notes().empty());
    EXPECT_NE(second->notes().back().find("another"), std::string::npos);
}

using FatalHandler = void (*)(const char*, const char*);

void callFatal(void* handler) { (*static_cast<FatalHandler*>(handler))("sensors_test", "out of memory"); }

TEST(LibSensorsDeathTest, AFatalErrorReturnsToTheCallerInsteadOfEndingTheProcess) {
    EXPECT_EXIT(
        {
            auto backend = openLibSensors(kLibSensors, "");
            void* lib = dlopen(kLibSensors, RTLD_NOW | RTLD_NOLOAD);
            auto* slot = lib ? static_cast<FatalHandler*>(dlsym(lib, "sensors_fatal_error")) : nullptr;
            if (!slot) std::_Exit(3);
            FatalHandler handler = *slot;
            const bool completed = runGuarded(&callFatal, &handler);
            // Once libsensors hit a fatal error nothing calls it again.
            const bool stopped = !runGuarded([](void*) {}, nullptr) && !backend->read(0);
            std::_Exit(!completed && stopped ? 0 : 4);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zorv::hwmon
