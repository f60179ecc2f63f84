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
                      // blanks around a name do not count, in the file or asked for
                      LookupCase{"Board With Blanks  ", "CPU", 0},
                      LookupCase{"Board With Blanks", "CPU", 0}, LookupCase{" bad ", "CPU", 5},
                      LookupCase{"bad", " CPU ", 5},
                      LookupCase{"Empty", "CPU", 1},                                        // empty value: default
                      LookupCase{"Empty", "CHASSIS", 0}, LookupCase{"big", "CPU", 70000},
                      LookupCase{"dup", "CPU", 2}));                                        // the first entry counts

// Values as the platform's reader takes them (checked against it under Wine).
struct ValueCase {
    const char* value;
    std::int64_t expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << "CPU=" << c.value; }

class IniValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(IniValue, ReadsAsThePlatformDoes) {
    const std::string file = std::string("[Board]\nCPU=") + GetParam().value + "\n";
    EXPECT_EQ(iniReadInt(file, "Board", "CPU", 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniValue,
    ::testing::Values(ValueCase{"\"11\"", 11}, ValueCase{"'12'", 12}, ValueCase{"\" 20 \"", 20},  // quotes go
                      ValueCase{"\"13", 0}, ValueCase{"\"26\" x", 0},                            // unless whole
                      ValueCase{"0x1F", 31}, ValueCase{"-0x10", -16}, ValueCase{"+0x11", 17},     // base prefixes,
                      ValueCase{"0b101", 5}, ValueCase{"0o17", 15}, ValueCase{"0X2a", 0},         // lower case only
                      ValueCase{"0xg", 0}, ValueCase{"0019", 19},
                      ValueCase{"2147483647", 2147483647}, ValueCase{"3000000000", -1294967296},  // 32-bit wrap
                      ValueCase{"4294967297", 1}, ValueCase{"-2147483649", 2147483647},
                      ValueCase{"000000000000000000000000000000042", 0}));                       // 29 characters

TEST(IniLookup, OnlyTheFirstSectionOfANameIsRead) {
    EXPECT_EQ(iniReadInt("[Board]\nPOWER=0\n[Board  ]\nCPU=27\n", "Board", "CPU", 1), 1);
    EXPECT_EQ(iniReadInt("[Board]\nCPU=28\n[board]\nCPU=29\n", "Board", "CPU", 1), 28);
}

TEST(IniLookup, AHeaderNeedsItsBracket) {
    EXPECT_EQ(iniReadInt("[Board\nCPU=22\n", "Board", "CPU", 1), 1);
    EXPECT_EQ(iniReadInt("[Board] x\nCPU=25\n", "Board", "CPU", 1), 25);
}

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
