// The processor search on small crafted values: which record a DMI processor gets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AhdFormat.h"
#include "TestSupport.h"

namespace {

using namespace cpudata_test;

struct SearchCase {
    const char* what;
    std::vector<Rec> recs;
    std::uint8_t family, id0, id1;
    std::uint16_t speed;
    std::uint8_t selector;
    const char* expected;  // "" = nothing found
};

std::string runSearch(const SearchCase& c, std::uint16_t a = 1) {
    const Bytes stored = scramble(plainValue(c.recs, a));
    const auto hit = cpudata::searchStored(platform::ByteSpan(stored.data(), stored.size()),
                                           cpudata::CpuQuery{c.family, c.id0, c.id1, c.speed, c.selector});
    return hit ? std::string(hit->name) : std::string();
}

class SearchRules : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchRules, AnswersTheRecordTheRulesPick) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(runSearch(c), c.expected) << c.what;
}

// The same answer whatever the number of 68-byte records before the processor records.
TEST_P(SearchRules, ProcessorRecordsStartAfterTheOtherRecords) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(runSearch(c, 0), c.expected) << c.what;
    EXPECT_EQ(runSearch(c, 3), c.expected) << c.what;
}

const Rec kA{"First", 0x1B, 0x8C, 0x05, 300};
const Rec kB{"Second", 0x1B, 0x8C, 0x05, 350};

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchRules,
    ::testing::Values(
        SearchCase{"family must match", {{"Other family", 0x1A, 0x8C, 0x05, 450}}, 0x1B, 0x8C, 0x05, 450, 1, ""},
        SearchCase{"selector must match", {{"Other selector", 0x1B, 0x8C, 0x05, 450, 2}}, 0x1B, 0x8C, 0x05, 450, 1, ""},
        SearchCase{"selector 2 finds its own records",
                   {{"Sel 1", 0x1B, 0x8C, 0x05, 450, 1}, {"Sel 2", 0x1B, 0x8C, 0x05, 450, 2}},
                   0x1B, 0x8C, 0x05, 450, 2, "Sel 2"},
        SearchCase{"no speed matches: the last accepted wins", {kA, kB}, 0x1B, 0x8C, 0x05, 400, 1, "Second"},
        SearchCase{"exact speed ends the search", {kA, kB}, 0x1B, 0x8C, 0x05, 300, 1, "First"},
        SearchCase{"first ID byte must match", {{"Wrong id0", 0x1B, 0x8D, 0x05, 450}}, 0x1B, 0x8C, 0x05, 450, 1, ""},
        SearchCase{"second ID byte neither 0 nor equal is skipped",
                   {kA, {"Wrong id1", 0x1B, 0x8C, 0x06, 400}}, 0x1B, 0x8C, 0x05, 400, 1, "First"},
        SearchCase{"second ID byte 0 is any", {{"Any id1", 0x1B, 0x8C, 0x00, 100}}, 0x1B, 0x8C, 0x05, 450, 1,
                   "Any id1"},
        SearchCase{"first ID byte 0 is accepted whatever the speed", {{"Any", 0x1B, 0x00, 0x07, 1}},
                   0x1B, 0x8C, 0x05, 450, 1, "Any"},
        SearchCase{"first ID byte 0 with exact speed does not end the search",
                   {{"Any", 0x1B, 0x00, 0x00, 450}, {"Later", 0x1B, 0x8C, 0x05, 300}}, 0x1B, 0x8C, 0x05, 450, 1,
                   "Later"},
        SearchCase{"a later first-ID-0 record replaces an accepted one",
                   {{"Specific", 0x1B, 0x8C, 0x05, 300}, {"Any", 0x1B, 0x00, 0x00, 0}}, 0x1B, 0x8C, 0x05, 450, 1,
                   "Any"},
        SearchCase{"records after an exact match are not examined",
                   {{"Exact", 0x1B, 0x8C, 0x05, 450}, {"Any", 0x1B, 0x00, 0x00, 0}}, 0x1B, 0x8C, 0x05, 450, 1,
                   "Exact"},
        SearchCase{"the DMI speed is 16 bits", {{"Low byte", 0x1B, 0x8C, 0x05, 0x00E8}, {"Full", 0x1B, 0x8C, 0x05, 0x03E8},
                   {"After", 0x1B, 0x8C, 0x05, 1}}, 0x1B, 0x8C, 0x05, 1000, 1, "Full"},
        SearchCase{"no records", {}, 0x1B, 0x8C, 0x05, 450, 1, ""}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

// Families without an 8-bit code: the byte reads 0xFE and Processor Family 2 tells them apart.
struct Family2Case {
    const char* what;
    std::uint8_t family;
    std::uint16_t family2;
    const char* expected;
};

class Family2Search : public ::testing::TestWithParam<Family2Case> {};

TEST_P(Family2Search, SixteenBitFamiliesAreToldApart) {
    const Family2Case& c = GetParam();
    const Bytes stored = scramble(plainValue({{"Arm v8 ", 0xFE, 0, 0, 0, 1, 0, 0, 0x101},
                                              {"Core Ultra 7 ", 0xFE, 0, 0, 0, 1, 0, 0, 0x306},
                                              {"Core i7 ", 0xC6, 0, 0, 0, 1, 0, 0, 0x306}}));
    const Bytes rec = dmiRecord(c.family, 0x41, 0x0D, 2400, c.family2);
    const auto q = cpudata::queryFromDmiRecord(platform::ByteSpan(rec.data(), rec.size()), 1);
    ASSERT_TRUE(q);
    const auto hit = cpudata::searchStored(platform::ByteSpan(stored.data(), stored.size()), *q);
    EXPECT_EQ(hit ? std::string(hit->name) : std::string(), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Family2Search,
    ::testing::Values(Family2Case{"ARMv8", 0xFE, 0x101, "Arm v8 "},
                      Family2Case{"Core Ultra 7", 0xFE, 0x306, "Core Ultra 7 "},
                      Family2Case{"a 16-bit family without a record", 0xFE, 0x102, ""},
                      Family2Case{"0xFE without Processor Family 2", 0xFE, 0, ""},
                      Family2Case{"an 8-bit family ignores the bytes beside it", 0xC6, 0x101, "Core i7 "}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

std::optional<ZorvCpuDataRecord> searchPlainBytes(const Bytes& plain, const cpudata::CpuQuery& q) {
    return cpudata::searchPlain(platform::ByteSpan(plain.data(), plain.size()), q);
}

const cpudata::CpuQuery kQuery{0x1B, 0x8C, 0x05, 450, 1};

TEST(SearchBounds, TruncatedValueUsesOnlyTheCompleteRecords) {
    // Three records promised, the third cut one byte short: it would be the answer if read.
    Bytes plain = plainValue({{"One", 0x1B, 0x8C, 0x05, 300}, {"Two", 0x1B, 0x8C, 0x05, 350},
                              {"Three", 0x1B, 0x8C, 0x05, 450}});
    plain.pop_back();
    const auto hit = searchPlainBytes(plain, kQuery);
    ASSERT_TRUE(hit);
    EXPECT_STREQ(hit->name, "Two");
}

TEST(SearchBounds, ExtraBytesAfterTheCountedRecordsAreIgnored) {
    Bytes plain = plainValue({{"Counted", 0x1B, 0x8C, 0x05, 300}});
    const Bytes extra = recordBytes({"Uncounted", 0x1B, 0x8C, 0x05, 450});
    plain.insert(plain.end(), extra.begin(), extra.end());
    const auto hit = searchPlainBytes(plain, kQuery);
    ASSERT_TRUE(hit);
    EXPECT_STREQ(hit->name, "Counted");
}

TEST(SearchBounds, ShortValuesFindNothing) {
    const Bytes full = plainValue({{"Exact", 0x1B, 0x8C, 0x05, 450}}, 0);
    // Shorter than the header, header only, and a record one byte short.
    for (std::size_t size : {std::size_t{0}, std::size_t{7}, std::size_t{63}, std::size_t{64}, full.size() - 1}) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(searchPlainBytes(cut, kQuery)) << size << " bytes";
    }
    EXPECT_TRUE(searchPlainBytes(full, kQuery));
}

TEST(SearchBounds, OtherRecordsReachingPastTheEndFindNothing) {
    Bytes plain = plainValue({{"Exact", 0x1B, 0x8C, 0x05, 450}}, 0);
    plain[4] = 0xFF;  // A = 0xFFFF: the processor records would start far past the end
    plain[5] = 0xFF;
    EXPECT_FALSE(searchPlainBytes(plain, kQuery));
}

TEST(SearchBounds, NameFillingAllTwentyBytesIsCutAtNineteen) {
    Bytes plain = plainValue({{"ABCDEFGHIJKLMNOPQRST", 0x1B, 0x8C, 0x05, 450}});
    const auto hit = searchPlainBytes(plain, kQuery);
    ASSERT_TRUE(hit);
    EXPECT_EQ(std::string(hit->name), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(hit->family, 0x1B);
}

TEST(SearchBounds, FoundRecordKeepsEveryFieldOfTheFile) {
    Bytes plain = plainValue({{"K6-2", 0x1B, 0x8C, 0x05, 450, 1, 7, 22}});
    const std::size_t at = 64 + 68;
    plain[at + 25] = 0x5A;  // a byte the library does not interpret still reaches the caller
    const auto hit = searchPlainBytes(plain, kQuery);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->family, 0x1B);
    EXPECT_EQ(hit->id0, 0x8C);
    EXPECT_EQ(hit->id1, 0x05);
    EXPECT_EQ(hit->selector, 1);
    EXPECT_EQ(hit->offset, 7);
    EXPECT_EQ(hit->nominal, 22);
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&*hit);
    EXPECT_EQ(raw[30] | (raw[31] << 8), 450);
    EXPECT_EQ(raw[25], 0x5A);
}

TEST(Mask, TwentySevenBytesUseTheMaskOnce) {
    Bytes b(27, 0);
    cpudata::applyMask(b.data(), b.size());
    EXPECT_EQ(std::string(b.begin(), b.end()), "Kestrel Data Mask Phrase 01");
}

TEST(Mask, TwentyEightBytesUseMaskByteZeroTwice) {
    Bytes b(28, 0);
    cpudata::applyMask(b.data(), b.size());
    EXPECT_EQ(b[0], 'K');
    EXPECT_EQ(b[27], 'K');
    EXPECT_EQ(b[26], '1');
}

TEST(Mask, ShortValueUsesTheFirstMaskBytesOnly) {
    Bytes b{0x00, 0xFF, 0x10};
    cpudata::applyMask(b.data(), b.size());
    EXPECT_EQ(b, (Bytes{'K', static_cast<std::uint8_t>('e' ^ 0xFF), static_cast<std::uint8_t>('s' ^ 0x10)}));
}

TEST(Mask, AppliedTwiceGivesTheBytesBack) {
    Bytes b(200);
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7);
    Bytes c = b;
    cpudata::applyMask(c.data(), c.size());
    EXPECT_NE(c, b);
    cpudata::applyMask(c.data(), c.size());
    EXPECT_EQ(c, b);
}

TEST(DmiQuery, ReadsFamilyIdBytesAndCurrentSpeed) {
    Bytes rec = dmiRecord(0xCD, 0x55, 0x06, 3600);
    rec[108] = 0x11;  // maximum speed must not be taken for the current one
    rec[109] = 0x22;
    const auto q = cpudata::queryFromDmiRecord(platform::ByteSpan(rec.data(), rec.size()), 9);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->family, 0xCD);
    EXPECT_EQ(q->id0, 0x55);
    EXPECT_EQ(q->id1, 0x06);
    EXPECT_EQ(q->speedMhz, 3600);
    EXPECT_EQ(q->selector, 9);
    EXPECT_EQ(q->family2, 0);
}

TEST(DmiQuery, ReadsProcessorFamily2OnlyBehindFe) {
    const Bytes arm = dmiRecord(0xFE, 0x34, 0xD0, 1800, 0x101);
    const auto q = cpudata::queryFromDmiRecord(platform::ByteSpan(arm.data(), arm.size()), 1);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->family, 0xFE);
    EXPECT_EQ(q->family2, 0x101);
    const Bytes old = dmiRecord(0x1B, 0x8C, 0x05, 450, 0x4242);  // bytes the old record leaves unused
    const auto k = cpudata::queryFromDmiRecord(platform::ByteSpan(old.data(), old.size()), 1);
    ASSERT_TRUE(k);
    EXPECT_EQ(k->family2, 0);
}

TEST(DmiQuery, ShortRecordGivesNothing) {
    const Bytes rec = dmiRecord(0xCD, 0x55, 0x06, 3600);
    EXPECT_FALSE(cpudata::queryFromDmiRecord(platform::ByteSpan(rec.data(), 111), 1));
    EXPECT_TRUE(cpudata::queryFromDmiRecord(platform::ByteSpan(rec.data(), 112), 1));
}

}  // namespace
