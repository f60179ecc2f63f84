#include <gtest/gtest.h>

#include "Geometry.h"
#include "MonitorState.h"
#include "Texts.h"

namespace velmon {
namespace {

struct TempCase {
    int celsius;
    const char* summary;
    const char* pair;
};

TEST(Texts, TemperatureTextsTable) {
    const TempCase cases[] = {
        {45, "45C/113F", "45/113"}, {1, "1C/34F", "1/34"},     {0, "0C/32F", "0/32"},
        {37, "37C/99F", "37/99"},   {-5, "-5C/23F", "-5/23"},  {-1, "-1C/30F", "-1/30"},
        {40, "40C/104F", "40/104"}, {90, "90C/194F", "90/194"},
        // 3641 * 9 no longer fits 16 bits; the text must still be right.
        {3641, "3641C/6586F", "3641/6586"}, {32767, "32767C/59013F", "32767/59013"},
        {-32768, "-32768C/-58950F", "-32768/-58950"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(temperatureText(c.celsius), c.summary) << c.celsius;
        EXPECT_EQ(temperaturePair(c.celsius), c.pair) << c.celsius;
    }
}

TEST(Texts, FanTextIsPlainInteger) {
    EXPECT_EQ(fanText(2600), "2600");
    EXPECT_EQ(fanText(0), "0");
    EXPECT_EQ(fanText(-1), "-1");
}

TEST(Texts, VoltFormatTable) {
    const std::pair<float, const char*> cases[] = {
        {3.7F, "3.7"},   {-12.0F, "-12.0"}, {0.5F, "0.5"},   {13.0F, "13.0"},  {-12.1F, "-12.1"},
        {11.9F, "11.9"}, {0.0F, "0.0"},     {-0.0F, "0.0"},  {-0.04F, "0.0"},  {9.96F, "10.0"},
        {-9.96F, "-10.0"}, {3.35F, "3.4"},  {0.05F, "0.1"},  {-4.3F, "-4.3"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(voltText(v), text) << v;
}

TEST(Texts, TrimAtNull) {
    const char withNul[] = "ZV-6BX  \0garbage";
    EXPECT_EQ(trimAtNull(withNul, sizeof withNul), "ZV-6BX  ");  // blanks kept
    const char first[] = "\0abc";
    EXPECT_EQ(trimAtNull(first, sizeof first), "");
    // No NUL among the first 80: the 80 characters, never more.
    std::string full(120, 'x');
    EXPECT_EQ(trimAtNull(full.data(), full.size()).size(), 80U);
    EXPECT_EQ(trimAtNull(full.data(), 5), "xxxxx");
    EXPECT_EQ(trimAtNull(nullptr, 10), "");
}

struct MvCase {
    std::int16_t millivolts;
    float rounded;
};

TEST(Texts, MillivoltRounding) {
    // Midpoint between -12.2 and -12.1 is -12150 mV.
    const MvCase cases[] = {
        {3349, 3.3F}, {3350, 3.3F}, {3351, 3.4F}, {-12149, -12.1F}, {-12151, -12.2F},
        {1250, 1.3F}, {5500, 5.5F}, {0, 0.0F},    {-5000, -5.0F},
    };
    for (const auto& c : cases) {
        const float r = geometry::roundVolts(geometry::voltsFromMillivolts(c.millivolts));
        EXPECT_FLOAT_EQ(r, c.rounded) << c.millivolts;
        EXPECT_EQ(voltText(r), voltText(c.rounded)) << c.millivolts;
    }
}

TEST(Texts, TrayTipFieldIsTextNulBlanks) {
    TrayIconRecord r;
    setTrayTip(r, kTipWarning);
    const std::string tip(kTipWarning);
    EXPECT_EQ(std::string(r.szTip.data(), tip.size()), tip);
    EXPECT_EQ(r.szTip[tip.size()], '\0');
    for (std::size_t i = tip.size() + 1; i < r.szTip.size(); ++i) EXPECT_EQ(r.szTip[i], ' ') << i;
    EXPECT_EQ(trayTip(r), tip);
    setTrayTip(r, std::string(100, 'a'));
    EXPECT_EQ(r.szTip[63], '\0');
    EXPECT_EQ(trayTip(r).size(), 63U);
}

}  // namespace
}  // namespace velmon
