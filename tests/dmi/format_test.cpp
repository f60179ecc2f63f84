// The format logic on small crafted images: entry point scan, table walk and
// its end rules, string lookup, record fillers and the two decisions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DmiFormat.h"
#include "ImageBuilder.h"

using namespace zorvdmi;
using namespace dmitest;

namespace {

MemoryView windowOf(const std::vector<std::uint8_t>& image) {
    return {platform::ByteSpan(image.data(), image.size()), Mode::Window};
}

platform::ByteSpan spanOf(const std::vector<std::uint8_t>& bytes) { return {bytes.data(), bytes.size()}; }

std::vector<std::uint8_t> withoutAnchors() { return std::vector<std::uint8_t>(kWindow, 0); }

void putAnchor(std::vector<std::uint8_t>& image, std::size_t at) { putEntryPoint(image, at, 0xF0200, 1); }

}  // namespace

TEST(EntryPointScan, FindsAnAnchorAtTheLastBoundary) {
    auto image = withoutAnchors();
    putAnchor(image, 0xFFF0);
    EXPECT_EQ(FindDmiEntryPoint(windowOf(image)), std::optional<std::size_t>(0xFFF0));
}

TEST(EntryPointScan, SkipsAnAnchorOffTheSixteenByteGrid) {
    auto image = withoutAnchors();
    putAnchor(image, 0x108);
    EXPECT_FALSE(FindDmiEntryPoint(windowOf(image)));
    putAnchor(image, 0x110);
    EXPECT_EQ(FindDmiEntryPoint(windowOf(image)), std::optional<std::size_t>(0x110));
}

TEST(EntryPointScan, TakesTheLowerOfTwoAnchors) {
    auto image = withoutAnchors();
    putAnchor(image, 0x9000);
    putAnchor(image, 0x0040);
    EXPECT_EQ(FindDmiEntryPoint(windowOf(image)), std::optional<std::size_t>(0x40));
}

TEST(EntryPointScan, UsesAnEntryPointWhateverItsChecksum) {
    for (const std::uint8_t checksum : {0x00, 0x5A, 0xFF}) {
        auto image = windowImage({board("M", "Board-X", "1", "S")});
        image[0x100 + 5] = checksum;
        const auto ep = FindDmiEntryPoint(windowOf(image));
        ASSERT_TRUE(ep);
        DmiBoardRecord record;
        EXPECT_EQ(ReadBoardRecord(windowOf(image), *ep, record), 1);
        EXPECT_STREQ(record.product, "Board-X");
    }
}

TEST(EntryPointScan, MatchesTheWholeAnchorOnly) {
    auto image = withoutAnchors();
    const char partial[] = "_DMI";
    std::memcpy(image.data() + 0x200, partial, 4);
    image[0x204] = 'X';
    EXPECT_FALSE(FindDmiEntryPoint(windowOf(image)));
    // The last five bytes of a short image cannot hold an anchor past its end.
    std::vector<std::uint8_t> shortImage(0xFFF3, 0);
    std::memcpy(shortImage.data() + 0xFFF0, "_DM", 3);
    EXPECT_FALSE(FindDmiEntryPoint(windowOf(shortImage)));
}

TEST(EntryPointScan, FlatModeScansTheBiosAreaAtItsPhysicalAddresses) {
    std::vector<std::uint8_t> memory(0x100000, 0);
    putAnchor(memory, 0x100);  // below the BIOS area: not scanned
    EXPECT_FALSE(FindDmiEntryPoint({spanOf(memory), Mode::Flat}));
    putAnchor(memory, 0xFFFF0);
    EXPECT_EQ(FindDmiEntryPoint({spanOf(memory), Mode::Flat}), std::optional<std::size_t>(0xFFFF0));
}

TEST(TableWalk, AddressesOutsideTheWindowFindNothing) {
    auto image = windowImage({board("M", "P", "V", "S")});
    ASSERT_TRUE(FindDmiStructure(windowOf(image), 0x100, 2));
    // Same low 16 bits, other segment: would wrap onto the table.
    put32(image, 0x100 + 8, 0xE0200);
    EXPECT_FALSE(FindDmiStructure(windowOf(image), 0x100, 2));
    put32(image, 0x100 + 8, 0x1F0200);
    EXPECT_FALSE(FindDmiStructure(windowOf(image), 0x100, 2));
    put32(image, 0x100 + 8, 0xFFFFF);
    EXPECT_FALSE(FindDmiStructure(windowOf(image), 0x100, 2));
}

