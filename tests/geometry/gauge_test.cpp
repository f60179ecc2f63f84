// Thermometer gauge arithmetic: slot split, pointer, mercury and the drag.
#include "Geometry.h"

#include <gtest/gtest.h>

#include <set>

namespace geo = velmon::geometry;

TEST(GaugeSplit, ThresholdsAcrossTheScale) {
    struct Case { int base, threshold, D, n, r; };
    const Case cases[] = {
        {40, 90, 0, 0, 0},    // top of the CPU scale
        {40, 41, 49, 9, 4},   // bottom: all ten slots dark red
        {40, 80, 10, 2, 0},
        {40, 77, 13, 2, 3},
        {10, 50, 10, 2, 0},   // mainboard default
        {40, 93, -3, 0, -3},  // above the scale: truncation toward zero
        {40, 97, -7, -1, -2},
        {40, 30, 60, 12, 0},  // below the scale
    };
    for (const Case& c : cases) {
        const geo::GaugeSplit s = geo::gaugeSplit(c.base, c.threshold);
        EXPECT_EQ(s.D, c.D) << c.threshold;
        EXPECT_EQ(s.n, c.n) << c.threshold;
        EXPECT_EQ(s.r, c.r) << c.threshold;
    }
    EXPECT_EQ(geo::gaugeSlotTop(0), 6);
    EXPECT_EQ(geo::gaugeSlotTop(9), 114);
}

TEST(GaugePointerTop, CanonicalTops) {
    struct Case { int base, threshold, top; };
    const Case cases[] = {{40, 90, -2}, {40, 41, 114}, {40, 80, 22}, {10, 50, 22}, {10, 11, 114}, {40, 85, 10}};
    for (const Case& c : cases) EXPECT_EQ(geo::gaugePointerTop(c.base, c.threshold), c.top) << c.threshold;
}

TEST(MercuryRows, TopsLineUpWithTheSegments) {
    struct Case { int current, base; geo::RowSpan rows; };
    const Case cases[] = {
        {39, 40, {125, 125}},  // below the base: only the foot row
        {-5, 10, {125, 125}},
        {40, 40, {126, 125}},  // at the base: d = 0, q = -1
        {41, 40, {122, 125}},
        {45, 40, {114, 125}},  // top row of slot 9
        {50, 40, {102, 125}},  // top row of slot 8
        {54, 40, {92, 125}},
        {90, 40, {6, 125}},    // top row of slot 0
        {95, 40, {-6, 125}},   // past the top edge
    };
    for (const Case& c : cases) EXPECT_EQ(geo::mercuryRows(c.current, c.base), c.rows) << c.current;
    // Every multiple of five reaches the first row of its slot.
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(geo::mercuryRows(40 + 5 * k, 40).top, geo::gaugeSlotTop(10 - k)) << k;
}

TEST(TemperatureDrag, DeltasToThresholds) {
    struct Case { int delta, top, threshold; };
    const Case cases[] = {
        {-2, -2, 90}, {-1, -2, 90}, {0, 0, 89}, {6, 6, 86}, {7, 6, 86},
        {8, 10, 85}, {9, 10, 85}, {10, 10, 85}, {11, 10, 85},  // the gap snaps onto slot 1
        {12, 12, 84}, {20, 22, 80}, {114, 114, 41}, {115, 114, 41},
    };
    for (const Case& c : cases) {
        const auto d = geo::temperatureDrag(c.delta, 40);
        ASSERT_TRUE(d.has_value()) << c.delta;
        EXPECT_EQ(d->pointerTop, c.top) << c.delta;
        EXPECT_EQ(d->threshold, c.threshold) << c.delta;
    }
    // mainboard gauge: same moves, base 10
    EXPECT_EQ(geo::temperatureDrag(-2, 10)->threshold, 60);
    EXPECT_EQ(geo::temperatureDrag(115, 10)->threshold, 11);
}

TEST(TemperatureDrag, RefusedOutsideTheRange) {
    for (int delta : {-3, -50, 116, 500}) EXPECT_FALSE(geo::temperatureDrag(delta, 40).has_value()) << delta;
}

TEST(TemperatureDrag, ReachesEveryDegreeOnceInOrder) {
    std::set<int> reached;
    int last = 1000;
    for (int delta = -2; delta <= 115; ++delta) {
        const int t = geo::temperatureDrag(delta, 40)->threshold;
        EXPECT_LE(t, last) << delta;  // moving down never raises the threshold
        last = t;
        reached.insert(t);
    }
    EXPECT_EQ(reached.size(), 50u);
    EXPECT_EQ(*reached.begin(), 41);
    EXPECT_EQ(*reached.rbegin(), 90);
}
