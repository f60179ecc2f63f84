#include "VoltagePage.h"

#include "Art.h"
#include "Painters.h"
#include "Texts.h"

namespace velmon::window {
namespace {

struct Input {
    const char* bar;
    const char* adjustUp;
    const char* adjustDn;
    const char* up;
    const char* value;
    const char* dn;
};

const std::array<Input, 7> kInputs{{
    {"VCORE", "Adjust VCORE Upper Warning Threshold", "Adjust VCORE Lower Warning Threshold",
     "VCORE Upper Warning Threshold", "Current VCORE Value", "VCORE Lower Warning Threshold"},
    {"VCORE", "Adjust VCORE Upper Warnning Value", "Adjust VCORE Lower Warnning Value",
     "VCORE Upper Warnning Value", "VCORE Value", "VCORE Lower Warnning Value"},
    {"+3.3V", "Adjust 3.3V Upper Warning Threshold", "Adjust 3.3V Lower Warning Threshold",
     "3.3V Upper Warning Threshold", "Current 3.3V Value", "3.3V Lower Warning Threshold"},
    {"+5V", "Adjust 5V Upper Warning Threshold", "Adjust 5V Lower Warning Threshold",
     "5V Upper Warning Threshold", "Current 5V Value", "5V Lower Warning Threshold"},
    {"+12V", "Adjust 12V Upper Warning Threshold", "Adjust 12V Lower Warning Threshold",
     "12V Upper Warning Threshold", "Current 12V Value", "12V Lower Warning Threshold"},
    {"-12V", "Adjust -12V Upper Warning Threshold", "Adjust -12V Lower Warning Threshold",
     "-12V Upper Warning Threshold", "Current -12V Value", "-12V Lower Warning Threshold"},
    {"-5V", "Adjust -5V Upper Warning Threshold", "Adjust -5V Lower Warning Threshold",
     "-5V Upper Warning Threshold", "Current -5V Value", "-5V Lower Warning Threshold"},
}};

// The rail's name where the machine does not measure it.
constexpr std::array<const char*, 7> kRailNames{"VCORE", "VCORE", "+3.3V", "+5V", "+12V", "-12V", "-5V"};

}  // namespace

VoltagePage::VoltagePage(PictureBox* panel, PageHooks& hooks, ControlTable& controls) {
    static const std::array<int, 7> lefts{6, -70, 80, 154, 228, 302, 376};
    static const std::array<int, 5> scaleTops{139, 104, 69, 33, -1};  // lbl0 … lbl4
    auto released = [&hooks](Qt::MouseButton, QPointF) {
        if (hooks.events) hooks.events->voltagePageReleased();
    };
    panel->onRelease = released;
    title_ = new PictureBox(panel, art::image(art::Art::VoltTitle));
    title_->move(4, -1);
    title_->setToolTip(QStringLiteral("Voltage Status"));
    title_->onRelease = released;
    for (std::size_t i = 0; i < 7; ++i) {
        const int input = static_cast<int>(i);
        const Input& c = kInputs[i];
        auto* bar = new PictureBox(panel, art::image(art::voltageBar(input)));
        bar->move(lefts[i], 31);
        if (i == 1) {
            bar->resize(65, 213);
            bar->hide();
        }
        bar->setToolTip(QString::fromLatin1(c.bar));
        // Merely passing over a bar re-evaluates its channel.
        bar->setMouseTracking(true);
        bar->onMove = [&hooks, input](Qt::MouseButton, QPointF pos) {
            if (hooks.events) hooks.events->voltageBarMoved(input, pos.y());
        };
        bar->onRelease = [&hooks](Qt::MouseButton, QPointF) {
            if (hooks.events) hooks.events->voltageBarReleased();
        };
        bars_[i] = bar;

        for (std::size_t k = 0; k < 5; ++k) {
            auto* l = new TextLabel(bar, 0xff00ffff, false);
            l->move(44, scaleTops[k]);
            scale_[i][k] = l;
        }
        up_[i] = new TextLabel(bar, paint::kRed, true);
        up_[i]->setBox(QRect(41, 165, 21, 13));
        up_[i]->setToolTip(QString::fromLatin1(c.up));
        reading_[i] = new TextLabel(bar, paint::kYellow, true);
        reading_[i]->setBox(QRect(41, 182, 21, 13));
        reading_[i]->setToolTip(QString::fromLatin1(c.value));
        dn_[i] = new TextLabel(bar, paint::kRed, true);
        dn_[i]->setBox(QRect(41, 199, 21, 13));
        dn_[i]->setToolTip(QString::fromLatin1(c.dn));
        // The dark fields of the bar art are 24 pixels wide inside.
        for (TextLabel* l : {up_[i], reading_[i], dn_[i]}) l->setFieldWidth(24);

        for (bool upper : {true, false}) {
            auto* marker = new PictureBox(bar, art::image(art::Art::Marker));
            marker->setAttribute(Qt::WA_TranslucentBackground);
            marker->move(13, 0);
            marker->setToolTip(QString::fromLatin1(upper ? c.adjustUp : c.adjustDn));
            marker->onPress = [&hooks, input, upper](Qt::MouseButton, QPointF pos) {
                if (hooks.events) hooks.events->voltageMarkerPressed(input, upper, pos.y());
                hooks.beginRoutedDrag();
            };
            marker->onRelease = [&hooks, upper](Qt::MouseButton, QPointF) {
                if (hooks.events) hooks.events->voltageMarkerReleased(upper);
            };
            (upper ? upMarkers_ : dnMarkers_)[i] = marker;
        }

        marks_[i] = new AlarmFrame(bar, bar->rect());

        controls.add(Ctl::VoltLabel, input, reading_[i]);
        controls.add(Ctl::VoltUpLabel, input, up_[i]);
        controls.add(Ctl::VoltDnLabel, input, dn_[i]);
        controls.add(Ctl::VoltBar, input, bar);
        controls.add(Ctl::VoltUpMarker, input, upMarkers_[i]);
        controls.add(Ctl::VoltDnMarker, input, dnMarkers_[i]);
    }
}

void VoltagePage::placeForDensity() {
    // Four pixels wider than at 96 dpi, so the texts stay centred on the
    // fields of the artwork, which do not move.
    for (std::size_t i = 0; i < 7; ++i) {
        up_[i]->setBox(QRect(39, 164, 25, 13));
        reading_[i]->setBox(QRect(39, 181, 25, 13));
        dn_[i]->setBox(QRect(39, 198, 25, 13));
        // An odd box centres a 24-pixel text half a pixel left, onto the field's rim.
        for (TextLabel* l : {up_[i], reading_[i], dn_[i]}) l->setFieldWidth(23);
    }
}

void VoltagePage::showPresence(const ChannelPresence& presence) {
    // The bars of the inputs the machine has stand first, in their order.
    static const std::array<int, 6> shownLefts{6, 80, 154, 228, 302, 376};
    std::size_t slot = 0;
    for (bool present : {true, false}) {
        for (int i : {0, 2, 3, 4, 5, 6}) {
            if (presence.volt(i) == present) bars_[static_cast<std::size_t>(i)]->move(shownLefts[slot++], 31);
        }
    }
    for (std::size_t i = 0; i < 7; ++i) {
        if (presence.volt(static_cast<int>(i))) {
            // Input 1 has no bar on the page; the others come back as built.
            if (i == 1) continue;
            upMarkers_[i]->show();
            dnMarkers_[i]->show();
            for (TextLabel* l : scale_[i]) l->show();
            up_[i]->show();
            dn_[i]->show();
            reading_[i]->setToolTip(QString::fromLatin1(kInputs[i].value));
            bars_[i]->setToolTip(QString::fromLatin1(kInputs[i].bar));
            continue;
        }
        paint::drawUnmeasuredVoltageBar(bars_[i]->image());
        bars_[i]->update();
        upMarkers_[i]->hide();
        dnMarkers_[i]->hide();
        for (TextLabel* l : scale_[i]) l->hide();
        up_[i]->hide();
        dn_[i]->hide();
        reading_[i]->setLabelText(QStringLiteral("\u2014"));
        reading_[i]->hide();
        // No warning glyphs or empty boxes: the foot says what the bar is.
        new PlateCover(bars_[i], QRect(4, 162, 65, 53), 161, 217,
                       QStringLiteral("%1\nnot measured").arg(QLatin1String(kRailNames[i])));
        const QString tip = QStringLiteral("%1 is not measured on this machine").arg(QLatin1String(kRailNames[i]));
        reading_[i]->setToolTip(tip);
        bars_[i]->setToolTip(tip);
    }
}

void VoltagePage::draw(int input, int base, float upper, float lower, float value) {
    const auto i = static_cast<std::size_t>(input);
    if (i >= 7) return;
    for (std::size_t k = 0; k < 5; ++k) scale_[i][k]->setLabelText(QString::number(base + static_cast<int>(k)));
    up_[i]->setLabelText(q(voltText(upper)));
    const paint::MarkerTops tops = paint::drawVoltageBar(bars_[i]->image(), base, upper, lower, value);
    upMarkers_[i]->move(upMarkers_[i]->x(), tops.upper);
    dn_[i]->setLabelText(q(voltText(lower)));
    dnMarkers_[i]->move(dnMarkers_[i]->x(), tops.lower);
    reading_[i]->setLabelText(q(voltText(value)));
    bars_[i]->update();
}

void VoltagePage::setAlarmMark(int input, bool on) {
    if (input >= 0 && input < 7) marks_[static_cast<std::size_t>(input)]->setVisible(on);
}

QWidget* VoltagePage::alarmMark(int input) const {
    return input >= 0 && input < 7 ? marks_[static_cast<std::size_t>(input)] : nullptr;
}

QWidget* VoltagePage::scaleLabel(int input, int k) const {
    const auto i = static_cast<std::size_t>(input);
    const auto j = static_cast<std::size_t>(k);
    return i < 7 && j < 5 ? scale_[i][j] : nullptr;
}

}  // namespace velmon::window
