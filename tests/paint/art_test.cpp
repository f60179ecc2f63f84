// The artwork: sizes, formats and the pictures that must match each other.
#include "Art.h"
#include "Painters.h"
#include "PixelHelpers.h"

#include <QSet>

#include <gtest/gtest.h>

#include <array>

using namespace velmon;
using art::Art;
using pixels::at;

TEST(Art, EveryPictureAtItsSizeAndRendered) {
    const struct { Art id; int w, h; bool opaque; } cases[] = {
        {Art::Panel, 600, 381, true},        {Art::ButtonFanDown, 45, 45, true},   {Art::ButtonTempDown, 45, 45, true},
        {Art::ButtonVoltDown, 45, 45, true}, {Art::ButtonSummaryDown, 45, 45, true}, {Art::OvalCloseDown, 58, 39, true},
        {Art::OvalSettingDown, 58, 39, true}, {Art::OvalSystemDown, 58, 39, true}, {Art::OvalMask, 58, 39, true},
        {Art::PageTexture, 458, 253, true},  {Art::DialCpu, 135, 195, true},      {Art::DialPower, 135, 195, true},
        {Art::DialChassis, 135, 195, true},  {Art::GaugeCpu, 120, 204, true},     {Art::GaugeMainboard, 120, 204, true},
        {Art::Stick, 28, 150, true},         {Art::StickSilhouette, 28, 150, true}, {Art::Pointer, 9, 17, false},
        {Art::DegreeLegend, 45, 17, false},  {Art::BarVcore, 73, 220, true},      {Art::BarPlus3V3, 73, 220, true},
        {Art::BarPlus5V, 73, 220, true},     {Art::BarPlus12V, 73, 220, true},    {Art::BarMinus12V, 73, 220, true},
        {Art::BarMinus5V, 73, 220, true},    {Art::Marker, 10, 5, false},         {Art::VoltTitle, 454, 32, true},
        {Art::TrayNormal, 32, 32, false},    {Art::TrayAlert, 32, 32, false},     {Art::TrayOff, 32, 32, false},
        {Art::LogoBanner, 490, 191, true},   {Art::AppIcon, 32, 32, false},
    };
    for (const auto& c : cases) {
        const QImage img = art::image(c.id);
        const int id = static_cast<int>(c.id);
        ASSERT_EQ(img.size(), QSize(c.w, c.h)) << id;
        EXPECT_EQ(art::size(c.id), QSize(c.w, c.h)) << id;
        EXPECT_EQ(img.format(), c.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied) << id;
        // a failed rendering comes back magenta; a real picture has several colours
        int magenta = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                magenta += img.pixel(x, y) == qRgb(255, 0, 255);
                colours.insert(img.pixel(x, y));
            }
        EXPECT_LT(magenta, img.width() * img.height() / 2) << id;
        EXPECT_GE(colours.size(), 2) << id;
    }
}

TEST(Art, OvalMaskFollowsTheOvalOfTheButtons) {
    const QImage mask = art::image(Art::OvalMask);
    const QImage panel = art::image(Art::Panel);
    EXPECT_EQ(at(mask, 29, 19), paint::kWhite);
    for (QPoint corner : {QPoint(0, 0), QPoint(57, 0), QPoint(0, 38), QPoint(57, 38), QPoint(3, 3)})
        EXPECT_EQ(at(mask, corner.x(), corner.y()), paint::kBlack);
    int white = 0;
    for (int item = 0; item < 3; ++item) {
        const int left = std::array{518, 446, 372}[item];
        const QImage down = art::image(art::ovalDown(item));
        const auto nextToInside = [&](int x, int y) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < 58 && ny < 39 && at(mask, nx, ny) == paint::kWhite) return true;
                }
            return false;
        };
        int differingInside = 0;
        for (int y = 0; y < 39; ++y)
            for (int x = 0; x < 58; ++x) {
                const QRgb m = at(mask, x, y);
                ASSERT_TRUE(m == paint::kWhite || m == paint::kBlack);
                const bool differs = at(down, x, y) != at(panel, left + x, 317 + y);
                if (m == paint::kWhite) differingInside += differs;
                // outside, only the soft edge of the outline may differ
                else if (differs) {
                    EXPECT_TRUE(nextToInside(x, y)) << item << ": " << x << "," << y;
                }
                if (item == 0) white += m == paint::kWhite;
            }
        // the pressed oval changes (nearly) all of the mask's inside
        EXPECT_GT(differingInside, white * 8 / 10) << item;
    }
    EXPECT_GT(white, 58 * 39 * 6 / 10);  // an ellipse fills pi/4 of its box
    EXPECT_LT(white, 58 * 39 * 9 / 10);
}

