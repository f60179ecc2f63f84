// Fan dial painting: red zone, ticks, needle and the partial repaints.
#include "Art.h"
#include "Geometry.h"
#include "Painters.h"
#include "PixelHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

using namespace velmon;
using pixels::at;
using pixels::rgb;

namespace {

constexpr double kCx = 67, kCy = 70;  // DialCentre of the 135 x 195 dial, R = 38

QImage dial(int threshold, int speed) {
    QImage img = art::image(art::Art::DialCpu).copy();
    paint::drawFanDial(img, threshold, speed);
    return img;
}

QRgb sample(const QImage& img, double degrees, double distance) {
    const QPoint p = pixels::polar(kCx, kCy, degrees, distance);
    return at(img, p.x(), p.y());
}

// Whether the colour is at the sampled pixel or next to it: one-pixel lines
// and rings land on either side of the exact point.
bool near(const QImage& img, double degrees, double distance, QRgb colour) {
    const QPoint p = pixels::polar(kCx, kCy, degrees, distance);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (at(img, p.x() + dx, p.y() + dy) == colour) return true;
    return false;
}

// Degrees away from the nearest tick (ticks every 15 degrees).
double offTick(double degrees) {
    const double m = std::fmod(degrees + 360.0, 15.0);
    return std::min(m, 15.0 - m);
}

double distanceTo(int x, int y) { return std::hypot(x - kCx, y - kCy); }

}  // namespace

TEST(FanDial, CentreMatchesTheGeometry) {
    const auto c = geometry::dialCentre(135, 195);
    EXPECT_EQ(c.cx, kCx);
    EXPECT_EQ(c.cy, kCy);
    EXPECT_EQ(c.R, 38);
}

TEST(FanDial, RedBandOfThreshold2800) {
    const QImage img = dial(2800, 5000);
    // along the band, away from the ticks that cross it
    for (double a = 158; a <= 239; a += 0.5) {
        if (offTick(a) < 3) continue;
        EXPECT_EQ(sample(img, a, 37), paint::kRed) << a << " deg";
        for (double d : {36.0, 38.0}) EXPECT_TRUE(near(img, a, d, paint::kRed)) << a << " deg at " << d;
    }
    // the 3000 RPM tick at 150 degrees stays white and outside the band
    for (double d = 36; d <= 44; d += 1) EXPECT_TRUE(near(img, 150, d, paint::kWhite)) << d;
    for (double a : {146.0, 148.0, 152.0, 154.0, 244.0, 250.0, 290.0, 20.0, 90.0})
        for (double d : {36.0, 37.0, 38.0}) EXPECT_FALSE(near(img, a, d, paint::kRed)) << a << " deg at " << d;
}

// Threshold 1 gives a band of 0.03 degrees: a speck of red at 240 degrees and
// nothing else, in a full drawing and after a zone repaint alike.
TEST(FanDial, ThresholdOneBandIsASpeckAt240) {
    QImage zone = dial(2800, 5000);
    paint::drawFanZone(zone, 1);
    const std::pair<const char*, QImage> drawings[] = {{"full drawing", dial(1, 5000)}, {"zone repaint", zone}};
    const QPoint at240 = pixels::polar(kCx, kCy, 240, 37);
    for (const auto& [name, img] : drawings) {
        int red = 0;
        for (int y = 0; y < 140; ++y)
            for (int x = 0; x < 135; ++x)
                if (at(img, x, y) == paint::kRed) {
                    ++red;
                    EXPECT_LE(std::hypot(x - at240.x(), y - at240.y()), 3.0) << name << " " << x << "," << y;
                }
        EXPECT_GE(red, 1) << name << ": no band at all";
    }
}

TEST(FanDial, Threshold9000RunsOverTheTop) {
    const QImage img = dial(9000, 0);
    for (double a : {334.0, 340.0, 350.0, 5.0, 40.0, 80.0, 100.0, 130.0, 170.0, 200.0, 235.0})
        EXPECT_EQ(sample(img, a, 37), paint::kRed) << a << " deg";
    for (double a : {245.0, 260.0, 290.0, 310.0, 325.0})
        for (double d : {36.0, 37.0, 38.0}) EXPECT_FALSE(near(img, a, d, paint::kRed)) << a << " deg at " << d;
}

