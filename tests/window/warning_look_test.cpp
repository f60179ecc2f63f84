// What a user sees at a glance: a channel in warning is marked in red on its
// page and its Summary row in both phases of the blinking; the tray's warning
// image differs from the normal one at every tray size; an absent channel has
// no warning glyph or empty box; the page on show has its button held down;
// no reading or threshold text leaves its field at 96 or 120 dpi.
#include "MainWindow.h"
#include "Recorder.h"

#include "Art.h"
#include "Texts.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <cmath>

namespace velmon {
namespace {

using window::MainWindow;
using SC = SensorChannel;

QImage shot(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

int countIn(const QImage& image, const QRegion& region, const std::function<bool(QRgb)>& match) {
    int n = 0;
    for (const QRect& r : region) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (image.rect().contains(x, y) && match(image.pixel(x, y))) ++n;
            }
        }
    }
    return n;
}

bool pureRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }

class WarningLook : public ::testing::Test {
protected:
    QWidget* ctl(Ctl c, int i) { return window.control({c, i}); }
    test::RecordingMover mover;
    MainWindow window{&mover};
};

struct Marked {
    SC channel;
    Page page;
    ControlRef pageLabel;
};

// The frame stands where the blinking cannot take it: on in both phases, off
// when the flag is cleared.
TEST_F(WarningLook, AlarmedChannelIsFramedInBothBlinkPhases) {
    window.drawFanDial(0, 2800, 1000);
    window.drawTemperatureGauge(1, 70, 50, 10);
    window.drawVoltageBar(5, -14, -10.3F, -13.7F, -9.0F);
    const Marked cases[] = {{SC::CpuFan, Page::Fan, {Ctl::FanSpeedLabel, 0}},
                            {SC::MbTemp, Page::Temp, {Ctl::TempLabel, 1}},
                            {SC::In5, Page::Volt, {Ctl::VoltLabel, 5}}};
    for (const Marked& c : cases) {
        const int p = static_cast<int>(c.page);
        window.setVisible({Ctl::PagePanel, p}, true);
        QWidget* page = ctl(Ctl::PagePanel, p);
        QWidget* mark = window.alarmMark(c.channel);
        ASSERT_NE(mark, nullptr);
        const QRect outer(mark->mapTo(page, QPoint(0, 0)), mark->size());
        const QRegion ring = QRegion(outer) - QRegion(outer.adjusted(3, 3, -3, -3));
        const int ringPixels = countIn(shot(page), ring, [](QRgb) { return true; });
        const int before = countIn(shot(page), ring, pureRed);
        window.setAlarmMark(c.channel, true);
        for (int phase = 0; phase < 2; ++phase) {
            window.setVisible(c.pageLabel, phase == 0 ? false : true);  // the blink
            EXPECT_GE(countIn(shot(page), ring, pureRed), ringPixels * 9 / 10)
                << static_cast<int>(c.channel) << " phase " << phase;
        }
        window.setAlarmMark(c.channel, false);
        EXPECT_EQ(countIn(shot(page), ring, pureRed), before) << static_cast<int>(c.channel);
        window.setVisible({Ctl::PagePanel, p}, false);
    }
}

// The Summary value of a channel in warning turns red when it blinks off,
// never blank, and a lamp on its row stays lit.
TEST_F(WarningLook, SummaryValueBlinksRedNotBlank) {
    window.setVisible({Ctl::PagePanel, 3}, true);
    QWidget* page = ctl(Ctl::PagePanel, 3);
    window.setText({Ctl::FanSummaryValue, 1}, "1240");
    window.setText({Ctl::VoltSummaryValue, 4}, "13.9");
    for (ControlRef value : {ControlRef{Ctl::FanSummaryValue, 1}, ControlRef{Ctl::VoltSummaryValue, 4}}) {
        QWidget* label = ctl(value.ctl, value.index);
        const QRect row(QPoint(label->parentWidget()->mapTo(page, QPoint(0, label->y()))),
                        QSize(label->parentWidget()->width(), label->height()));
        const QRect valueArea(label->mapTo(page, QPoint(0, 0)), label->size());
        const SC channel = value.ctl == Ctl::FanSummaryValue ? SC::PowerFan : SC::In4;
        EXPECT_EQ(countIn(shot(page), row, pureRed), 0);
        window.setAlarmMark(channel, true);
        EXPECT_TRUE(window.summaryAlarmMarkOn(channel));
        window.setVisible(value, false);
        EXPECT_GT(countIn(shot(page), valueArea, pureRed), 5) << "blank instead of red";
        const int lampOff = countIn(shot(page), QRegion(row) - valueArea, pureRed);
        window.setVisible(value, true);
        EXPECT_GT(countIn(shot(page), valueArea, [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80; }), 5);
        const int lampOn = countIn(shot(page), QRegion(row) - valueArea, pureRed);
        EXPECT_GT(lampOff, 30);
        EXPECT_EQ(lampOn, lampOff);
        window.setAlarmMark(channel, false);
        EXPECT_EQ(countIn(shot(page), row, pureRed), 0);
    }
}

