#include <gtest/gtest.h>

#include "IntervalText.h"

namespace velmon::dialogs {
namespace {

struct IntervalCase {
    const char* text;
    std::optional<std::int16_t> interval;  // nullopt: the interval keeps its value
    friend void PrintTo(const IntervalCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class IntervalTextTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(IntervalTextTest, TypedTextGivesIntervalOrKeepsIt) {
    const auto& c = GetParam();
    EXPECT_EQ(intervalFromText(c.text), c.interval) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, IntervalTextTest,
                         ::testing::Values(IntervalCase{"1", 1}, IntervalCase{"60", 60},
                                           IntervalCase{"0", std::nullopt},
                                           IntervalCase{"61", std::nullopt},
                                           IntervalCase{"2.5", 2}, IntervalCase{"3.5", 4},
                                           IntervalCase{"0.4", 0}, IntervalCase{"12s", 12},
                                           IntervalCase{"abc", std::nullopt},
                                           IntervalCase{"", std::nullopt},
                                           IntervalCase{"  7", 7}, IntervalCase{"-3", std::nullopt},
                                           IntervalCase{"60.4", 60},
                                           IntervalCase{"60.9", 61},
                                           IntervalCase{"1e1", 10}, IntervalCase{"5e", 5},
                                           IntervalCase{".5", 0}, IntervalCase{"1.5", 2},
                                           IntervalCase{"x12", std::nullopt},
                                           IntervalCase{"1e999", std::nullopt}));

TEST(LeadingNumber, ReadsOnlyTheNumberAtTheStart) {
    EXPECT_DOUBLE_EQ(leadingNumber("  12.25kg"), 12.25);
    EXPECT_DOUBLE_EQ(leadingNumber("-4"), -4.0);
    EXPECT_DOUBLE_EQ(leadingNumber("+"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("."), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("a1"), 0.0);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
}

TEST(SpinText, HasNoRangeTestButStaysIn16Bits) {
    EXPECT_EQ(intervalFromSpinText("0"), 0);
    EXPECT_EQ(intervalFromSpinText("61"), 61);
    EXPECT_EQ(intervalFromSpinText("2.5"), 2);
    EXPECT_EQ(intervalFromSpinText("abc"), 0);
    EXPECT_EQ(intervalFromSpinText("99999"), 32767);
    EXPECT_EQ(intervalFromSpinText("-99999"), -32768);
}

TEST(SpinStep, StepsByOneWithinOneToSixty) {
    EXPECT_EQ(spinStep("5", 5, true), 6);
    EXPECT_EQ(spinStep("5", 5, false), 4);
    EXPECT_EQ(spinStep("60", 60, true), 60);
    EXPECT_EQ(spinStep("1", 1, false), 1);
    // A box edited by hand is the new starting point when the spin can take it.
    EXPECT_EQ(spinStep("30", 5, true), 31);
    // Otherwise the spin goes on from where it was.
    EXPECT_EQ(spinStep("abc", 7, true), 8);
    EXPECT_EQ(spinStep("99", 7, false), 6);
    EXPECT_EQ(spinStep("2.5", 9, true), 10);
}

}  // namespace
}  // namespace velmon::dialogs