TEST(FanDial, TicksEveryFifteenDegreesLongOnThousands) {
    const QImage img = dial(2800, 0);
    for (int a = -60; a <= 240; a += 15) {
        EXPECT_TRUE(near(img, a, 36, paint::kWhite)) << a;
        EXPECT_TRUE(near(img, a, 39, paint::kWhite)) << a;
        if (a % 30 == 0) {
            EXPECT_TRUE(near(img, a, 44, paint::kWhite)) << a;
        } else {
            EXPECT_FALSE(near(img, a, 44, paint::kWhite)) << a;
        }
    }
    // no tick in the gap at the bottom of the scale
    EXPECT_FALSE(near(img, 270, 39, paint::kWhite));
}

// Distance from a pixel's centre to the nearest scale tick, as step 7 draws them.
double tickDistance(int x, int y) {
    const double R = 38;
    double best = 1e9;
    for (int a = -60; a <= 240; a += 15) {
        const double rad = a * std::numbers::pi / 180.0, ux = std::cos(rad), uy = -std::sin(rad);
        const double outer = a % 30 == 0 ? R + 7 : R + 2;
        // project onto the tick's ray and clamp to its ends
        const double t = std::clamp((x - kCx) * ux + (y - kCy) * uy, R - 3, outer);
        best = std::min(best, std::hypot(x - (kCx + t * ux), y - (kCy + t * uy)));
    }
    return best;
}

// White pixels of the scale numbers: white in a number's text box, not on a tick.
struct ScaleNumbers {
    QImage img;
    std::array<std::vector<QPoint>, 11> glyphs;
    bool onTick(int x, int y) const { return at(img, x, y) == paint::kWhite && tickDistance(x, y) <= 0.9; }
};

ScaleNumbers scaleNumbers(const QImage& img) {
    ScaleNumbers s{img, {}};
    const auto anchors = geometry::scaleNumberAnchors(135, 195);
    for (int i = 0; i <= 10; ++i)
        for (int y = int(anchors[i].y); y < int(anchors[i].y) + 13; ++y)
            for (int x = int(anchors[i].x); x < int(anchors[i].x) + 22; ++x)
                if (at(img, x, y) == paint::kWhite && !s.onTick(x, y)) s.glyphs[i].emplace_back(x, y);
    return s;
}

TEST(FanDial, ScaleTextsAtTheirAnchors) {
    const ScaleNumbers s = scaleNumbers(dial(2800, 0));
    // Every number has its own white pixels; the ticks in its box do not count.
    for (int i = 0; i <= 10; ++i) EXPECT_GE(s.glyphs[i].size(), 8U) << "number " << i;
    int yellow = 0;
    for (int y = 101; y < 126; ++y)
        for (int x = 47; x < 82; ++x) yellow += at(s.img, x, y) == paint::kYellow;
    EXPECT_GT(yellow, 30);  // "RPM" and "x1000"
}

// Each number keeps at least two blank pixels between its ink and any tick,
// so the long thousand ticks point at their numbers without running into them.
TEST(FanDial, TicksStayClearOfTheNumbers) {
    const ScaleNumbers s = scaleNumbers(dial(2800, 0));
    constexpr int kClear = 2;
    for (int i = 0; i <= 10; ++i) {
        int nearest = 99;
        for (const QPoint& p : s.glyphs[i])
            for (int dy = -6; dy <= 6; ++dy)
                for (int dx = -6; dx <= 6; ++dx)
                    if (s.onTick(p.x() + dx, p.y() + dy)) nearest = std::min(nearest, std::max(std::abs(dx), std::abs(dy)) - 1);
        EXPECT_GE(nearest, kClear) << "number " << i << " has " << nearest << " blank pixels to a tick";
    }
}

struct NeedleCase {
    int speed;
    double degrees;
};

