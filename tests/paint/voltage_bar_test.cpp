// Voltage bar painting: segments, marker Tops and the reading tick.
#include "Art.h"
#include "Painters.h"
#include "PixelHelpers.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmon;
using pixels::at;
using pixels::rgb;

namespace {

QImage freshBar(int channel = 0) { return art::image(art::voltageBar(channel)).copy(); }

// Colour of every row 5 … 149 of the scale column, checked at both edges and the middle.
void expectColumn(const QImage& bar, const QImage& background, const std::vector<std::pair<int, QRgb>>& spans) {
    // spans: (last row, colour) in increasing rows starting at row 5; 0 means background
    int row = 5;
    for (const auto& [last, colour] : spans) {
        for (; row <= last; ++row)
            for (int x : {28, 33, 38}) {
                const QRgb want = colour ? colour : at(background, x, row);
                EXPECT_EQ(at(bar, x, row), want) << "row " << row << " col " << x << " got " << rgb(at(bar, x, row));
            }
    }
}

constexpr QRgb R = paint::kDarkRed, G = paint::kGreen, B = 0;

}  // namespace

TEST(VoltageBar, VcoreDefaults) {
    QImage bar = freshBar();
    const QImage bg = bar.copy();
    const paint::MarkerTops tops = paint::drawVoltageBar(bar, 0, 3.7f, 1.5f, 5.0f);  // reading off the scale
    EXPECT_EQ(tops.upper, 13);
    EXPECT_EQ(tops.lower, 94);
    expectColumn(bar, bg,
                 {{16, R}, {19, G}, {22, B},                       // slot 0
                  {37, G}, {40, B}, {55, G}, {58, B}, {73, G}, {76, B}, {91, G}, {94, B},  // slots 1 … 4
                  {109, R}, {112, B}, {127, R}, {130, B}, {145, R}, {149, B}});           // slots 5 … 7
    // next to the column nothing changes
    for (int y = 0; y < 160; ++y) {
        EXPECT_EQ(at(bar, 27, y), at(bg, 27, y)) << y;
        EXPECT_EQ(at(bar, 39, y), at(bg, 39, y)) << y;
    }
}

TEST(VoltageBar, BothThresholdsInOneSlot) {
    QImage bar = freshBar();
    const QImage bg = bar.copy();
    const paint::MarkerTops tops = paint::drawVoltageBar(bar, 0, 3.4f, 3.2f, -1.0f);
    EXPECT_EQ(tops.upper, 25);
    EXPECT_EQ(tops.lower, 31);
    expectColumn(bar, bg,
                 {{19, R}, {22, B}, {28, R}, {31, G}, {37, R}, {40, B}, {55, R}, {58, B}, {73, R},
                  {76, B}, {91, R}, {94, B}, {109, R}, {112, B}, {127, R}, {130, B}, {145, R}});
}

struct TickCase {
    const char* what;
    int channel, base;
    float upper, lower, value;
    int firstRow;  // -1: no tick
    QRgb colour;
};

// Readable and stable test names (the default prints the bytes, pointer included).
void PrintTo(const TickCase& c, std::ostream* os) { *os << c.what; }

class VoltageTick : public ::testing::TestWithParam<TickCase> {};

TEST_P(VoltageTick, ColourAndRows) {
    const TickCase c = GetParam();
    QImage bar = freshBar(c.channel);
    paint::drawVoltageBar(bar, c.base, c.upper, c.lower, c.value);
    QImage plain = freshBar(c.channel);
    paint::drawVoltageBar(plain, c.base, c.upper, c.lower, static_cast<float>(c.base) - 5.0f);
    for (int y = 0; y < 220; ++y)
        for (int x = 0; x < 73; ++x) {
            const bool onTick = c.firstRow >= 0 && y >= c.firstRow && y <= c.firstRow + 2 && x >= 28 && x <= 38;
            if (onTick) {
                EXPECT_EQ(at(bar, x, y), c.colour) << c.what << " " << x << "," << y;
            } else {
                ASSERT_EQ(at(bar, x, y), at(plain, x, y)) << c.what << " " << x << "," << y;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Readings, VoltageTick,
    ::testing::Values(TickCase{"in range", 0, 0, 3.7f, 1.5f, 2.5f, 5 + 18 * 3, paint::kBrightGreen},
                      TickCase{"3.5 on base 0", 0, 0, 3.7f, 1.5f, 3.5f, 23, paint::kBrightGreen},
                      TickCase{"on the upper", 0, 0, 3.7f, 1.5f, 3.7f, 14, paint::kRed},
                      TickCase{"on the lower", 0, 0, 3.7f, 1.5f, 1.5f, 95, paint::kRed},
                      TickCase{"top of scale", 0, 0, 3.7f, 1.5f, 4.0f, 5, paint::kRed},
                      TickCase{"base of scale", 0, 0, 3.7f, 1.5f, 0.0f, 5 + 18 * 8, paint::kRed},
                      TickCase{"-12V in range", 5, -14, -10.3f, -13.7f, -12.1f, 5 + 18 * 4 + 3, paint::kBrightGreen},
                      TickCase{"-12V reading 0.0", 5, -14, -10.3f, -13.7f, 0.0f, -1, 0},
                      TickCase{"above the top", 0, 0, 3.7f, 1.5f, 4.1f, -1, 0}));

TEST(VoltageBar, RepaintClearsTheOldTick) {
    QImage bar = freshBar();
    paint::drawVoltageBar(bar, 0, 3.7f, 1.5f, 2.5f);
    paint::drawVoltageBar(bar, 0, 3.7f, 1.5f, 3.0f);
    EXPECT_EQ(at(bar, 33, 5 + 18 * 3), paint::kGreen);
    EXPECT_EQ(at(bar, 33, 5 + 18 * 2), paint::kBrightGreen);
}
