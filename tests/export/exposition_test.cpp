// The exposition text: exact text for a table of states, and the rules
// behind it checked on their own.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "ExpositionCases.h"
#include "Geometry.h"

namespace velmon::test {
namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool hasLine(const std::string& text, const std::string& line) {
    for (const auto& l : linesOf(text)) {
        if (l == line) return true;
    }
    return false;
}

class ExpositionText : public ::testing::TestWithParam<ExpositionCase> {};

TEST_P(ExpositionText, IsExactlyTheExpectedFile) {
    const std::string path = std::string(EXPECTED_DIR) + "/" + GetParam().name + ".prom";
    const std::string expected = slurp(path);
    ASSERT_FALSE(expected.empty()) << "no " << path;
    EXPECT_EQ(expositionText(GetParam().snapshot), expected);
}

// Every sample belongs to a family announced just before it by HELP and TYPE,
// and no family comes twice (the text parser rejects both).
TEST_P(ExpositionText, EachFamilyHasHelpAndTypeOnce) {
    std::set<std::string> seen;
    std::string current;
    const auto lines = linesOf(expositionText(GetParam().snapshot));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.rfind("# HELP ", 0) == 0) {
            current = l.substr(7, l.find(' ', 7) - 7);
            EXPECT_TRUE(seen.insert(current).second) << current << " twice";
            ASSERT_LT(i + 1, lines.size());
            // Counters, and only they, end in _total.
            const bool counter = current.size() > 6 && current.compare(current.size() - 6, 6, "_total") == 0;
            EXPECT_EQ(lines[i + 1], "# TYPE " + current + (counter ? " counter" : " gauge"));
            ++i;
            continue;
        }
        const std::string name = l.substr(0, l.find_first_of("{ "));
        EXPECT_EQ(name, current) << "sample outside its family: " << l;
    }
    EXPECT_TRUE(seen.count("velmon_warning_state") == 1 && seen.count("velmon_build_info") == 1);
}

INSTANTIATE_TEST_SUITE_P(States, ExpositionText, ::testing::ValuesIn(expositionCases()),
                         [](const auto& param) { return param.param.name; });

TEST(Exposition, AbsentAndUnconfiguredChannelsHaveNoReading) {
    ExportSnapshot s = healthySnapshot();
    s.fans.fitted[2] = 0;
    s.measurable[ch(SensorChannel::In6)] = false;
    s.measurable[ch(SensorChannel::MbTemp)] = false;
    const std::string text = expositionText(s);
    EXPECT_EQ(text.find("velmon_fan_speed_rpm{fan=\"chassis\"}"), std::string::npos);
    EXPECT_EQ(text.find("velmon_voltage_volts{input=\"-5v\"}"), std::string::npos);
    EXPECT_EQ(text.find("velmon_temperature_celsius{sensor=\"mainboard\"}"), std::string::npos);
    EXPECT_TRUE(hasLine(text, "velmon_channel_present{channel=\"chassis_fan\"} 0"));
    EXPECT_TRUE(hasLine(text, "velmon_channel_present{channel=\"in6\"} 0"));
    EXPECT_TRUE(hasLine(text, "velmon_channel_present{channel=\"mainboard_temp\"} 0"));
    EXPECT_TRUE(hasLine(text, "velmon_fan_installed{fan=\"chassis\"} 0"));
    EXPECT_TRUE(hasLine(text, "velmon_channel_present{channel=\"in5\"} 1"));
    EXPECT_TRUE(hasLine(text, "velmon_voltage_volts{input=\"-12v\"} -12"));
}

TEST(Exposition, FamilyWithoutSamplesIsLeftOut) {
    ExportSnapshot s = healthySnapshot();
    s.fans.fitted = {0, 0, 0};
    const std::string text = expositionText(s);
    EXPECT_EQ(text.find("velmon_fan_speed_rpm"), std::string::npos);
    EXPECT_TRUE(hasLine(text, "velmon_fan_threshold_rpm{fan=\"cpu\"} 2800"));
}

// The reading in volts is the raw millivolts over 1000, written exactly.
TEST(Exposition, VoltsAreTheMillivoltsOverAThousand) {
    const struct {
        std::int16_t millivolts;
        const char* text;
    } cases[] = {{3349, "3.349"}, {3350, "3.35"}, {3300, "3.3"},    {1250, "1.25"},     {-12151, "-12.151"},
                 {-5000, "-5"},   {7, "0.007"},   {-1, "-0.001"},   {32767, "32.767"}, {-32768, "-32.768"},
                 {0, "0"}};
    for (const auto& c : cases) {
        ExportSnapshot s = healthySnapshot();
        s.readings.volts[2] = geometry::voltsFromMillivolts(c.millivolts);
        EXPECT_TRUE(hasLine(expositionText(s), std::string("velmon_voltage_volts{input=\"3.3v\"} ") + c.text))
            << c.millivolts << " mV";
    }
}

TEST(Exposition, LastReadingIsInSecondsWithoutTrailingZeros) {
    const struct {
        std::int64_t ms;
        const char* text;
    } cases[] = {{1765389600000, "1765389600"}, {1765389600250, "1765389600.25"},
                 {1765389600007, "1765389600.007"}, {999, "0.999"}, {0, "0"}};
    for (const auto& c : cases) {
        ExportSnapshot s = healthySnapshot();
        s.lastReadingMs = c.ms;
        EXPECT_TRUE(hasLine(expositionText(s), std::string("velmon_last_reading_timestamp_seconds ") + c.text))
            << c.ms;
    }
}

TEST(Exposition, VersionLabelIsEscaped) {
    ExportSnapshot s = healthySnapshot();
    s.version = "1.3 \"beta\"\\x\n";
    EXPECT_TRUE(hasLine(expositionText(s), "velmon_build_info{version=\"1.3 \\\"beta\\\"\\\\x\\n\"} 1"));
}

TEST(Exposition, WarningStateFollowsAnyFlag) {
    for (int c = 0; c < kChannelCount; ++c) {
        ExportSnapshot s = healthySnapshot();
        s.alarms.flags[static_cast<std::size_t>(c)] = true;
        const std::string text = expositionText(s);
        EXPECT_TRUE(hasLine(text, "velmon_warning_state 1")) << c;
        EXPECT_TRUE(hasLine(text, std::string("velmon_channel_alarm{channel=\"") + kChannelLabels[ch(static_cast<SensorChannel>(c))] + "\"} 1"));
    }
    EXPECT_TRUE(hasLine(expositionText(healthySnapshot()), "velmon_warning_state 0"));
}

}  // namespace
}  // namespace velmon::test
