// Voltage bar arithmetic: steps, slots, marker Tops, the drags and the
// rounding of readings.
#include "Geometry.h"

#include <gtest/gtest.h>

namespace geo = velmon::geometry;

TEST(BarStep, VoltsToSlotAndStep) {
    struct Case { int base; float volts; int t, slot, step, markerTop; };
    const Case cases[] = {
        {0, 4.0f, 0, 0, 0, 4},
        {0, 3.7f, 3, 0, 3, 13},
        {0, 3.5f, 5, 1, 0, 22},
        {0, 3.4f, 6, 1, 1, 25},
        {0, 3.2f, 8, 1, 3, 31},
        {0, 1.5f, 25, 5, 0, 94},
        {0, 0.1f, 39, 7, 4, 142},
        {10, 13.0f, 10, 2, 0, 40},
        {-14, -10.3f, 3, 0, 3, 13},   // -12 V bar, upper default
        {-14, -12.1f, 21, 4, 1, 79},
        {-14, -13.7f, 37, 7, 2, 136},
        {-7, -4.3f, 13, 2, 3, 49},
        {0, 4.3f, -3, 0, -3, -5},     // above the scale: same formulas
    };
    for (const Case& c : cases) {
        const geo::BarStep s = geo::barStep(c.base, c.volts);
        EXPECT_EQ(s.t, c.t) << c.volts;
        EXPECT_EQ(s.slot, c.slot) << c.volts;
        EXPECT_EQ(s.step, c.step) << c.volts;
        EXPECT_EQ(geo::barMarkerTop(s), c.markerTop) << c.volts;
    }
    EXPECT_EQ(geo::barStepTop(geo::barStep(0, 3.5f)), 23);  // a reading of 3.5 ticks rows 23 … 25
}

struct DragCase {
    int delta;
    int markerTop;
    float volts;
};

TEST(VoltageUpperDrag, AcceptedMovesSnapOntoSteps) {
    const DragCase cases[] = {
        {4, 4, 4.0f},     // the top of the scale
        {5, 4, 4.0f}, {6, 4, 4.0f}, {7, 7, 3.9f}, {13, 13, 3.7f}, {16, 16, 3.6f},
        {17, 22, 3.5f},   // end of the slot: onto the next one
        {18, 22, 3.5f}, {21, 22, 3.5f}, {22, 22, 3.5f}, {34, 34, 3.1f},
        {35, 40, 3.0f}, {39, 40, 3.0f}, {85, 85, 1.7f},
    };
    for (const DragCase& c : cases) {
        const auto d = geo::voltageUpperDrag(c.delta, 0, 1.5f);
        ASSERT_TRUE(d.has_value()) << c.delta;
        EXPECT_EQ(d->markerTop, c.markerTop) << c.delta;
        EXPECT_FLOAT_EQ(d->threshold, c.volts) << c.delta;
    }
    // the -12 V bar counts from its own top
    EXPECT_FLOAT_EQ(geo::voltageUpperDrag(13, -14, -13.7f)->threshold, -10.3f);
}

TEST(VoltageUpperDrag, LimitsFromTheLowerThreshold) {
    // lower 1.5: first row of its step 95, limit 86
    EXPECT_FALSE(geo::voltageUpperDrag(3, 0, 1.5f).has_value());
    EXPECT_FALSE(geo::voltageUpperDrag(86, 0, 1.5f).has_value());
    EXPECT_FALSE(geo::voltageUpperDrag(-10, 0, 1.5f).has_value());
    EXPECT_TRUE(geo::voltageUpperDrag(85, 0, 1.5f).has_value());
    // lower at step 3 of its slot: the upper stops 0.3 V above it
    float lowest = 10;
    for (int delta = 0; delta < 200; ++delta)
        if (auto d = geo::voltageUpperDrag(delta, 0, 3.2f)) lowest = std::min(lowest, d->threshold);
    EXPECT_FLOAT_EQ(lowest, 3.5f);
    lowest = 10;
    for (int delta = 0; delta < 200; ++delta)
        if (auto d = geo::voltageUpperDrag(delta, 0, 1.5f)) lowest = std::min(lowest, d->threshold);
    EXPECT_FLOAT_EQ(lowest, 1.7f);
}

