#include "FanPage.h"

#include "Art.h"
#include "Geometry.h"
#include "Painters.h"

#include <QPainter>

#include <algorithm>

namespace velmon::window {
namespace {

// The "Not Installed" box drawn in the panel's colours: the desktop style's
// white box stood out of the dark page as if it were not part of it.
class SkinCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect box(0, 1, 12, 12);
        p.fillRect(box, QColor(0x10, 0x10, 0x10));
        p.setPen(QColor::fromRgb(0xff00ffff));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        if (!isChecked()) return;
        p.setPen(QPen(QColor::fromRgb(0xff00ffff), 2));
        p.drawPolyline(QPolygon({QPoint(3, 7), QPoint(5, 9), QPoint(9, 4)}));
    }
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace

FanPage::FanPage(PictureBox* panel, PageHooks& hooks, ControlTable& controls) {
    static const std::array<const char*, 3> names{"CPU", "Power", "Chassis"};
    static const std::array<const char*, 3> dialTips{"CPU Fan ", "Power Fan", "Chassis Fan"};
    for (std::size_t f = 0; f < 3; ++f) {
        const int fan = static_cast<int>(f);
        const QString name = QString::fromLatin1(names[f]);
        auto* dial = new PictureBox(panel, art::image(art::dialPlate(fan)));
        dial->setToolTip(QString::fromLatin1(dialTips[f]));
        dials_[f] = dial;

        speed_[f] = new TextLabel(dial, paint::kYellow, true);
        speed_[f]->setBox(QRect(76, 151, 34, 12));
        speed_[f]->setToolTip(QStringLiteral("Current %1 Fan Rotation").arg(name));
        warn_[f] = new TextLabel(dial, paint::kRed, true);
        warn_[f]->setBox(QRect(76, 176, 34, 12));
        warn_[f]->setToolTip(QStringLiteral("%1 Fan Warning Threshold").arg(name));

        auto* spin = new SpinArrows(dial);
        spin->move(54, 175);
        spin->setToolTip(QStringLiteral("Adjust %1 Fan Warning Threshold").arg(name));
        spin->onStep = [&hooks, fan](bool up) {
            if (hooks.events) hooks.events->fanSpinChanged(fan, up);
        };
        spins_[f] = spin;

        const QString absent = QStringLiteral("%1 Fan Doesn't Exist").arg(name);
        auto* check = new SkinCheckBox(panel);
        check->setGeometry(0, 228, 13, 15);
        check->setToolTip(absent);
        check->hide();
        QObject::connect(check, &QCheckBox::clicked, panel, [&hooks, fan](bool checked) {
            if (hooks.events) hooks.events->fanCheckClicked(fan, checked);
        });
        checks_[f] = check;

        inst_[f] = new TextLabel(panel, 0xff00ffff, false, QStringLiteral("Not Installed"));
        inst_[f]->setToolTip(absent);
        inst_[f]->hide();

        marks_[f] = new AlarmFrame(panel, QRect(-3, 20, 141, 201));

        controls.add(Ctl::FanSpeedLabel, fan, speed_[f]);
        controls.add(Ctl::FanWarnLabel, fan, warn_[f]);
        controls.add(Ctl::FanDial, fan, dial);
        controls.add(Ctl::FanCheck, fan, check);
        controls.add(Ctl::FanInstLabel, fan, inst_[f]);
    }
    noFan_ = new TextLabel(panel, 0xff00ffff, true, QStringLiteral("This machine has no fan sensor."));
    noFan_->setBox(QRect(0, 112, 458, 16));
    noFan_->hide();
}

void FanPage::layOut(const std::array<int, 3>& fanConfiguration, bool dense) {
    const auto lefts = geometry::dialLefts(fanConfiguration[0] + fanConfiguration[1] + fanConfiguration[2]);
    std::size_t k = 0;
    bool anyFan = false;
    for (std::size_t f = 0; f < 3; ++f) {
        if (fanConfiguration[f] == 0) {
            dials_[f]->hide();
            continue;
        }
        anyFan = true;
        const int x = lefts[std::min<std::size_t>(k, 2)];
        dials_[f]->move(x, 23);
        marks_[f]->move(x - 3, 20);
        checks_[f]->move(x + (dense ? 25 : 24), 228);
        inst_[f]->move(x + (dense ? 41 : 46), 228);
        dials_[f]->show();
        ++k;
    }
    // Without a single fan the page would stand empty.
    noFan_->setVisible(!anyFan);
}

void FanPage::placeForDensity() {
    for (std::size_t f = 0; f < 3; ++f) {
        speed_[f]->setBox(QRect(71, 150, 34, 12));
        warn_[f]->setBox(QRect(71, 175, 34, 12));
        spins_[f]->move(50, 173);
    }
}

PictureBox* FanPage::dial(int fan) const {
    return fan >= 0 && fan < 3 ? dials_[static_cast<std::size_t>(fan)] : nullptr;
}

void FanPage::setChecked(int fan, bool checked) {
    if (fan < 0 || fan > 2) return;
    QSignalBlocker block(checks_[static_cast<std::size_t>(fan)]);
    checks_[static_cast<std::size_t>(fan)]->setChecked(checked);
}

void FanPage::drawDial(int fan, int threshold, int speed) {
    if (PictureBox* d = dial(fan)) {
        paint::drawFanDial(d->image(), threshold, speed);
        d->update();
    }
}

void FanPage::drawNeedle(int fan, int speed) {
    if (PictureBox* d = dial(fan)) {
        paint::drawFanNeedle(d->image(), speed);
        d->update();
    }
}

void FanPage::drawZone(int fan, int threshold) {
    if (PictureBox* d = dial(fan)) {
        paint::drawFanZone(d->image(), threshold);
        d->update();
    }
}

void FanPage::clearDial(int fan) {
    if (PictureBox* d = dial(fan)) d->clear();
}

void FanPage::setAlarmMark(int fan, bool on) {
    if (fan >= 0 && fan < 3) marks_[static_cast<std::size_t>(fan)]->setVisible(on);
}

QWidget* FanPage::alarmMark(int fan) const {
    return fan >= 0 && fan < 3 ? marks_[static_cast<std::size_t>(fan)] : nullptr;
}

QWidget* FanPage::spin(int fan) const {
    return fan >= 0 && fan < 3 ? spins_[static_cast<std::size_t>(fan)] : nullptr;
}

}  // namespace velmon::window