TEST(Art, PressedButtonsAreCutFromThePanelPlace) {
    // the border row of a pressed key differs from the raised one, the rest of the panel is untouched
    const QImage panel = art::image(Art::Panel);
    const int tops[] = {31, 99, 165, 233};
    for (int i = 0; i < 4; ++i) {
        const QImage down = art::image(art::buttonDown(i));
        int differs = 0;
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 45; ++x) differs += at(down, x, y) != at(panel, 523 + x, tops[i] + y);
        EXPECT_GT(differs, 45 * 45 / 2) << i;
    }
}

TEST(Art, SilhouetteCoversTheTube) {
    const QImage stick = art::image(Art::Stick);
    const QImage shape = art::image(Art::StickSilhouette);
    int inside = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 28; ++x) {
            const QRgb s = at(shape, x, y);
            ASSERT_TRUE(s == paint::kWhite || s == paint::kBlack) << x << "," << y;
            if (s == paint::kWhite) {
                ++inside;
                continue;
            }
            ASSERT_EQ(at(stick, x, y), paint::kWhite) << "tube pixel outside the silhouette at " << x << "," << y;
        }
    EXPECT_GT(inside, 1000);
    EXPECT_EQ(at(shape, 14, 137), paint::kWhite);  // bulb
    EXPECT_GT(qRed(at(stick, 14, 137)), 200);       // and it is red
    EXPECT_LT(qGreen(at(stick, 14, 137)), 60);
    EXPECT_EQ(at(shape, 1, 20), paint::kBlack);
}

TEST(Art, PointerTipOnRowEight) {
    const QImage p = art::image(Art::Pointer);
    EXPECT_EQ(qAlpha(p.pixel(7, 8)), 255);
    EXPECT_GT(qRed(p.pixel(7, 8)), 200);
    EXPECT_EQ(qAlpha(p.pixel(8, 1)), 0);
    EXPECT_EQ(qAlpha(p.pixel(8, 15)), 0);
}

TEST(Art, TrayLampsAndGreys) {
    const QImage normal = art::image(Art::TrayNormal);
    const QImage alert = art::image(Art::TrayAlert);
    const QImage off = art::image(Art::TrayOff);
    const QRgb lampN = normal.pixel(17, 6), lampA = alert.pixel(17, 6);
    EXPECT_EQ(qRed(lampN), 255);
    EXPECT_EQ(qGreen(lampN), 255);
    EXPECT_EQ(qRed(lampA), 255);
    EXPECT_LT(qGreen(lampA), 64);
    int differs = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = off.pixel(x, y);
            ASSERT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)) << x << "," << y;
            EXPECT_EQ(qAlpha(c), qAlpha(normal.pixel(x, y)));
            differs += normal.pixel(x, y) != alert.pixel(x, y);
        }
    // The alert image is red in its case as well as its lamp, so that it
    // reads as a warning at tray size; the lamp alone was a dot.
    EXPECT_GT(differs, 32 * 32 / 4);
    const QRgb caseN = normal.pixel(3, 20), caseA = alert.pixel(3, 20);
    EXPECT_EQ(qRed(caseN), qGreen(caseN));
    EXPECT_GT(qRed(caseA), 180);
    EXPECT_LT(qGreen(caseA), 64);
}

TEST(Art, IndexLookupsFallBackToTheFirstItem) {
    EXPECT_EQ(art::voltageBar(1), Art::BarVcore);
    EXPECT_EQ(art::voltageBar(5), Art::BarMinus12V);
    EXPECT_EQ(art::voltageBar(7), Art::BarVcore);
    EXPECT_EQ(art::ovalDown(2), Art::OvalSystemDown);
    EXPECT_EQ(art::dialPlate(-1), Art::DialCpu);
    EXPECT_EQ(art::gauge(1), Art::GaugeMainboard);
    EXPECT_EQ(art::buttonDown(3), Art::ButtonSummaryDown);
}

// A picture someone still holds stays cached and shared; one that only the
// cache held is let go and comes back rendered anew, the same picture, not
// the holder's drawing.
TEST(Art, TrimLetsGoOfWhatNoOneHolds) {
    const QImage held = art::image(Art::Panel);
    QImage drawnInto = art::image(Art::DialCpu);
    const QImage plate = drawnInto.copy();
    drawnInto.fill(Qt::red);  // its own copy now, as a picture box's after a needle
    static_cast<void>(art::image(Art::Stick));
    ASSERT_TRUE(art::cached(Art::DialCpu));
    art::trim();

    EXPECT_TRUE(art::cached(Art::Panel));
    EXPECT_EQ(art::image(Art::Panel).constBits(), held.constBits()) << "a held picture was rendered again";
    EXPECT_FALSE(art::cached(Art::DialCpu));
    EXPECT_EQ(art::image(Art::DialCpu), plate);
    // The painters draw the tube pair at every change: it stays.
    EXPECT_TRUE(art::cached(Art::Stick));
}
