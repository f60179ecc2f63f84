#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "FakeMonitor.h"
#include "SystemInfoRules.h"

namespace velmon::dialogs {
namespace {

using testing::FakeMonitor;
using testing::FakeWindow;

class FakeSensors final : public SensorPort {
public:
    explicit FakeSensors(testing::Log& log) : log_(log) {}
    std::int16_t read(SensorChannel) override { return 0; }
    void text(DmiText q, TextBuffer& buffer) override {
        log_.push_back("query " + std::to_string(static_cast<int>(q)));
        const auto it = answers.find(q);
        if (it == answers.end()) {
            return;  // leaves the buffer as the previous query left it
        }
        std::memcpy(buffer.data(), it->second.data(), std::min(it->second.size(), buffer.size()));
    }
    std::int16_t mbClock() override {
        log_.push_back("clock");
        return clock;
    }
    std::map<DmiText, std::string> answers;  // raw bytes written into the buffer
    std::int16_t clock = 0;

private:
    testing::Log& log_;
};

class FakeMemory final : public MemoryPort {
public:
    [[nodiscard]] std::uint64_t totalPhysicalBytes() const override { return bytes; }
    std::uint64_t bytes = 0;
};

std::string z(const std::string& s) { return s + std::string(1, '\0'); }

struct MemoryCase {
    std::uint64_t bytes;
    const char* text;
    friend void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.bytes << " bytes"; }
};
class MemoryText : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryText, WholeMegabytesPlusOneMadeEven) {
    EXPECT_EQ(memoryText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MemoryText,
                         ::testing::Values(MemoryCase{66584576, "64 MB"},
                                           MemoryCase{33554432, "34 MB"},
                                           MemoryCase{100663295, "96 MB"},
                                           MemoryCase{0, "2 MB"},
                                           MemoryCase{2147483648ULL, "2050 MB"},  // 2 GiB
                                           MemoryCase{4294967296ULL, "4098 MB"},
                                           MemoryCase{17179869184ULL + 5 * 1048576ULL, "16390 MB"}));

class SystemInfoRulesTest : public ::testing::Test {
protected:
    SystemInfoRulesTest() : sensors(m.log), rules(m, sensors, memory), window(rules, m.log) {}
    FakeMonitor m;
    FakeSensors sensors;
    FakeMemory memory;
    SystemInfoRules rules;
    FakeWindow<SystemInfoRules> window;
};

TEST_F(SystemInfoRulesTest, LoadPausesPollingAndQueriesInOrder) {
    sensors.answers = {{DmiText::MBManufacturer, z("ZORV Boards")},
                       {DmiText::MBProduct, z("ZB-6")},
                       {DmiText::BIOSVender, z("Vendor")},
                       {DmiText::BIOSVersion, z("1.0")},
                       {DmiText::CPUName, z("Pentium II ")}};
    sensors.clock = 300;
    memory.bytes = 66584576;
    const auto t = rules.formLoad();
    EXPECT_EQ(m.log.front(), "tmrMonitor off");
    const std::vector<std::string> order{"tmrMonitor off", "query 1", "query 0", "query 2",
                                         "query 3",        "clock",   "query 4"};
    EXPECT_EQ(m.log, order);
    EXPECT_EQ(t.manufacturer, "ZORV Boards");
    EXPECT_EQ(t.product, "ZB-6");
    EXPECT_EQ(t.biosVendor, "Vendor");
    EXPECT_EQ(t.biosVersion, "1.0");
    EXPECT_EQ(t.cpu, "Pentium II 300");
    EXPECT_EQ(t.memory, "64 MB");
}

TEST_F(SystemInfoRulesTest, EmptyCpuNameShowsTheSpeedAlone) {
    sensors.answers = {{DmiText::CPUName, z("")}};
    sensors.clock = 300;
    EXPECT_EQ(rules.formLoad().cpu, "300");
    sensors.clock = -5;
    EXPECT_EQ(rules.formLoad().cpu, "-5");
}

TEST_F(SystemInfoRulesTest, TwentyNineCharacterStringIsShownWhole) {
    const std::string s29 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ123";
    ASSERT_EQ(s29.size(), 29U);
    // The rest of the buffer holds stale bytes after the NUL.
    sensors.answers = {{DmiText::MBProduct, z(s29) + "garbage"}};
    EXPECT_EQ(rules.formLoad().product, s29);
}

TEST_F(SystemInfoRulesTest, BufferWithoutNulIsReadOnlyWithinItsEightyBytes) {
    sensors.answers = {{DmiText::BIOSVersion, std::string(80, 'x')}};
    EXPECT_EQ(rules.formLoad().biosVersion, std::string(80, 'x'));
}

TEST_F(SystemInfoRulesTest, OkClosesResumesPollingThenTopmost) {
    rules.formLoad();
    m.log.clear();
    rules.okClicked(window);
    EXPECT_EQ(m.log, (std::vector<std::string>{"close", "tmrMonitor on", "topmost"}));
}

TEST_F(SystemInfoRulesTest, FrameCloseOnlyResumesPolling) {
    rules.formLoad();
    m.log.clear();
    rules.formUnload();
    EXPECT_EQ(m.log, (std::vector<std::string>{"tmrMonitor on"}));
}

}  // namespace
}  // namespace velmon::dialogs
