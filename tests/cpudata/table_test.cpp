// The processor table reader and the packer's layout.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "AhdFormat.h"
#include "AhdTable.h"
#include "TestSupport.h"

namespace {

using namespace cpudata_test;
const std::string kHeader = "name,family,id0,id1,speed,selector,offset,nominal\n";

TEST(ProcessorTable, ReadsRowsWithHexAndDecimal) {
    const auto parsed = cpudata::parseProcessorTable("# comment\n\n" + kHeader +
                                                     "AMD K6-2 450, 0x1B ,0x8C,5,450,1,0,22\r\n"
                                                     "Intel Core i5,0xcd,0,0,0,1,255,0");
    const auto* rows = std::get_if<std::vector<cpudata::ProcessorRow>>(&parsed);
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->size(), 2u);
    const auto& r = (*rows)[0];
    EXPECT_EQ(r.name, "AMD K6-2 450");
    EXPECT_EQ(r.family, 0x1B);
    EXPECT_EQ(r.id0, 0x8C);
    EXPECT_EQ(r.id1, 5);
    EXPECT_EQ(r.speedMhz, 450);
    EXPECT_EQ(r.selector, 1);
    EXPECT_EQ(r.nominal, 22);
    EXPECT_EQ((*rows)[1].family, 0xCD);
    EXPECT_EQ((*rows)[1].offset, 255);
}

struct BadTable {
    std::string text;
    std::size_t line;
    const char* messagePart;
};

class ProcessorTableErrors : public ::testing::TestWithParam<BadTable> {};

TEST_P(ProcessorTableErrors, NameTheLineAndTheFault) {
    const auto parsed = cpudata::parseProcessorTable(GetParam().text);
    const auto* err = std::get_if<cpudata::TableError>(&parsed);
    ASSERT_NE(err, nullptr) << GetParam().text;
    EXPECT_EQ(err->line, GetParam().line);
    EXPECT_NE(err->message.find(GetParam().messagePart), std::string::npos) << err->message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessorTableErrors,
    ::testing::Values(BadTable{"", 0, "no header"}, BadTable{"name,family\nX,1,0,0,0,1,0,0\n", 1, "header"},
                      BadTable{kHeader + "X,1,0,0,0,1,0\n", 2, "8 fields"},
                      BadTable{kHeader + "X,1,0,0,0,1,0,0,9\n", 2, "8 fields"},
                      BadTable{kHeader + "ok,1,0,0,0,1,0,0\n#\nX,0x10000,0,0,0,1,0,0\n", 4, "family"},
                      BadTable{kHeader + "X,0xFE,0,0,0,1,0,0\n", 2, "Processor Family 2"},
                      BadTable{kHeader + "X,0xFF,0,0,0,1,0,0\n", 2, "Processor Family 2"},
                      BadTable{kHeader + "X,1,0-0x0F,0xD0,0,1,0,0\n", 2, "must not hold 0"},
                      BadTable{kHeader + "X,1,0x3F-0x30,0xD0,0,1,0,0\n", 2, "backwards"},
                      BadTable{kHeader + "X,1,0x30-0x100,0xD0,0,1,0,0\n", 2, "id0"},
                      BadTable{kHeader + "X,1,0x30-,0xD0,0,1,0,0\n", 2, "id0"},
                      BadTable{kHeader + "X,1,0,0,65536,1,0,0\n", 2, "speed"},
                      BadTable{kHeader + "X,1,0,0,450MHz,1,0,0\n", 2, "speed"},
                      BadTable{kHeader + "X,1,-1,0,0,1,0,0\n", 2, "id0"},
                      BadTable{kHeader + "X,1,0,0,0,1,0,0x\n", 2, "nominal"},
                      BadTable{kHeader + "X,1,0,0,0,,0,0\n", 2, "selector"},
                      BadTable{kHeader + ",1,0,0,0,1,0,0\n", 2, "name"},
                      BadTable{kHeader + "ABCDEFGHIJKLMNOPQRST,1,0,0,0,1,0,0\n", 2, "19"},
                      BadTable{kHeader + "Caf\xc3\xa9,1,0,0,0,1,0,0\n", 2, "ASCII"},
                      BadTable{kHeader + "X,0,0,0,0,1,0,0\n", 2, "family 0"}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

TEST(ProcessorTable, SixteenBitFamilyIsStoredAsFeWithTheValueBeside) {
    const auto parsed = cpudata::parseProcessorTable(kHeader + "\"Arm v8 \",0x101,0,0,0,1,0,0\nCore i7 ,0xC6,0,0,0,1,0,0\n");
    const auto* rows = std::get_if<std::vector<cpudata::ProcessorRow>>(&parsed);
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].family, 0xFE);
    EXPECT_EQ((*rows)[0].family2, 0x101);
    EXPECT_EQ((*rows)[0].name, "Arm v8 ");
    EXPECT_EQ((*rows)[1].name, "Core i7");  // unquoted: blanks around a field do not count
    EXPECT_EQ((*rows)[1].family, 0xC6);
    EXPECT_EQ((*rows)[1].family2, 0);
    const Bytes plain = cpudata::buildPlainStore(*rows, 0);
    EXPECT_EQ(Bytes(plain.begin() + 64, plain.begin() + 64 + 38), recordBytes({"Arm v8 ", 0xFE, 0, 0, 0, 1, 0, 0, 0x101}));
}