// Scaled down as the tray shows it, the warning image still differs from the
// normal one in a large share of its pixels, not in a dot.
TEST(TrayImages, WarningDiffersPlainlyAtEveryTraySize) {
    const QImage normal = art::image(art::Art::TrayNormal), alert = art::image(art::Art::TrayAlert);
    for (int size : {16, 22, 32}) {
        const QImage n = normal.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
        const QImage a = alert.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
        int differ = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb p = n.pixel(x, y), q = a.pixel(x, y);
                const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q))});
                if (d > 80) ++differ;
            }
        }
        EXPECT_GT(differ, size * size * 35 / 100) << size << " px: " << differ;
    }
}

// The bar and gauge feet carry warning glyphs (amber triangles, red arrows)
// and dark threshold boxes; none of them belongs to a channel that is not there.
bool amber(QRgb c) { return qRed(c) > 200 && qGreen(c) > 150 && qBlue(c) < 90; }
bool arrowRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90; }
bool boxBlack(QRgb c) { return qRed(c) < 0x10 && qGreen(c) < 0x10 && qBlue(c) < 0x10; }

TEST_F(WarningLook, AbsentChannelsShowNoWarningGlyphOrEmptyBox) {
    ChannelPresence presence;
    presence.flags[static_cast<std::size_t>(SC::MbTemp)] = false;
    presence.flags[static_cast<std::size_t>(SC::In0)] = false;
    presence.flags[static_cast<std::size_t>(SC::In6)] = false;
    window.showPresence(presence);
    struct Foot {
        Ctl picture;
        int index;
        QRect area;
        bool present;
    };
    const Foot feet[] = {
        {Ctl::TempGauge, 0, QRect(3, 178, 114, 21), true}, {Ctl::TempGauge, 1, QRect(3, 178, 114, 21), false},
        {Ctl::VoltBar, 3, QRect(3, 161, 67, 55), true},    {Ctl::VoltBar, 0, QRect(3, 161, 67, 55), false},
        {Ctl::VoltBar, 6, QRect(3, 161, 67, 55), false},
    };
    for (const Foot& f : feet) {
        QWidget* w = ctl(f.picture, f.index);
        if (f.picture == Ctl::TempGauge) window.setVisible({Ctl::TempWarnLabel, f.index}, false);
        else {
            window.setVisible({Ctl::VoltUpLabel, f.index}, false);
            window.setVisible({Ctl::VoltDnLabel, f.index}, false);
            window.setVisible({Ctl::VoltLabel, f.index}, false);
        }
        const QImage image = shot(w);
        const int glyphs = countIn(image, f.area, amber) + countIn(image, f.area, arrowRed);
        const int boxes = countIn(image, f.area, boxBlack);
        if (f.present) {
            EXPECT_GT(glyphs, 20) << "the check finds the glyphs at all";
            EXPECT_GT(boxes, 150) << "the check finds the boxes at all";
        } else {
            EXPECT_EQ(glyphs, 0) << static_cast<int>(f.picture) << " " << f.index;
            EXPECT_EQ(boxes, 0) << static_cast<int>(f.picture) << " " << f.index;
        }
    }
}

// The bars of the rails the machine has stand first, in their order; the
// Summary's rows close up over the ones it lacks.
TEST_F(WarningLook, PagesAreLaidOutForWhatTheMachineHas) {
    window.layOut({0, 1, 1}, 1.0);
    ChannelPresence presence;
    presence.flags[static_cast<std::size_t>(SC::In0)] = false;
    presence.flags[static_cast<std::size_t>(SC::In4)] = false;
    window.showPresence(presence);
    const std::pair<int, int> bars[] = {{2, 6}, {3, 80}, {5, 154}, {6, 228}, {0, 302}, {4, 376}};
    for (auto [input, left] : bars) EXPECT_EQ(ctl(Ctl::VoltBar, input)->x(), left) << input;
    // Power and Chassis take the first two fan rows; +3.3V, +5V, -12V, -5V the first four.
    EXPECT_EQ(window.summaryCaption(2)->y(), 20);
    EXPECT_EQ(window.summaryCaption(3)->y(), 43);
    EXPECT_EQ(ctl(Ctl::FanSummaryValue, 2)->y(), 43);
    const std::pair<int, int> rows[] = {{8, 26}, {9, 52}, {12, 78}, {10, 104}};
    for (auto [caption, top] : rows) EXPECT_EQ(window.summaryCaption(caption)->y(), top) << caption;
    EXPECT_EQ(ctl(Ctl::VoltSummaryValue, 6)->y(), 104);
}

