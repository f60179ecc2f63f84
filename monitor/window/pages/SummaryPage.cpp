#include "SummaryPage.h"

#include "Painters.h"

namespace velmon::window {
namespace {

// The caption (Label6 … Label12) of each voltage input.
constexpr std::array<int, 7> kVoltCaption{6, 7, 8, 9, 11, 12, 10};

}  // namespace

SummaryPage::SummaryPage(PictureBox* panel, ControlTable& controls) {
    auto* fra = new CaptionFrame(panel, QStringLiteral("Fan"), QRect(40, 28, 177, 97));
    fra->setToolTip(QStringLiteral("Fan Summary"));
    auto* frt = new CaptionFrame(panel, QStringLiteral("Temperature"), QRect(40, 138, 177, 82));
    frt->setToolTip(QStringLiteral("Temperature Summary"));
    auto* frv = new CaptionFrame(panel, QStringLiteral("Voltage"), QRect(235, 27, 177, 193));
    frv->setToolTip(QStringLiteral("Voltage Summary"));

    auto row = [this](QWidget* frame, int number, const char* caption, int top, int valueLeft,
                      const char* placeholder) {
        auto* c = new TextLabel(frame, 0xff00ffff, true, QString::fromLatin1(caption));
        c->move(28, top);
        caption_[static_cast<std::size_t>(number)] = c;
        auto* v = new TextLabel(frame, paint::kYellow, true, QString::fromLatin1(placeholder));
        v->move(valueLeft, top);
        return v;
    };
    fan_[0] = row(fra, 1, "CPU:", 20, 103, "3500");
    fan_[1] = row(fra, 2, "Power:", 43, 103, "3500");
    fan_[2] = row(fra, 3, "Chassis:", 66, 103, "3500");
    temp_[0] = row(frt, 4, "CPU:", 24, 103, "60");
    temp_[1] = row(frt, 5, "Mainboard:", 49, 103, "60");
    volt_[0] = row(frv, 6, "VCORE:", 26, 96, "2.8");
    volt_[2] = row(frv, 8, "+3.3V:", 52, 96, "2.8");
    volt_[3] = row(frv, 9, "+5V:", 78, 96, "2.8");
    volt_[4] = row(frv, 11, "+12V:", 104, 96, "2.8");
    volt_[5] = row(frv, 12, "-12V:", 130, 96, "2.8");
    volt_[6] = row(frv, 10, "-5V:", 156, 96, "2.8");
    // Input 1 has its row outside the frame, never shown.
    volt_[1] = row(panel, 7, "2.5Vb:", 300, 96, "2.8");
    noFan_ = new TextLabel(fra, 0xff00ffff, true, QStringLiteral("None on this machine"));
    noFan_->setBox(QRect(0, 43, 177, 13));
    noFan_->hide();
    noVolt_ = new TextLabel(frv, 0xff00ffff, true, QStringLiteral("None on this machine"));
    noVolt_->setBox(QRect(0, 90, 177, 13));
    noVolt_->hide();
    caption_[7]->hide();
    volt_[1]->hide();
    fanRows_ = {{{1, fan_[0]}, {2, fan_[1]}, {3, fan_[2]}}};
    voltRows_ = {{{6, volt_[0]}, {8, volt_[2]}, {9, volt_[3]}, {11, volt_[4]}, {12, volt_[5]}, {10, volt_[6]}}};
    for (std::size_t f = 0; f < 3; ++f) marks_[f] = std::make_unique<AlarmRowMark>(fra, fan_[f], 14);
    for (std::size_t g = 0; g < 2; ++g) marks_[3 + g] = std::make_unique<AlarmRowMark>(frt, temp_[g], 14);
    for (std::size_t i = 0; i < 7; ++i)
        marks_[5 + i] = std::make_unique<AlarmRowMark>(i == 1 ? static_cast<QWidget*>(panel) : frv, volt_[i], 14);

    for (int f = 0; f < 3; ++f) {
        controls.add(Ctl::FanSummaryValue, f, fan_[static_cast<std::size_t>(f)]);
        controls.add(Ctl::FanSummaryCaption, f, caption_[static_cast<std::size_t>(f + 1)]);
    }
    for (int g = 0; g < 2; ++g) controls.add(Ctl::TempSummaryValue, g, temp_[static_cast<std::size_t>(g)]);
    for (int i = 0; i < 7; ++i) controls.add(Ctl::VoltSummaryValue, i, volt_[static_cast<std::size_t>(i)]);
}

void SummaryPage::layOut(const std::array<int, 3>& fanConfiguration) {
    bool anyFan = false;
    for (std::size_t f = 0; f < 3; ++f) {
        const bool fitted = fanConfiguration[f] != 0;
        anyFan = anyFan || fitted;
        fan_[f]->setVisible(fitted);
        caption_[f + 1]->setVisible(fitted);
    }
    // Without a single fan the frame would stand empty.
    noFan_->setVisible(!anyFan);
    for (std::size_t f = 0; f < 3; ++f) fanRows_[f].shown = fanConfiguration[f] != 0;
    closeUp();
}

void SummaryPage::showPresence(const ChannelPresence& presence) {
    for (std::size_t g = 0; g < 2; ++g) {
        if (presence.temp(static_cast<int>(g))) {
            temp_[g]->setToolTip(QString());
            continue;
        }
        temp_[g]->setLabelText(QStringLiteral("No sensor"));
        temp_[g]->setToolTip(QString::fromLatin1(kNoTemperatureSensorTips[g]));
    }
    bool anyShownRail = false;
    for (std::size_t i = 0; i < 7; ++i) {
        if (presence.volt(static_cast<int>(i))) {
            anyShownRail = anyShownRail || i != 1;
            if (i != 1) {
                volt_[i]->show();
                caption_[static_cast<std::size_t>(kVoltCaption[i])]->show();
            }
            continue;
        }
        // The page lists only the rails the machine has.
        volt_[i]->hide();
        if (i != 1) caption_[static_cast<std::size_t>(kVoltCaption[i])]->hide();
    }
    noVolt_->setVisible(!anyShownRail);
    for (Row& r : voltRows_) r.shown = !caption_[static_cast<std::size_t>(r.caption)]->isHidden();
    closeUp();
}

void SummaryPage::closeUp() {
    auto place = [this](auto& rows, const auto& tops) {
        std::size_t k = 0;
        for (Row& r : rows) {
            if (!r.shown) continue;
            caption_[static_cast<std::size_t>(r.caption)]->move(28, tops[k]);
            r.value->move(r.value->x(), tops[k]);
            ++k;
        }
    };
    place(fanRows_, std::array<int, 3>{20, 43, 66});
    place(voltRows_, std::array<int, 6>{26, 52, 78, 104, 130, 156});
    for (const auto& m : marks_) m->follow();
}

void SummaryPage::setAlarmMark(SensorChannel channel, bool on) {
    const auto c = static_cast<std::size_t>(channel);
    if (c < marks_.size()) marks_[c]->setOn(on);
}

bool SummaryPage::alarmMarkOn(SensorChannel channel) const {
    const auto c = static_cast<std::size_t>(channel);
    return c < marks_.size() && marks_[c]->isOn();
}

QWidget* SummaryPage::caption(int row) const {
    return row >= 1 && row <= 12 ? caption_[static_cast<std::size_t>(row)] : nullptr;
}

}  // namespace velmon::window