TEST(ProcessorTable, FirstIdByteRangeGivesOneRecordPerValue) {
    const auto parsed = cpudata::parseProcessorTable(kHeader + "\"Cortex-A53 \",0x101,0x30 - 0x33,0xD0,0,1,0,0\n"
                                                               "Next,0x101,0x40-0x40,0xD0,0,1,0,0\n");
    const auto* rows = std::get_if<std::vector<cpudata::ProcessorRow>>(&parsed);
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ((*rows)[i].id0, 0x30 + i);
        EXPECT_EQ((*rows)[i].id1, 0xD0);
        EXPECT_EQ((*rows)[i].name, "Cortex-A53 ");
        EXPECT_EQ((*rows)[i].family2, 0x101);
    }
    EXPECT_EQ((*rows)[4].id0, 0x40);
}

TEST(Packer, LaysOutHeaderOtherRecordsAndProcessorRecords) {
    cpudata::ProcessorRow row;
    row.name = "AMD K6-2 450";
    row.family = 0x1B;
    row.id0 = 0x8C;
    row.id1 = 0x05;
    row.speedMhz = 450;
    row.selector = 1;
    row.offset = 4;
    row.nominal = 22;
    cpudata::ProcessorRow second = row;
    second.name = "Pentium II 300";
    second.family = 0x11;
    second.speedMhz = 300;
    second.nominal = 9;
    // Three other records and two processor records: each count and each
    // record can only be found in its own place.
    const Bytes plain = cpudata::buildPlainStore({row, second}, 3);
    ASSERT_EQ(plain.size(), 64u + 3 * 68 + 2 * 38);
    EXPECT_EQ(plain[4] | (plain[5] << 8), 3);
    EXPECT_EQ(plain[6] | (plain[7] << 8), 2);
    // The packer and the crafted values of the tests agree byte for byte.
    const std::size_t at = 64 + 3 * 68;
    EXPECT_EQ(Bytes(plain.begin() + at, plain.begin() + at + 38),
              recordBytes(Rec{"AMD K6-2 450", 0x1B, 0x8C, 0x05, 450, 1, 4, 22}));
    EXPECT_EQ(Bytes(plain.begin() + at + 38, plain.end()),
              recordBytes(Rec{"Pentium II 300", 0x11, 0x8C, 0x05, 300, 1, 4, 9}));
    EXPECT_EQ(cpudata::buildDataFile({row, second}, 3), scramble(plain));
}

}  // namespace