TEST_F(WarningLook, ThePageOnShowHasItsButtonHeldDown) {
    EXPECT_EQ(window.activePage(), 0);
    const QRect tempButton(523, 99, 45, 45);
    const QImage pressed = art::image(art::buttonDown(1)).convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(shot(&window).copy(tempButton), pressed);
    window.setVisible({Ctl::PagePanel, 0}, false);
    window.setVisible({Ctl::PagePanel, 1}, true);
    EXPECT_EQ(window.activePage(), 1);
    EXPECT_EQ(shot(&window).copy(tempButton), pressed);
    // The frame's own picture keeps the rules of a click.
    EXPECT_EQ(window.layer().copy(tempButton).convertToFormat(QImage::Format_RGB32),
              art::image(art::Art::Panel).copy(tempButton).convertToFormat(QImage::Format_RGB32));
}

// Every reading a voltage bar can show and every threshold it can hold stays
// inside the dark field behind it, at 96 and at 120 dpi.
class VoltTexts : public ::testing::TestWithParam<double> {
protected:
    test::RecordingMover mover;
    MainWindow window{&mover};
};

TEST_P(VoltTexts, EveryReadingStaysInItsField) {
    window.layOut({1, 1, 1}, GetParam());
    const std::pair<Ctl, int> fields[] = {{Ctl::VoltUpLabel, 164}, {Ctl::VoltLabel, 181}, {Ctl::VoltDnLabel, 198}};
    for (int input : {0, 5}) {
        for (auto [label, top] : fields) window.setText({label, input}, "");
        QWidget* bar = window.control({Ctl::VoltBar, input});
        const QImage blank = shot(bar);
        for (auto [label, top] : fields) {
            const QRect interior(40, top, 24, 13);
            for (int tenths = -150; tenths <= 150; ++tenths) {
                const std::string text = voltText(static_cast<float>(tenths) / 10.0F);
                window.setText({label, input}, text);
                const QImage shown = shot(bar);
                int inside = 0, outside = 0;
                QPoint first;
                for (int y = 0; y < shown.height(); ++y) {
                    for (int x = 0; x < shown.width(); ++x) {
                        if (shown.pixel(x, y) == blank.pixel(x, y)) continue;
                        if (!interior.contains(x, y) && outside++ == 0) first = QPoint(x, y);
                        if (interior.contains(x, y)) ++inside;
                    }
                }
                ASSERT_EQ(outside, 0) << '"' << text << "\" leaves its field at " << first.x() << "," << first.y();
                ASSERT_GT(inside, 10) << text;
            }
            window.setText({label, input}, "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Densities, VoltTexts, ::testing::Values(1.0, 1.25));

// Every temperature pair a gauge shows stays inside its box, and no scale pair
// reaches the gauge's edge, at 96 and at 120 dpi.
class TempTexts : public ::testing::TestWithParam<double> {
protected:
    test::RecordingMover mover;
    MainWindow window{&mover};
};

TEST_P(TempTexts, EveryPairStaysInItsBoxAndOffTheEdge) {
    window.layOut({1, 1, 1}, GetParam());
    for (int gauge : {0, 1}) {
        QWidget* picture = window.control({Ctl::TempGauge, gauge});
        for (int base : {kGaugeBase[static_cast<std::size_t>(gauge)], 60, 70}) {
            window.drawTemperatureGauge(gauge, base + 5, base + 30, base);
            for (int k = 0; k < 6; ++k) {
                const QWidget* l = window.scaleLabel(gauge, k, false);
                const auto* label = dynamic_cast<const QLabel*>(l);
                const int right = l->x() + label->fontMetrics().horizontalAdvance(label->text());
                EXPECT_LE(right, picture->width() - 3) << label->text().toStdString() << " touches the edge";
            }
        }
        for (auto [ctlKind, top] : {std::pair{Ctl::TempLabel, 161}, std::pair{Ctl::TempWarnLabel, 181}}) {
            window.setText({ctlKind, gauge}, "");
            const QImage blank = shot(picture);
            const QRect interior(57, top, 58, 15);
            for (int celsius = -40; celsius <= 150; ++celsius) {
                const std::string text = temperaturePair(celsius);
                window.setText({ctlKind, gauge}, text);
                const QImage shown = shot(picture);
                int outside = 0;
                for (int y = 150; y < shown.height(); ++y) {
                    for (int x = 0; x < shown.width(); ++x) {
                        if (shown.pixel(x, y) != blank.pixel(x, y) && !interior.contains(x, y)) ++outside;
                    }
                }
                ASSERT_EQ(outside, 0) << '"' << text << "\" leaves its box";
            }
            window.setText({ctlKind, gauge}, "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Densities, TempTexts, ::testing::Values(1.0, 1.25));

}  // namespace
}  // namespace velmon
