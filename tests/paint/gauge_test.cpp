// Thermometer gauge painting: segments, pointer Top, tube and mercury.
#include "Art.h"
#include "Painters.h"
#include "PixelHelpers.h"

#include <gtest/gtest.h>

using namespace velmon;
using pixels::at;
using pixels::rgb;

namespace {

QImage freshGauge() { return art::image(art::Art::GaugeCpu).copy(); }

// Columns of the segments that the tube never covers.
constexpr int kLeftCol = 30, kRightCol = 79;

void expectRows(const QImage& g, int from, int to, QRgb colour, const char* what) {
    for (int y = from; y <= to; ++y)
        for (int x : {29, kLeftCol, 40, 69, kRightCol, 80})
            EXPECT_EQ(at(g, x, y), colour) << what << " row " << y << " col " << x << " got " << rgb(at(g, x, y));
}

struct SlotCase {
    int threshold;
    int pointerTop;
    // rows painted dark red (inclusive, one span from the top); the rest of the slots green
    int lastDarkRedRow;
};

void PrintTo(const SlotCase& c, std::ostream* os) { *os << "threshold " << c.threshold; }

}  // namespace

class GaugeSlots : public ::testing::TestWithParam<SlotCase> {};

TEST_P(GaugeSlots, DarkRedAtAndAboveTheThreshold) {
    const SlotCase c = GetParam();
    QImage g = freshGauge();
    const QImage background = g.copy();
    EXPECT_EQ(paint::drawTemperatureGauge(g, 40, 60, c.threshold), c.pointerTop);
    for (int slot = 0; slot < 10; ++slot) {
        const int top = 6 + 12 * slot;
        for (int y = top; y <= top + 10; ++y)
            expectRows(g, y, y, y <= c.lastDarkRedRow ? paint::kDarkRed : paint::kGreen, "slot");
        // the blank row under each slot keeps the background
        if (slot < 9) {
            EXPECT_EQ(at(g, kLeftCol, top + 11), at(background, kLeftCol, top + 11)) << slot;
        }
    }
    // outside the scale columns nothing changes
    for (int y = 6; y <= 125; ++y) {
        EXPECT_EQ(at(g, 28, y), at(background, 28, y)) << y;
        EXPECT_EQ(at(g, 81, y), at(background, 81, y)) << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Thresholds, GaugeSlots,
                         ::testing::Values(SlotCase{90, -2, 8},     // top slot rows 6 … 8 dark red
                                           SlotCase{41, 114, 125},  // all ten slots dark red
                                           SlotCase{80, 22, 32},    // slots 0, 1 and rows 30 … 32
                                           SlotCase{86, 6, 16}));   // D = 4, r = 4: slot 0 wholly dark red

TEST(GaugeMercury, BelowTheBaseOnlyTheFootRow) {
    QImage g = freshGauge();
    paint::drawTemperatureGauge(g, 40, 39, 80);
    const QImage stick = art::image(art::Art::Stick);
    const QImage shape = art::image(art::Art::StickSilhouette);
    int tube = 0;
    for (int x = 52; x <= 58; ++x) {
        EXPECT_EQ(at(g, x, 125), paint::kRed) << x;
        // above it the tube shows as drawn
        for (int y = 0; y <= 124; ++y) {
            if (at(shape, x - 41, y + 1) != paint::kWhite) continue;
            ++tube;
            EXPECT_EQ(at(g, x, y), at(stick, x - 41, y + 1)) << x << "," << y;
        }
    }
    EXPECT_GT(tube, 7 * 110);
    EXPECT_NE(at(g, 55, 124), paint::kRed);
}

TEST(GaugeMercury, TenAboveTheBaseReachesSlotEight) {
    QImage g = freshGauge();
    paint::drawTemperatureGauge(g, 10, 20, 50);
    for (int x = 52; x <= 58; ++x) {
        for (int y = 102; y <= 125; ++y) EXPECT_EQ(at(g, x, y), paint::kRed) << x << "," << y;
        EXPECT_NE(at(g, x, 101), paint::kRed) << x;
    }
    // a lower reading afterwards shows the tube again above its top
    paint::drawTemperatureGauge(g, 10, 15, 50);
    EXPECT_NE(at(g, 55, 110), paint::kRed);
    EXPECT_EQ(at(g, 55, 114), paint::kRed);
}

TEST(GaugeTube, TubeOverTheSegmentsAndNothingElse) {
    QImage g = freshGauge();
    paint::drawTemperatureGauge(g, 40, 30, 65);
    const QImage stick = art::image(art::Art::Stick);
    const QImage shape = art::image(art::Art::StickSilhouette);
    int inside = 0;
    for (int sy = 0; sy < 150; ++sy)
        for (int sx = 0; sx < 28; ++sx) {
            const int x = 41 + sx, y = sy - 1;
            if (y < 0 || (x >= 52 && x <= 58 && y == 125)) continue;  // off the picture; mercury
            if (at(shape, sx, sy) == paint::kWhite) {
                ++inside;
                EXPECT_EQ(at(g, x, y), at(stick, sx, sy)) << x << "," << y;
            } else if (y >= 6 && y <= 125 && (y - 6) % 12 <= 10) {
                // around the tube the segments stay as painted
                EXPECT_TRUE(at(g, x, y) == paint::kDarkRed || at(g, x, y) == paint::kGreen) << x << "," << y;
            }
        }
    EXPECT_GT(inside, 1000);
}

TEST(GaugeTube, ConvertsOtherFormatsForTheBitwiseCopies) {
    QImage g = freshGauge().convertToFormat(QImage::Format_ARGB32);
    paint::drawTemperatureGauge(g, 40, 50, 80);
    EXPECT_EQ(g.format(), QImage::Format_RGB32);
    EXPECT_EQ(at(g, kLeftCol, 6), paint::kDarkRed);
    EXPECT_EQ(at(g, 55, 110), paint::kRed);
}
