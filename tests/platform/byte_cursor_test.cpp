#include <gtest/gtest.h>

#include <cstdint>

#include "platform/ByteCursor.h"

namespace platform {
namespace {

const std::uint8_t kBytes[] = {0x5F, 0x44, 0x4D, 0x49, 0x5F, 0x00, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12};

TEST(ByteSpan, ReadsLittleEndianInsideAndRefusesPastTheEnd) {
    const ByteSpan s(kBytes, sizeof kBytes);
    EXPECT_EQ(s.u16le(6), 0x1234);
    EXPECT_EQ(s.u32le(8), 0x12345678u);
    EXPECT_EQ(s.u8(11), 0x12);
    EXPECT_FALSE(s.u8(12));
    EXPECT_FALSE(s.u16le(11));
    EXPECT_FALSE(s.u32le(9));
    EXPECT_FALSE(s.u32le(SIZE_MAX - 1));  // offset + size would wrap
    EXPECT_TRUE(s.matches(0, "_DMI_"));
    EXPECT_FALSE(s.matches(8, "xyzab"));
    EXPECT_FALSE(s.matches(10, "abc"));
}

TEST(ByteSpan, SubSpansAndZerosStayInside) {
    const ByteSpan s(kBytes, sizeof kBytes);
    EXPECT_EQ(s.findZero(0), 5u);
    EXPECT_FALSE(s.findZero(6));
    auto sub = s.sub(6, 6);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->u16le(0), 0x1234);
    EXPECT_FALSE(s.sub(6, 7));
    EXPECT_FALSE(s.sub(SIZE_MAX, 2));
    std::uint8_t out[4] = {};
    EXPECT_FALSE(s.copy(10, 4, out));
    EXPECT_EQ(out[0], 0);  // nothing copied on failure
    EXPECT_TRUE(s.copy(8, 4, out));
    EXPECT_EQ(out[3], 0x12);
}

TEST(ByteSpan, NullDataIsEmpty) {
    const ByteSpan s(nullptr, 100);
    EXPECT_EQ(s.size(), 0u);
    EXPECT_FALSE(s.u8(0));
}

TEST(ByteCursor, AdvancesOnlyOnSuccess) {
    ByteCursor c(ByteSpan(kBytes, sizeof kBytes), 6);
    EXPECT_EQ(c.u16le(), 0x1234);
    EXPECT_EQ(c.pos(), 8u);
    EXPECT_EQ(c.u32le(), 0x12345678u);
    EXPECT_EQ(c.remaining(), 0u);
    EXPECT_FALSE(c.u8());
    EXPECT_EQ(c.pos(), 12u);
    EXPECT_FALSE(c.skip(1));
    EXPECT_TRUE(checkedAdd(1, 2) == 3u);
    EXPECT_FALSE(checkedAdd(SIZE_MAX, 1));
}

}  // namespace
}  // namespace platform