TEST(TableWalk, FlatModeReadsTheTableAtItsFullAddress) {
    std::vector<std::uint8_t> memory(0x100000, 0);
    putEntryPoint(memory, 0xF0000, 0x9000, 1);
    const auto table = tableBytes({board("M", "Low-Memory-Board", "V", "S")});
    std::copy(table.begin(), table.end(), memory.begin() + 0x9000);
    DmiBoardRecord record;
    EXPECT_EQ(ReadBoardRecord({spanOf(memory), Mode::Flat}, 0xF0000, record), 1);
    EXPECT_STREQ(record.product, "Low-Memory-Board");
    put32(memory, 0xF0000 + 8, 0x100000);  // past the end of what can be read
    EXPECT_EQ(ReadBoardRecord({spanOf(memory), Mode::Flat}, 0xF0000, record), 0);
}

TEST(TableWalk, CountZeroFindsNothingEvenWithStructures) {
    const auto image = windowImage({bios("V", "1", "01/01/98")}, 0x100, 0x200, 0);
    DmiBiosRecord record;
    EXPECT_EQ(ReadBiosRecord(windowOf(image), 0x100, record), 0);
    EXPECT_STREQ(record.vendor, "");
}

TEST(TableWalk, IsBoundedByTheCountNotTheTableLength) {
    auto image = windowImage({bios("V", "1", "d"), board("M", "P", "V", "S")}, 0x100, 0x200, 1);
    put16(image, 0x100 + 6, 0xFFFF);  // table length says more
    EXPECT_FALSE(FindDmiStructure(windowOf(image), 0x100, 2));
    put16(image, 0x100 + 12, 2);
    put16(image, 0x100 + 6, 1);  // table length says less
    EXPECT_TRUE(FindDmiStructure(windowOf(image), 0x100, 2));
}

TEST(TableWalk, TypeZeroFirstIsFoundAtTheTableStart) {
    const auto image = windowImage({bios("Firmware Works", "1.00.07", "09/22/97")});
    EXPECT_EQ(FindDmiStructure(windowOf(image), 0x100, 0), std::optional<std::size_t>(0x200));
    DmiBiosRecord record;
    ASSERT_EQ(ReadBiosRecord(windowOf(image), 0x100, record), 1);
    EXPECT_STREQ(record.vendor, "Firmware Works");
    EXPECT_STREQ(record.version, "1.00.07");
    EXPECT_STREQ(record.release_date, "09/22/97");
}

TEST(TableWalk, StopsAtATypeWithoutAnEndRule) {
    const Structure memoryArray{area(16, 0x0F), {}};
    const auto stopped = windowImage({bios("V", "1", "d"), memoryArray, board("M", "P", "V", "S")});
    EXPECT_FALSE(FindDmiStructure(windowOf(stopped), 0x100, 2));
    const auto passed = windowImage({bios("V", "1", "d"), board("M", "P", "V", "S"), memoryArray});
    EXPECT_TRUE(FindDmiStructure(windowOf(passed), 0x100, 2));
}

TEST(TableWalk, PassesOemAndStringlessTypesOnTheirOwnRules) {
    Structure oem = Structure::raw(area(128, 6), std::vector<std::uint8_t>(0x20, 0xEE));
    put16(oem.formatted, 4, 0x20);
    const Structure controller{area(5, 0x0F), {}};
    const Structure eventLog{area(15, 0x14), {}};
    const auto image = windowImage({oem, controller, eventLog, board("M", "Past-OEM", "V", "S")});
    DmiBoardRecord record;
    ASSERT_EQ(ReadBoardRecord(windowOf(image), 0x100, record), 1);
    EXPECT_STREQ(record.product, "Past-OEM");
}

TEST(TableWalk, RefusesAStructureThatRunsPastTheImage) {
    std::vector<std::uint8_t> image(0x210, 0);
    putEntryPoint(image, 0x100, 0xF0200, 3);
    image[0x200] = 2;
    image[0x201] = 0x20;  // formatted area would end at 0x220
    EXPECT_FALSE(FindDmiStructure(windowOf(image), 0x100, 2));
}

// NextDmiStructure: each row is a structure at offset 0 of a small buffer
// and where the next one must start.
struct EndCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::optional<std::size_t> next;
};

