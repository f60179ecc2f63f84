#include "TemperaturePage.h"

#include "Art.h"
#include "Painters.h"
#include "Texts.h"

namespace velmon::window {

TemperaturePage::TemperaturePage(PictureBox* panel, PageHooks& hooks, ControlTable& controls) {
    static const std::array<const char*, 2> names{"CPU", "Mainboard"};
    static const std::array<int, 6> scaleTops{118, 95, 71, 47, 22, -1};
    panel->onRelease = [&hooks](Qt::MouseButton, QPointF) {
        if (hooks.events) hooks.events->temperaturePageReleased();
    };
    for (std::size_t g = 0; g < 2; ++g) {
        const int index = static_cast<int>(g);
        const QString name = QString::fromLatin1(names[g]);
        auto* gauge = new PictureBox(panel, art::image(art::gauge(index)));
        gauge->move(g == 0 ? 79 : 257, 24);
        gauge->setToolTip(QStringLiteral("%1 Temperature").arg(name));
        // Moves without a button still reach a drag that a release elsewhere left running.
        gauge->setMouseTracking(true);
        gauge->onMove = [&hooks, index](Qt::MouseButton, QPointF pos) {
            if (hooks.events) hooks.events->temperatureGaugeMoved(index, pos.y());
        };
        gauge->onRelease = [&hooks, index](Qt::MouseButton, QPointF) {
            if (hooks.events) hooks.events->temperatureGaugeReleased(index);
        };
        gauges_[g] = gauge;
        marks_[g] = new AlarmFrame(panel, QRect(gauge->x() - 3, 21, 126, 210));

        auto* degree = new PictureBox(gauge, art::image(art::Art::DegreeLegend));
        degree->move(78, 134);
        degrees_[g] = degree;
        for (std::size_t k = 0; k < 6; ++k) {
            auto* l = new TextLabel(gauge, 0xff00ffff, false);
            l->move(85, scaleTops[k]);
            scale_[g][k] = l;
        }
        reading_[g] = new TextLabel(gauge, paint::kYellow, true);
        reading_[g]->setBox(QRect(58, 163, 56, 13));
        reading_[g]->setToolTip(QStringLiteral("Current %1 Temperature").arg(name));
        warn_[g] = new TextLabel(gauge, paint::kRed, true);
        warn_[g]->setBox(QRect(58, 181, 56, 13));
        warn_[g]->setToolTip(QStringLiteral("%1 Temperature Warning Threshold").arg(name));

        auto* pointer = new PictureBox(gauge, art::image(art::Art::Pointer));
        pointer->setAttribute(Qt::WA_TranslucentBackground);
        pointer->move(15, 0);
        pointer->setToolTip(QStringLiteral("Adjust %1 Temperature Warning Threshold").arg(name));
        pointer->onPress = [&hooks, index](Qt::MouseButton, QPointF pos) {
            if (hooks.events) hooks.events->temperaturePointerPressed(index, pos.y());
            hooks.beginRoutedDrag();
        };
        pointers_[g] = pointer;

        controls.add(Ctl::TempLabel, index, reading_[g]);
        controls.add(Ctl::TempWarnLabel, index, warn_[g]);
        controls.add(Ctl::TempGauge, index, gauge);
        controls.add(Ctl::TempPointer, index, pointer);
    }
}

void TemperaturePage::placeForDensity() {
    for (std::size_t g = 0; g < 2; ++g) {
        reading_[g]->setBox(QRect(52, 161, 56, 13));
        warn_[g]->setBox(QRect(52, 179, 56, 13));
        degrees_[g]->move(77, 135);
    }
}

void TemperaturePage::showPresence(const ChannelPresence& presence) {
    static const std::array<const char*, 2> names{"CPU", "Mainboard"};
    for (std::size_t g = 0; g < 2; ++g) {
        if (presence.temp(static_cast<int>(g))) {
            // A sensor chosen while running: the gauge as it was built.
            const QString name = QString::fromLatin1(names[g]);
            pointers_[g]->show();
            degrees_[g]->show();
            for (TextLabel* l : scale_[g]) l->show();
            warn_[g]->show();
            reading_[g]->setToolTip(QStringLiteral("Current %1 Temperature").arg(name));
            gauges_[g]->setToolTip(QStringLiteral("%1 Temperature").arg(name));
            continue;
        }
        pointers_[g]->hide();
        degrees_[g]->hide();
        for (TextLabel* l : scale_[g]) l->hide();
        warn_[g]->hide();
        reading_[g]->setLabelText(QStringLiteral("No sensor"));
        const QString tip = QString::fromLatin1(kNoTemperatureSensorTips[g]);
        reading_[g]->setToolTip(tip);
        gauges_[g]->setToolTip(tip);
        // The threshold row (warning glyph and box) means nothing here.
        new PlateCover(gauges_[g], QRect(5, 178, 110, 20), 157, 199);
    }
}

void TemperaturePage::setAlarmMark(int gauge, bool on) {
    if (gauge >= 0 && gauge < 2) marks_[static_cast<std::size_t>(gauge)]->setVisible(on);
}

QWidget* TemperaturePage::alarmMark(int gauge) const {
    return gauge >= 0 && gauge < 2 ? marks_[static_cast<std::size_t>(gauge)] : nullptr;
}

void TemperaturePage::draw(int gauge, int current, int threshold, int base) {
    const auto g = static_cast<std::size_t>(gauge);
    if (g >= 2) return;
    // A scale raised for a machine's default reaches three-digit pairs
    // ("100/212"): those are set smaller to stay inside the gauge. The
    // system's own wide pairs ("90/194") keep their size but close up their
    // letters, to keep clear of the gauge's edge.
    const int room = gauges_[g]->width() - scale_[g][0]->x() - 3;
    const bool raised = base != kGaugeBase[g];
    for (std::size_t k = 0; k < 6; ++k) {
        TextLabel* l = scale_[g][k];
        l->setFieldWidth(raised ? room : 0);
        QFont f = l->font();
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0);
        l->setFont(f);
        l->setLabelText(q(temperaturePair(base + 10 * static_cast<int>(k))));
        for (double tighten = -0.5; !raised && tighten >= -1.0 && l->fontMetrics().horizontalAdvance(l->text()) > room;
             tighten -= 0.5) {
            f.setLetterSpacing(QFont::AbsoluteSpacing, tighten);
            l->setFont(f);
            l->setLabelText(l->text());
        }
    }
    warn_[g]->setLabelText(q(temperaturePair(threshold)));
    const int top = paint::drawTemperatureGauge(gauges_[g]->image(), base, current, threshold);
    pointers_[g]->move(pointers_[g]->x(), top);
    reading_[g]->setLabelText(q(temperaturePair(current)));
    gauges_[g]->update();
}

QWidget* TemperaturePage::degreeLegend(int gauge) const {
    return gauge >= 0 && gauge < 2 ? degrees_[static_cast<std::size_t>(gauge)] : nullptr;
}

QWidget* TemperaturePage::scaleLabel(int gauge, int k) const {
    const auto g = static_cast<std::size_t>(gauge);
    const auto j = static_cast<std::size_t>(k);
    return g < 2 && j < 6 ? scale_[g][j] : nullptr;
}

}  // namespace velmon::window
