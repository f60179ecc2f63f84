// Fan dial arithmetic: centre, angles, needle, layout and spin steps.
#include "Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace geo = velmon::geometry;

TEST(DialCentre, StandardDialAndOthers) {
    const geo::DialCentre std = geo::dialCentre(135, 195);
    EXPECT_EQ(std.cx, 67);
    EXPECT_EQ(std.cy, 70);
    EXPECT_EQ(std.R, 38);
    // 150 * 29 / 81 = 53.7 rounds up; 200 / 7 = 28.6 truncates.
    const geo::DialCentre other = geo::dialCentre(100, 150);
    EXPECT_EQ(other.cx, 50);
    EXPECT_EQ(other.cy, 54);
    EXPECT_EQ(other.R, 28);
    // 81 * 29 / 81 = 29 exactly; odd width truncates
    const geo::DialCentre odd = geo::dialCentre(7, 81);
    EXPECT_EQ(odd.cx, 3);
    EXPECT_EQ(odd.cy, 29);
    EXPECT_EQ(odd.R, 2);
}

TEST(DialAngle, SpeedsOnTheScale) {
    struct Case { int speed; double degrees; };
    const Case cases[] = {
        {0, 240}, {1, 239.97}, {1000, 210}, {3000, 150}, {5000, 90},
        {8000, 0}, {9000, 330}, {10000, 300}, {11000, 270},
    };
    for (const Case& c : cases) EXPECT_NEAR(geo::dialAngle(c.speed), c.degrees, 1e-9) << c.speed;
}

TEST(ZoneStartAngle, CorrectionsAboveTopAndBelowZero) {
    struct Case { int threshold; double degrees; };
    const Case cases[] = {
        {2800, 157},      // the band of the default CPU threshold
        {1, 239.97},      // 240.97 is above 240: one off
        {0, 240},         // 241 - 0 - 1
        {33, 239.01},     // 240.01: one off
        {34, 239.98},     // 239.98: left alone
        {8000, 1},
        {9000, 331},      // -29 + 360
        {9999, 301.03},
    };
    for (const Case& c : cases) EXPECT_NEAR(geo::zoneStartAngle(c.threshold), c.degrees, 1e-9) << c.threshold;
}

TEST(NeedleTip, PointsAlongTheSpeedAngle) {
    const geo::DialCentre c = geo::dialCentre(135, 195);
    struct Case { int speed; geo::Point tip; };
    const Case cases[] = {
        {0, {52, 96}},      // 240 degrees, down-left at the 0 mark
        {5000, {67, 40}},   // straight up
        {8000, {97, 70}},   // right
        {10000, {82, 96}},  // down-right at the 10 mark
        {11000, {67, 100}}, // straight down, past the scale
        {2000, {37, 70}},   // left
    };
    for (const Case& k : cases) EXPECT_EQ(geo::needleTip(c, k.speed), k.tip) << k.speed;
}

TEST(NeedleWedge, TenDegreesPointingBackAtTheHub) {
    struct Case { int speed; double start, end; };
    const Case cases[] = {
        {0, 55, 65},
        {5000, 265, 275},   // -95 + 360
        {10000, 115, 125},
        {2000, 355, 5},     // end wraps past 360
        {11000, 85, 95},
    };
    for (const Case& c : cases) {
        const geo::PieAngles w = geo::needleWedge(c.speed);
        EXPECT_NEAR(w.start, c.start, 1e-9) << c.speed;
        EXPECT_NEAR(w.end, c.end, 1e-9) << c.speed;
    }
}

TEST(DialLefts, ByFanCount) {
    using L = std::array<int, 3>;
    EXPECT_EQ(geo::dialLefts(1), (L{165, 0, 0}));
    EXPECT_EQ(geo::dialLefts(2), (L{52, 266, 0}));
    EXPECT_EQ(geo::dialLefts(3), (L{14, 161, 308}));
    EXPECT_EQ(geo::dialLefts(0), (L{0, 0, 0}));
    EXPECT_EQ(geo::dialLefts(4), (L{0, 0, 0}));
    EXPECT_EQ(geo::dialLefts(-1), (L{0, 0, 0}));
}

TEST(ScaleAnchors, StandardDialPoints) {
    const double expected[11][2] = {
        {33.0, 107.7}, {16.9, 87.3}, {9.0, 64.0},  {15.6, 38.6},  {31.5, 19.5}, {59.1, 9.8},
        {87.2, 19.5},  {102.7, 40.6}, {109.7, 64.0}, {103.4, 89.4}, {81.6, 105.6},
    };
    const auto a = geo::scaleNumberAnchors(135, 195);
    // the points above are given to one decimal
    for (int i = 0; i <= 10; ++i) {
        EXPECT_NEAR(a[i].x, expected[i][0], 0.06) << i;
        EXPECT_NEAR(a[i].y, expected[i][1], 0.06) << i;
    }
    // fractions, not rounded: 5 sits at W * 7 / 16 exactly
    EXPECT_DOUBLE_EQ(a[5].x, 135.0 * 7 / 16);
    EXPECT_NEAR(geo::rpmAnchor(135, 195).x, 52.0, 0.05);
    EXPECT_NEAR(geo::rpmAnchor(135, 195).y, 101.6, 0.05);
    EXPECT_NEAR(geo::x1000Anchor(135, 195).x, 47.8, 0.05);
    EXPECT_NEAR(geo::x1000Anchor(135, 195).y, 112.7, 0.05);
    // they scale with the picture
    EXPECT_DOUBLE_EQ(geo::scaleNumberAnchors(270, 390)[3].x, 2 * a[3].x);
}

TEST(FanThresholdStep, HundredsWithinOneTo9999) {
    struct Case { int from; bool up; int to; };
    const Case cases[] = {
        {2800, true, 2900}, {2800, false, 2700}, {9999, true, 9999}, {9950, true, 9999},
        {9999, false, 9899}, {100, false, 1}, {1, false, 1}, {1, true, 101}, {150, false, 50},
    };
    for (const Case& c : cases) EXPECT_EQ(geo::fanThresholdStep(c.from, c.up), c.to) << c.from << (c.up ? " up" : " down");
}
