#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/IniReader.h"

namespace platform {
namespace {

struct IntCase {
    const char* text;
    std::int64_t expected;
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << c.text; }


class LeadingInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(LeadingInt, Parses) { EXPECT_EQ(parseLeadingInt(GetParam().text), GetParam().expected) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(Cases, LeadingInt,
                         ::testing::Values(IntCase{"0", 0}, IntCase{"1", 1}, IntCase{"  42", 42}, IntCase{"\t-7", -7},
                                           IntCase{"+15", 15}, IntCase{"12abc", 12}, IntCase{"3.9", 3},
                                           IntCase{"abc", 0}, IntCase{"", 0}, IntCase{"-", 0}, IntCase{"+-1", 0},
                                           IntCase{"- 1", 0}, IntCase{"0x10", 0}, IntCase{"007", 7},
                                           IntCase{"99999999999999999999999", std::numeric_limits<std::int64_t>::max()},
                                           IntCase{"-99999999999999999999999", std::numeric_limits<std::int64_t>::min()},
                                           IntCase{"-9223372036854775808", std::numeric_limits<std::int64_t>::min()}));

constexpr const char* kFile =
    "; boards and the fans they carry\n"
    "[P2B-LS]\n"
    "POWER=0\n"
    "\n"
    "[ bad ]\n"
    "CPU = 5\n"
    "[Board With Blanks  ]\n"
    "CPU=0\r\n"
    "[Empty]\n"
    "CPU=\n"
    "chassis = 0 ; trailing comment\n"
    "[big]\n"
    "CPU=70000\n"
    "[dup]\n"
    "CPU=2\n"
    "CPU=3\n";

struct LookupCase {
    const char* section;
    const char* key;
    std::int64_t expected;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << "[" << c.section << "] " << c.key; }


class IniLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(IniLookup, ReadsWithTheWindowsRules) {
    const auto& c = GetParam();
    EXPECT_EQ(iniReadInt(kFile, c.section, c.key, 1), c.expected) << "[" << c.section << "] " << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniLookup,
    ::testing::Values(LookupCase{"P2B-LS", "POWER", 0}, LookupCase{"P2B-LS", "CPU", 1},   // missing key: default
                      LookupCase{"p2b-ls", "power", 0},                                     // names ignore case
                      LookupCase{"Unknown", "CPU", 1},                                      // missing section
                      LookupCase{"Board With Blanks  ", "CPU", 0},                          // blanks are part of the name
                      LookupCase{"Board With Blanks", "CPU", 1}, LookupCase{" bad ", "CPU", 5},
                      LookupCase{"Empty", "CPU", 1},                                        // empty value: default
                      LookupCase{"Empty", "CHASSIS", 0}, LookupCase{"big", "CPU", 70000},
                      LookupCase{"dup", "CPU", 2}));                                        // the first entry counts

TEST(IniFile, MissingOrUnreadableFileGivesTheDefault) {
    EXPECT_EQ(iniReadIntFromFile("/nonexistent/MBFAN.INI", "P2B-LS", "CPU", 1), 1);
    EXPECT_EQ(iniReadIntFromFile("/", "P2B-LS", "CPU", 1), 1);
    const auto path = std::filesystem::temp_directory_path() / "velmon-ini-test.ini";
    std::ofstream(path) << kFile;
    EXPECT_EQ(iniReadIntFromFile(path.string(), "P2B-LS", "POWER", 1), 0);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace platform
