// The lookup's state: searched once, getters before and after, null and odd inputs.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "AhdFormat.h"
#include "TestSupport.h"

namespace {

using namespace cpudata_test;

int g_reads = 0;
Bytes g_value;

std::optional<Bytes> countingReader() {
    ++g_reads;
    return g_value;
}
std::optional<Bytes> missingReader() {
    ++g_reads;
    return std::nullopt;
}

class Lookup : public ::testing::Test {
protected:
    void SetUp() override {
        g_reads = 0;
        g_value = scramble(plainValue({{"AMD K6-2 450", 0x1B, 0x8C, 0x05, 450, 1, 3, 22},
                                       {"Selector two", 0x1B, 0x8C, 0x05, 450, 2, 9, 99}}));
    }
    std::string name() const {
        std::array<char, 80> buf;
        buf.fill('\x7f');
        lookup.name(buf.data());
        return std::string(buf.data());
    }
    cpudata::CpuLookup lookup;
    const Bytes k62 = dmiRecord(0x1B, 0x8C, 0x05, 450);
};

TEST_F(Lookup, GettersBeforeAnyLookupAnswerAsNotFound) {
    std::array<char, 80> buf;
    buf.fill('\x7f');
    EXPECT_FALSE(lookup.name(buf.data()));
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(lookup.offset(), -1);
    EXPECT_EQ(lookup.nominal(), -1);
    EXPECT_EQ(lookup.record(), nullptr);
    EXPECT_FALSE(lookup.attempted());
    EXPECT_EQ(g_reads, 0);
}

TEST_F(Lookup, FoundRecordAnswersEveryGetter) {
    EXPECT_TRUE(lookup.know(k62.data(), 1, &countingReader));
    EXPECT_EQ(name(), "AMD K6-2 450");
    EXPECT_EQ(lookup.offset(), 3);
    EXPECT_EQ(lookup.nominal(), 22);
    const ZorvCpuDataRecord* rec = lookup.record();
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec ? rec->family : 0, 0x1B);
    EXPECT_EQ(rec ? rec->id0 : 0, 0x8C);
}

TEST_F(Lookup, SecondCallWithAnotherSelectorAnswersTheFirstResult) {
    EXPECT_TRUE(lookup.know(k62.data(), 1, &countingReader));
    EXPECT_TRUE(lookup.know(k62.data(), 2, &countingReader));
    EXPECT_EQ(name(), "AMD K6-2 450");
    EXPECT_EQ(lookup.selector(), 2);  // stored, but without effect
    EXPECT_EQ(g_reads, 1);
}

TEST_F(Lookup, FailedFirstLookupIsNotRepeated) {
    EXPECT_FALSE(lookup.know(k62.data(), 3, &countingReader));
    EXPECT_FALSE(lookup.know(k62.data(), 1, &countingReader));
    EXPECT_EQ(name(), "");
    EXPECT_EQ(lookup.offset(), -1);
    EXPECT_EQ(g_reads, 1);
}

TEST_F(Lookup, SelectorIsTheLowByteOfTheValue) {
    EXPECT_TRUE(lookup.know(k62.data(), 0x7A02, &countingReader));
    EXPECT_EQ(name(), "Selector two");
    EXPECT_EQ(lookup.nominal(), 99);
}

TEST_F(Lookup, NegativeSelectorKeepsItsLowByte) {
    EXPECT_FALSE(lookup.know(k62.data(), -1, &countingReader));  // 0xFF matches no record
    EXPECT_EQ(lookup.selector(), 0xFF);
}

TEST_F(Lookup, MissingStoreFindsNothingAndIsRemembered) {
    EXPECT_FALSE(lookup.know(k62.data(), 1, &missingReader));
    EXPECT_TRUE(lookup.attempted());
    EXPECT_FALSE(lookup.know(k62.data(), 1, &countingReader));
    EXPECT_EQ(g_reads, 1);
    EXPECT_EQ(lookup.record(), nullptr);
}

TEST_F(Lookup, NullRecordFindsNothingWithoutReadingTheStore) {
    EXPECT_FALSE(lookup.know(nullptr, 1, &countingReader));
    EXPECT_TRUE(lookup.attempted());
    EXPECT_EQ(g_reads, 0);
    EXPECT_EQ(name(), "");
}

TEST_F(Lookup, NullNameBufferIsRefused) {
    EXPECT_TRUE(lookup.know(k62.data(), 1, &countingReader));
    EXPECT_FALSE(lookup.name(nullptr));
}

TEST_F(Lookup, NameWritesAtMostTwentyBytes) {
    g_value = scramble(plainValue({{"ABCDEFGHIJKLMNOPQRST", 0x1B, 0x8C, 0x05, 450}}));
    ASSERT_TRUE(lookup.know(k62.data(), 1, &countingReader));
    std::array<char, 24> buf;
    buf.fill('\x7f');
    EXPECT_TRUE(lookup.name(buf.data()));
    EXPECT_EQ(std::string(buf.data()), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(buf[20], '\x7f');
}

}  // namespace