void PrintTo(const NeedleCase& c, std::ostream* os) { *os << c.speed << " RPM"; }

class FanNeedle : public ::testing::TestWithParam<NeedleCase> {};

TEST_P(FanNeedle, PointsAlongTheSpeed) {
    const NeedleCase c = GetParam();
    const QImage img = dial(2800, c.speed);
    for (double d = 7; d <= 25; d += 1) EXPECT_EQ(sample(img, c.degrees, d), paint::kYellow) << d;
    // the opposite side and both flanks well off the wedge stay black
    for (double d : {12.0, 20.0, 28.0}) {
        EXPECT_EQ(sample(img, c.degrees + 180, d), paint::kBlack) << d;
        EXPECT_EQ(sample(img, c.degrees + 45, d), paint::kBlack) << d;
        EXPECT_EQ(sample(img, c.degrees - 45, d), paint::kBlack) << d;
    }
    EXPECT_EQ(at(img, int(kCx), int(kCy)), paint::kGrey);  // hub
    EXPECT_EQ(sample(img, c.degrees + 90, 4), paint::kGrey);
}

INSTANTIATE_TEST_SUITE_P(Speeds, FanNeedle,
                         ::testing::Values(NeedleCase{0, 240}, NeedleCase{5000, 90}, NeedleCase{11000, 270},
                                           NeedleCase{2800, 156}, NeedleCase{10000, 300}));

TEST(FanNeedle, RepaintTouchesOnlyTheInnerDisc) {
    const QImage before = dial(2800, 0);
    QImage after = before.copy();
    paint::drawFanNeedle(after, 5000);
    for (int y = 0; y < 195; ++y)
        for (int x = 0; x < 135; ++x)
            if (distanceTo(x, y) > 34) {
                ASSERT_EQ(at(after, x, y), at(before, x, y)) << x << "," << y;
            }
    EXPECT_EQ(sample(after, 90, 20), paint::kYellow);
    EXPECT_EQ(sample(after, 240, 20), paint::kBlack);
}

TEST(FanZone, RepaintKeepsNeedleAndScaleNumbers) {
    QImage img = dial(2800, 3500);
    const QImage before = img.copy();
    paint::drawFanZone(img, 6000);
    int same = 0;
    for (int y = 0; y < 195; ++y)
        for (int x = 0; x < 135; ++x) {
            const double d = distanceTo(x, y);
            if (d <= 32 || d >= 46) {
                ASSERT_EQ(at(img, x, y), at(before, x, y)) << x << "," << y;
                ++same;
            }
        }
    EXPECT_GT(same, 20000);
    // the band moved: 6000 RPM starts at 61 degrees
    EXPECT_EQ(sample(img, 70, 37), paint::kRed);
    EXPECT_EQ(sample(img, 100, 37), paint::kRed);
    EXPECT_NE(sample(img, 55, 37), paint::kRed);
    EXPECT_NE(sample(before, 100, 37), paint::kRed);
}

TEST(FanZone, SameAsAFullDrawInsideTheRing) {
    QImage stepped = dial(2800, 4000);
    paint::drawFanZone(stepped, 1500);
    const QImage full = dial(1500, 4000);
    for (double a = -60; a <= 240; a += 1)
        for (double d : {35.0, 36.0, 37.0, 38.0, 39.0, 41.0})
            EXPECT_EQ(sample(stepped, a, d), sample(full, a, d)) << a << " deg at " << d;
}

TEST(CopyRect, PlainCopyOfARectangle) {
    QImage to(60, 40, QImage::Format_RGB32);
    to.fill(Qt::blue);
    QImage from = art::image(art::Art::Panel);
    paint::copyRect(to, QPoint(5, 1), from, QRect(518, 317, 58, 39));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = x >= 5 && x < 63 && y >= 1 && y < 40;
            if (inside) ASSERT_EQ(at(to, x, y), at(from, 518 + x - 5, 317 + y - 1)) << x << "," << y;
            else ASSERT_EQ(at(to, x, y), qRgb(0, 0, 255)) << x << "," << y;
        }
}