TEST(VoltageLowerDrag, LimitsFromTheUpperThreshold) {
    // highest lower threshold reachable for an upper threshold at each step of slot 1
    struct Case { float upper; float highestLower; };
    const Case cases[] = {{3.5f, 3.3f}, {3.4f, 3.2f}, {3.3f, 3.1f}, {3.2f, 3.0f}, {3.1f, 2.9f}, {3.7f, 3.5f}};
    for (const Case& c : cases) {
        float highest = -10, lowest = 10;
        for (int delta = -20; delta < 200; ++delta)
            if (auto d = geo::voltageLowerDrag(delta, 0, c.upper)) {
                highest = std::max(highest, d->threshold);
                lowest = std::min(lowest, d->threshold);
            }
        EXPECT_FLOAT_EQ(highest, c.highestLower) << c.upper;
        EXPECT_FLOAT_EQ(lowest, 0.1f) << c.upper;
    }
    // VCORE upper 3.7: limit 20
    EXPECT_FALSE(geo::voltageLowerDrag(20, 0, 3.7f).has_value());
    ASSERT_TRUE(geo::voltageLowerDrag(21, 0, 3.7f).has_value());
    EXPECT_FLOAT_EQ(geo::voltageLowerDrag(21, 0, 3.7f)->threshold, 3.5f);
    EXPECT_EQ(geo::voltageLowerDrag(21, 0, 3.7f)->markerTop, 22);
    // the foot of the scale
    ASSERT_TRUE(geo::voltageLowerDrag(142, 0, 3.7f).has_value());
    EXPECT_FLOAT_EQ(geo::voltageLowerDrag(142, 0, 3.7f)->threshold, 0.1f);
    EXPECT_EQ(geo::voltageLowerDrag(142, 0, 3.7f)->markerTop, 142);
    EXPECT_FALSE(geo::voltageLowerDrag(143, 0, 3.7f).has_value());
    EXPECT_FLOAT_EQ(geo::voltageLowerDrag(142, 10, 13.0f)->threshold, 10.1f);
    EXPECT_FLOAT_EQ(geo::voltageLowerDrag(142, -14, -10.3f)->threshold, -13.9f);
}

TEST(VoltageDrag, EveryStepReachableAndMarkerOnIt) {
    // each accepted Top is the marker Top of the threshold it gives
    for (int delta = 4; delta < 143; ++delta) {
        const auto d = geo::voltageLowerDrag(delta, 0, 4.0f);
        if (!d) continue;
        EXPECT_EQ(geo::barMarkerTop(geo::barStep(0, d->threshold)), d->markerTop) << delta;
    }
    int distinct = 0;
    float last = 100;
    for (int delta = 4; delta < 143; ++delta) {
        const auto d = geo::voltageUpperDrag(delta, 0, -1.0f);
        ASSERT_TRUE(d.has_value()) << delta;
        EXPECT_LE(d->threshold, last);
        if (d->threshold < last) ++distinct;
        last = d->threshold;
    }
    EXPECT_EQ(distinct, 40);  // 4.0 down to 0.1
}

TEST(Volts, MillivoltsAndRounding) {
    struct Case { std::int16_t mv; float rounded; };
    const Case cases[] = {
        {3349, 3.3f}, {3351, 3.4f},
        {3350, 3.3f},     // just below 3.35 in single precision
        {1250, 1.3f},
        {-12149, -12.1f}, // 1 mV above the midpoint of -12.2 and -12.1
        {-12151, -12.2f},
        {0, 0.0f}, {12000, 12.0f}, {-5000, -5.0f}, {4999, 5.0f}, {-4951, -5.0f}, {-4949, -4.9f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(geo::roundVolts(geo::voltsFromMillivolts(c.mv)), c.rounded) << c.mv;
    EXPECT_FLOAT_EQ(geo::voltsFromMillivolts(3350), 3350.0f / 1000.0f);
}