class EndRule : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndRule, EndsWhereTheRuleSays) {
    const EndCase& c = GetParam();
    EXPECT_EQ(NextDmiStructure(spanOf(c.bytes), 0), c.next) << c.name;
}

namespace {

std::vector<std::uint8_t> join(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
std::vector<std::uint8_t> text(const std::string& s) { return {s.begin(), s.end()}; }
std::vector<std::uint8_t> with16(std::vector<std::uint8_t> b, std::size_t at, std::uint16_t v) {
    put16(b, at, v);
    return b;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Types, EndRule,
    ::testing::Values(
        EndCase{"type 0 with three strings", join(area(0, 0x12, {{1, 0x12}, {4, 1}, {5, 2}, {8, 3}}), text(std::string("AB\0C\0DEF\0\0X", 11))),
                0x12 + 10},
        EndCase{"type 3 without strings: past both zeros", join(area(3, 9, {{1, 9}, {5, 3}}), {0, 0, 3}), 11},
        EndCase{"type 3 without strings, set not empty: at the set", join(area(3, 9, {{1, 9}}), {'Q', 0, 0}), 9},
        EndCase{"type 5 followed by two zeros", join(area(5, 0x0F, {{1, 0x0F}}), {0, 0, 7}), 0x0F + 2},
        EndCase{"type 5 followed by a nonzero byte", join(area(5, 0x0F, {{1, 0x0F}}), {0, 9, 0}), 0x0F},
        EndCase{"type 15 followed by two zeros", join(area(15, 0x14, {{1, 0x14}}), {0, 0}), 0x14 + 2},
        EndCase{"type 15 followed by a nonzero byte", join(area(15, 0x14, {{1, 0x14}}), {1, 0}), 0x14},
        EndCase{"type 128 with size word 0x0020, length 6", join(with16(area(128, 6, {{1, 6}}), 4, 0x20), std::vector<std::uint8_t>(0x20, 0)), 38},
        EndCase{"type 16 has no rule", join(area(16, 0x0F, {{1, 0x0F}}), {0, 0}), std::nullopt},
        EndCase{"type 200 has no rule", join(area(200, 4, {{1, 4}}), {0, 0}), std::nullopt},
        // Fields 4 and 7 share string 1 ("A"): it counts twice, 2 + 2 + 3 bytes
        // from the set's start; the byte there is nonzero, so the end is there.
        EndCase{"type 4 shared string counted twice", join(area(4, 0x1A, {{1, 0x1A}, {4, 1}, {7, 1}, {0x10, 2}}), text(std::string("A\0BB\0\0\x7Fzz", 9))),
                0x1A + 7},
        EndCase{"type 4 shared string, zero at the end", join(area(4, 0x1A, {{1, 0x1A}, {4, 1}, {7, 1}, {0x10, 2}}), text(std::string("A\0BB\0\0\0\0", 8))),
                0x1A + 8},
        EndCase{"type 0 string number beyond the set counts one byte", join(area(0, 0x12, {{1, 0x12}, {4, 5}}), {'Z', 0, 0}), 0x12 + 2},
        EndCase{"type 11 counts every string up to byte 4", join(area(11, 5, {{1, 5}, {4, 2}}), text(std::string("one\0two\0\0", 9))), 5 + 9},
        EndCase{"type 11 with count 0", join(area(11, 5, {{1, 5}}), {0, 0}), 5 + 2},
        EndCase{"type 10 counts 5 + 2j", join(area(10, 8, {{1, 8}, {5, 1}, {7, 2}}), text(std::string("ab\0cd\0\0", 7))), 8 + 7},
        EndCase{"type 8 counts fields 4 and 6", join(area(8, 9, {{1, 9}, {4, 1}, {6, 2}}), text(std::string("J1\0J2\0\0", 7))), 9 + 7},
        EndCase{"a length below the header ends the walk", join(area(0, 3, {{1, 3}}), {0, 0, 0}), std::nullopt},
        EndCase{"a string set without its end", join(area(2, 8, {{1, 8}, {4, 1}}), text("unterminated")), std::nullopt}));

TEST(StringLookup, FindsStringNOnlyWhenTheSetHoldsIt) {
    const auto set = text(std::string("AB\0CD\0\0", 7));
    EXPECT_FALSE(FindDmiString(spanOf(set), 0, 0));
    EXPECT_EQ(FindDmiString(spanOf(set), 0, 1), std::optional<std::size_t>(0));
    EXPECT_EQ(FindDmiString(spanOf(set), 0, 2), std::optional<std::size_t>(3));
    EXPECT_FALSE(FindDmiString(spanOf(set), 0, 3));
    EXPECT_EQ(FindDmiString(spanOf(set), 0, 257), std::optional<std::size_t>(0));  // low 8 bits
    const auto empty = std::vector<std::uint8_t>{0, 0};
    EXPECT_FALSE(FindDmiString(spanOf(empty), 0, 1));
    const auto cut = text("no end");
    EXPECT_FALSE(FindDmiString(spanOf(cut), 0, 1));
}

namespace {

Structure processor(std::vector<std::string> strings, std::uint8_t socket, std::uint8_t maker, std::uint8_t version) {
    auto b = area(4, 0x1A, {{4, socket}, {5, 3}, {6, 0x11}, {7, maker}, {0x10, version}, {0x11, 0x8A}});
    const std::uint8_t id[8] = {0x73, 0x00, 0x06, 0x00, 0x00, 0xFB, 0x00, 0x03};
    for (std::size_t i = 0; i < 8; ++i) b[8 + i] = id[i];
    put16(b, 0x12, 100);
    put16(b, 0x14, 500);
    put16(b, 0x16, 450);
    b[0x18] = 0x41;
    b[0x19] = 0x04;
    return {b, std::move(strings)};
}

}  // namespace

TEST(ProcessorRecord, CopiesEveryFixedFieldAndString) {
    const auto image = windowImage({bios("V", "1", "d"), processor({"Slot 1", "Zorvel", "Zorvel Pro"}, 1, 2, 3)});
    DmiProcessorRecord r;
    std::memset(&r, 0xCC, sizeof r);
    ASSERT_EQ(ReadProcessorRecord(windowOf(image), 0x100, r), 1);
    EXPECT_STREQ(r.socket_designation, "Slot 1");
    EXPECT_STREQ(r.manufacturer, "Zorvel");
    EXPECT_STREQ(r.version, "Zorvel Pro");
    EXPECT_EQ(r.processor_type, 3);
    EXPECT_EQ(r.processor_family, 0x11);
    const std::uint8_t id[8] = {0x73, 0x00, 0x06, 0x00, 0x00, 0xFB, 0x00, 0x03};
    EXPECT_EQ(std::memcmp(r.processor_id, id, 8), 0);
    EXPECT_EQ(r.voltage, 0x8A);
    EXPECT_EQ(r.unused2, 0);
    EXPECT_EQ(r.external_clock_mhz, 100);
    EXPECT_EQ(r.max_speed_mhz, 500);
    EXPECT_EQ(r.current_speed_mhz, 450);
    EXPECT_EQ(r.status, 0x41);
    EXPECT_EQ(r.processor_upgrade, 0x04);
    // The bytes as laid out, little-endian, for the reader of the record.
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&r);
    EXPECT_EQ(raw[110], 450 & 0xFF);
    EXPECT_EQ(raw[111], 450 >> 8);
    EXPECT_EQ(raw[0], 0);
}

TEST(ProcessorRecord, ASharedStringNumberFillsOnlyTheEarlierSlot) {
    const auto image = windowImage({processor({"Zorvel"}, 0, 1, 1)});
    DmiProcessorRecord r;
    ASSERT_EQ(ReadProcessorRecord(windowOf(image), 0x100, r), 1);
    EXPECT_STREQ(r.manufacturer, "Zorvel");
    EXPECT_STREQ(r.version, "");
    EXPECT_STREQ(r.socket_designation, "");
}

TEST(ProcessorRecord, AbsentTypeLeavesTheRecordCleared) {
    const auto image = windowImage({bios("V", "1", "d"), board("M", "P", "V", "S")});
    DmiProcessorRecord r;
    std::memset(&r, 0xCC, sizeof r);
    EXPECT_EQ(ReadProcessorRecord(windowOf(image), 0x100, r), 0);
    const DmiProcessorRecord zero{};
    EXPECT_EQ(std::memcmp(&r, &zero, sizeof r), 0);
}

TEST(Records, CutStringsLongerThanTheirSlot) {
    const std::string long40(40, 'v');
    const std::string long50(50, 'd');
    const auto image = windowImage({bios(long40, "1", long50), board(long40, "P", "V", long40)});
    DmiBiosRecord b;
    ASSERT_EQ(ReadBiosRecord(windowOf(image), 0x100, b), 1);
    EXPECT_EQ(std::string(b.vendor), std::string(29, 'v'));
    EXPECT_EQ(std::string(b.release_date), std::string(39, 'd'));
    EXPECT_STREQ(b.version, "1");
    DmiBoardRecord m;
    ASSERT_EQ(ReadBoardRecord(windowOf(image), 0x100, m), 1);
    EXPECT_EQ(std::string(m.serial_number), std::string(29, 'v'));
    EXPECT_STREQ(m.product, "P");
}

TEST(Records, StringNumbersPastTheSetLeaveTheirSlotEmpty) {
    Structure b{area(2, 0x08, {{4, 1}, {5, 9}, {6, 2}, {7, 3}}), {"Maker", "Ver"}};
    const auto image = windowImage({b, Structure{area(1, 8, {{4, 1}}), {"NEXT"}}});
    DmiBoardRecord r;
    ASSERT_EQ(ReadBoardRecord(windowOf(image), 0x100, r), 1);
    EXPECT_STREQ(r.manufacturer, "Maker");
    EXPECT_STREQ(r.version, "Ver");
    EXPECT_STREQ(r.product, "");
    EXPECT_STREQ(r.serial_number, "");  // not the next structure's string
}

TEST(Records, AStringRunningPastTheImageIsNotCopied) {
    std::vector<std::uint8_t> image(0x220, 0);
    putEntryPoint(image, 0x100, 0xF0200, 1);
    const auto f = area(2, 0x08, {{1, 8}, {4, 1}, {5, 2}});
    std::copy(f.begin(), f.end(), image.begin() + 0x200);
    const std::string first = "Maker";
    std::copy(first.begin(), first.end(), image.begin() + 0x208);
    // "Maker\0" then string 2 runs to the end of the image without a zero.
    std::fill(image.begin() + 0x20E, image.end(), 'x');
    DmiBoardRecord r;
    ASSERT_EQ(ReadBoardRecord(windowOf(image), 0x100, r), 1);
    EXPECT_STREQ(r.manufacturer, "Maker");
    EXPECT_STREQ(r.product, "");
}

struct DateCase {
    const char* date;
    int answer;
};

class BiosDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(BiosDate, ReadsMonthDayYearFromFixedPositions) {
    EXPECT_EQ(IsDmi20Date(GetParam().date), GetParam().answer) << GetParam().date;
}

INSTANTIATE_TEST_SUITE_P(Forms, BiosDate,
                         ::testing::Values(DateCase{"09/21/97", 0}, DateCase{"09/22/97", 1}, DateCase{"10/01/97", 1},
                                           DateCase{"12/31/96", 0}, DateCase{"01/15/98", 1}, DateCase{"01/10/00", 0},
                                           DateCase{"09/30/1997", 0}, DateCase{"1/5/98", 0}, DateCase{"08/31/97", 0},
                                           DateCase{"09/22/9", 0}, DateCase{"", 0}, DateCase{" 9/ 9/99", 1},
                                           DateCase{"09/22/97 and more text", 1}));

struct ChassisCase {
    std::uint8_t type;
    int notebook;
};

class Chassis : public ::testing::TestWithParam<ChassisCase> {};

TEST_P(Chassis, OnlyNotebookCountsWithTheLockBitCleared) {
    const auto image = windowImage({bios("V", "1", "d"), Structure{area(3, 9, {{5, GetParam().type}}), {}}});
    EXPECT_EQ(IsNotebook(windowOf(image), 0x100), GetParam().notebook) << int(GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Types, Chassis,
                         ::testing::Values(ChassisCase{0x0A, 1}, ChassisCase{0x8A, 1}, ChassisCase{0x09, 0},
                                           ChassisCase{0x08, 0}, ChassisCase{0x0E, 0}, ChassisCase{0x03, 0},
                                           ChassisCase{0x89, 0}));

TEST(Chassis, NoChassisStructureIsNoNotebook) {
    const auto image = windowImage({bios("V", "1", "d")});
    EXPECT_EQ(IsNotebook(windowOf(image), 0x100), 0);
}
