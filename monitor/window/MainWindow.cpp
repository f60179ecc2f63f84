#include "MainWindow.h"

#include "Art.h"
#include "Texts.h"
#include "Painters.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cmath>

namespace velmon::window {
namespace {

constexpr int kWidth = 600, kHeight = 381;
constexpr std::array<int, 4> kButtonTops{31, 99, 165, 233};
constexpr int kButtonLeft = 523, kButtonSize = 45;
constexpr std::array<int, 3> kOvalLefts{518, 446, 372};
constexpr int kOvalTop = 317, kOvalWidth = 58, kOvalHeight = 39;

QString q(const std::string& s) { return QString::fromStdString(s); }

// The Summary caption (Label6 … Label12) of each voltage input.
constexpr std::array<int, 7> kVoltCaption{6, 7, 8, 9, 11, 12, 10};

}  // namespace

QRegion windowShape() {
    QRegion shape(QRect(QPoint(0, 0), QPoint(9, 364)));
    shape += QRect(QPoint(10, 0), QPoint(589, 380));
    shape += QRect(QPoint(590, 0), QPoint(599, 364));
    return shape;
}

QPoint centredTopLeft(QSize screen, double dpiFactor) {
    // The design size scaled to the density is a window of whole pixels
    // (381 at 1.25 is 476, not 476.25); it is centred as that window.
    const long w = std::lround(kWidth * dpiFactor), h = std::lround(kHeight * dpiFactor);
    return {static_cast<int>((screen.width() - w) / 2), static_cast<int>((screen.height() - h) / 2)};
}

MainWindow::MainWindow(WindowMover* mover)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    if (!mover) {
        ownMover_ = std::make_unique<SystemWindowMover>();
        mover = ownMover_.get();
    }
    mover_ = mover;
    setWindowTitle(QStringLiteral("Velmora"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // The window keeps its pixel size whatever the display density.
    setFixedSize(kWidth, kHeight);
    setMask(windowShape());
    // The notches show the desktop where a compositor blends rather than cuts.
    setAttribute(Qt::WA_TranslucentBackground);
    buildFrame();
    buildFanPage();
    buildTemperaturePage();
    buildVoltagePage();
    buildSummaryPage();
    pages_[0]->show();
    for (int p = 1; p < 4; ++p) pages_[p]->hide();
    layOut({1, 1, 1}, 1.0);
}

void MainWindow::layOut(const std::array<int, 3>& fanConfiguration, double dpiFactor) {
    dpiFactor_ = dpiFactor > 0 ? dpiFactor : 1.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().topLeft() + centredTopLeft(screen->geometry().size(), dpiFactor_));
    if (dpiFactor_ != 1.0) placeForDensity();
    layOutFans(fanConfiguration);
}

MainWindow::~MainWindow() = default;

// ---- Frame, page buttons, ovals -------------------------------------------

void MainWindow::buildFrame() {
    background_ = art::image(art::Art::Panel).convertToFormat(QImage::Format_RGB32);
    layer_ = background_;
    for (int i = 0; i < 4; ++i) buttonDown_[i] = art::image(art::buttonDown(i));
    for (int i = 0; i < 3; ++i) ovalDown_[i] = art::image(art::ovalDown(i));
    ovalMask_ = art::image(art::Art::OvalMask).convertToFormat(QImage::Format_RGB32);
    btnTmp_ = QImage(kButtonSize, kButtonSize, QImage::Format_RGB32);
    ovalTmp_ = QImage(kOvalWidth, kOvalHeight, QImage::Format_RGB32);

    static const std::array<const char*, 4> buttonTips{"Fan Status", "Temperature Status",
                                                       "Voltage Status", "Summary"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new HotArea(this, QRect(kButtonLeft, kButtonTops[i], kButtonSize, kButtonSize));
        b->setToolTip(QString::fromLatin1(buttonTips[i]));
        b->onPress = [this, i](Qt::MouseButton, QPoint) { pageButtonPress(i); };
        b->onRelease = [this](Qt::MouseButton, QPoint) { pageButtonRelease(); };
        b->onDoubleClick = [this, i](Qt::MouseButton, QPoint) { pageButtonDoubleClick(i); };
        pageButtons_[i] = b;
    }
    static const std::array<const char*, 3> ovalTips{"Hide Velmora", "Set Velmora",
                                                     "Show System Information"};
    for (int i = 0; i < 3; ++i) {
        auto* o = new HotArea(this, QRect(kOvalLefts[i], kOvalTop, kOvalWidth, kOvalHeight));
        o->onPress = [this, i](Qt::MouseButton button, QPoint pos) { ovalPress(i, button, pos); };
        o->onRelease = [this, i](Qt::MouseButton, QPoint) { ovalRelease(i); };
        o->onDoubleClick = [this, i](Qt::MouseButton, QPoint) { ovalDoubleClick(i); };
        o->toolTipAt = [this, i](QPoint pos) {
            return insideOval(pos) ? QString::fromLatin1(ovalTips[i]) : QString();
        };
        ovals_[i] = o;
    }
    static const std::array<const char*, 4> pageTips{"Fan Status", "Temperature Status",
                                                     "Voltage Status", "Summary "};
    const QImage texture = art::image(art::Art::PageTexture);
    for (int p = 0; p < 4; ++p) {
        auto* page = new PictureBox(this, texture);
        page->move(32, 32);
        page->setToolTip(QString::fromLatin1(pageTips[p]));
        pages_[p] = page;
    }
}

void MainWindow::paintPressed(QRect area, QImage& saveTo, const QImage& pressed) {
    paint::copyRect(saveTo, {0, 0}, layer_, area);
    paint::copyRect(layer_, area.topLeft(), pressed, pressed.rect());
    update(area);
}

void MainWindow::restore(QPoint at, const QImage& saved) {
    paint::copyRect(layer_, at, saved, saved.rect());
    update(QRect(at, saved.size()));
}

void MainWindow::pageButtonPress(int item) {
    if (events_) events_->pausePolling();
    buttonTop_ = kButtonTops[static_cast<std::size_t>(item)];
    paintPressed(QRect(kButtonLeft, buttonTop_, kButtonSize, kButtonSize), btnTmp_,
                 buttonDown_[static_cast<std::size_t>(item)]);
    if (events_) events_->pageButtonPressed(item);
}

void MainWindow::pageButtonRelease() {
    restore({kButtonLeft, buttonTop_}, btnTmp_);
    if (events_) events_->resumePolling();
}

void MainWindow::pageButtonDoubleClick(int item) {
    paintPressed(QRect(kButtonLeft, buttonTop_, kButtonSize, kButtonSize), btnTmp_,
                 buttonDown_[static_cast<std::size_t>(item)]);
}

bool MainWindow::insideOval(QPoint pos) const {
    if (!ovalMask_.rect().contains(pos)) return false;
    return (ovalMask_.pixel(pos) & 0x00ffffffu) != 0;
}

void MainWindow::ovalPress(int item, Qt::MouseButton button, QPoint pos) {
    if (events_) events_->pausePolling();
    ovalLeft_ = kOvalLefts[static_cast<std::size_t>(item)];
    ovalPressed_ = false;
    if (insideOval(pos)) {
        ovalPressed_ = true;
        paintPressed(QRect(ovalLeft_, kOvalTop, kOvalWidth, kOvalHeight), ovalTmp_,
                     ovalDown_[static_cast<std::size_t>(item)]);
    } else if (button == Qt::LeftButton) {
        startMove(ovals_[static_cast<std::size_t>(item)]->mapToGlobal(pos));
    }
}

void MainWindow::ovalRelease(int item) {
    if (ovalPressed_) {
        restore({ovalLeft_, kOvalTop}, ovalTmp_);
        switch (item) {
        case 0:
            if (events_) events_->windowClosedByOval();
            break;
        case 1:
            setTopmost(false);
            if (launcher_) launcher_->showSettings();
            break;
        default:
            setTopmost(false);
            if (launcher_) launcher_->showSystemInfo();
            break;
        }
        restore({ovalLeft_, kOvalTop}, ovalTmp_);
    }
    if (events_) events_->resumePolling();
}

void MainWindow::ovalDoubleClick(int item) {
    if (!ovalPressed_) return;
    paintPressed(QRect(ovalLeft_, kOvalTop, kOvalWidth, kOvalHeight), ovalTmp_,
                 ovalDown_[static_cast<std::size_t>(item)]);
}

void MainWindow::startMove(QPoint globalPress) {
    mover_->beginMove(*this, globalPress, [this] {
        if (events_) events_->resumePolling();
    });
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region() & mask());  // Wayland paints what the shape leaves out
    p.drawImage(0, 0, layer_);
}

void MainWindow::showEvent(QShowEvent* event) {
    // Pressed images are not kept: a fresh showing paints the background.
    layer_ = background_;
    QWidget::showEvent(event);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (events_) events_->pausePolling();
    startMove(event->globalPosition().toPoint());
}

void MainWindow::beginRoutedDrag() {
    routing_ = true;
    grabMouse();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!routing_) return;
    const QPoint global = event->globalPosition().toPoint();
    if (auto* box = dynamic_cast<PictureBox*>(mouseTargetAt(this, global)); box && box->onMove)
        box->onMove(Qt::LeftButton, box->mapFromGlobal(event->globalPosition()));
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (routing_) {
        routing_ = false;
        releaseMouse();
        QWidget* target = mouseTargetAt(this, event->globalPosition().toPoint());
        if (target && target != this) {
            if (auto* box = dynamic_cast<PictureBox*>(target); box->onRelease)
                box->onRelease(event->button(), box->mapFromGlobal(event->globalPosition()));
            return;
        }
        if (!target) return;  // released outside the window
    }
    if (events_) events_->backgroundReleased();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && events_) events_->formActivated();
    return QWidget::event(event);
}

// ---- Fan page ----------------------------------------------------------------

void MainWindow::buildFanPage() {
    static const std::array<const char*, 3> names{"CPU", "Power", "Chassis"};
    static const std::array<const char*, 3> dialTips{"CPU Fan ", "Power Fan", "Chassis Fan"};
    PictureBox* page = pages_[0];
    for (std::size_t f = 0; f < 3; ++f) {
        const QString name = QString::fromLatin1(names[f]);
        auto* dial = new PictureBox(page, art::image(art::dialPlate(static_cast<int>(f))));
        dial->setToolTip(QString::fromLatin1(dialTips[f]));
        dials_[f] = dial;

        fanSpeed_[f] = new TextLabel(dial, paint::kYellow, true);
        fanSpeed_[f]->setBox(QRect(76, 151, 34, 12));
        fanSpeed_[f]->setToolTip(QStringLiteral("Current %1 Fan Rotation").arg(name));
        fanWarn_[f] = new TextLabel(dial, paint::kRed, true);
        fanWarn_[f]->setBox(QRect(76, 176, 34, 12));
        fanWarn_[f]->setToolTip(QStringLiteral("%1 Fan Warning Threshold").arg(name));

        auto* spin = new SpinArrows(dial);
        spin->move(54, 175);
        spin->setToolTip(QStringLiteral("Adjust %1 Fan Warning Threshold").arg(name));
        spin->onStep = [this, f](bool up) {
            if (events_) events_->fanSpinChanged(static_cast<int>(f), up);
        };
        spins_[f] = spin;

        const QString absent = QStringLiteral("%1 Fan Doesn't Exist").arg(name);
        auto* check = new QCheckBox(page);
        check->setGeometry(0, 228, 13, 15);
        check->setToolTip(absent);
        check->hide();
        connect(check, &QCheckBox::clicked, this, [this, f](bool checked) {
            if (events_) events_->fanCheckClicked(static_cast<int>(f), checked);
        });
        checks_[f] = check;

        fanInst_[f] = new TextLabel(page, 0xff00ffff, false, QStringLiteral("Not Installed"));
        fanInst_[f]->setToolTip(absent);
        fanInst_[f]->hide();
    }
    noFanPage_ = new TextLabel(page, 0xff00ffff, true, QStringLiteral("This machine has no fan sensor."));
    noFanPage_->setBox(QRect(0, 112, 458, 16));
    noFanPage_->hide();
}

void MainWindow::layOutFans(const std::array<int, 3>& fanConfiguration) {
    int count = 0;
    for (int c : fanConfiguration) count += c;
    std::array<int, 3> lefts{0, 0, 0};
    if (count == 1) lefts = {165, 0, 0};
    if (count == 2) lefts = {52, 266, 0};
    if (count == 3) lefts = {14, 161, 308};
    std::size_t k = 0;
    bool anyFan = false;
    for (std::size_t f = 0; f < 3; ++f) {
        if (fanConfiguration[f] != 0) {
            anyFan = true;
            const int x = lefts[std::min<std::size_t>(k, 2)];
            dials_[f]->move(x, 23);
            const bool dense = dpiFactor_ != 1.0;
            checks_[f]->move(x + (dense ? 25 : 24), 228);
            fanInst_[f]->move(x + (dense ? 41 : 46), 228);
            dials_[f]->show();
            if (sumFan_[f]) sumFan_[f]->show();
            if (sumCaption_[f + 1]) sumCaption_[f + 1]->show();
            ++k;
        } else {
            dials_[f]->hide();
            if (sumFan_[f]) sumFan_[f]->hide();
            if (sumCaption_[f + 1]) sumCaption_[f + 1]->hide();
        }
    }
    // Without a single fan the page and the frame would stand empty.
    if (noFanPage_) noFanPage_->setVisible(!anyFan);
    if (noFanSummary_) noFanSummary_->setVisible(!anyFan);
}

void MainWindow::showPresence(const ChannelPresence& presence) {
    static const std::array<const char*, 2> gaugeTips{"This machine has no CPU temperature sensor",
                                                      "This machine has no mainboard temperature sensor"};
    static const std::array<const char*, 7> railNames{"VCORE", "VCORE", "+3.3V", "+5V", "+12V", "-12V", "-5V"};
    for (std::size_t g = 0; g < 2; ++g) {
        if (presence.temp(static_cast<int>(g))) continue;
        pointers_[g]->hide();
        degrees_[g]->hide();
        for (TextLabel* l : tempScale_[g]) l->hide();
        tempWarn_[g]->hide();
        tempLabel_[g]->setLabelText(QStringLiteral("No sensor"));
        tempLabel_[g]->setToolTip(QString::fromLatin1(gaugeTips[g]));
        gauges_[g]->setToolTip(QString::fromLatin1(gaugeTips[g]));
        sumTemp_[g]->setLabelText(QStringLiteral("No sensor"));
        sumTemp_[g]->setToolTip(QString::fromLatin1(gaugeTips[g]));
    }
    bool anyShownRail = false;
    for (std::size_t i = 0; i < 7; ++i) {
        if (presence.volt(static_cast<int>(i))) {
            anyShownRail = anyShownRail || i != 1;
            continue;
        }
        paint::drawUnmeasuredVoltageBar(bars_[i]->image());
        bars_[i]->update();
        upMarkers_[i]->hide();
        dnMarkers_[i]->hide();
        for (TextLabel* l : barScale_[i]) l->hide();
        voltUp_[i]->hide();
        voltDn_[i]->hide();
        voltLabel_[i]->setLabelText(QStringLiteral("\u2014"));
        const QString tip = QStringLiteral("%1 is not measured on this machine").arg(QLatin1String(railNames[i]));
        voltLabel_[i]->setToolTip(tip);
        bars_[i]->setToolTip(tip);
        // The Summary page lists only the rails the machine has.
        sumVolt_[i]->hide();
        if (i != 1) sumCaption_[static_cast<std::size_t>(kVoltCaption[i])]->hide();
    }
    noVoltSummary_->setVisible(!anyShownRail);
}

// ---- Temperature page -----------------------------------------------------------

void MainWindow::buildTemperaturePage() {
    static const std::array<const char*, 2> names{"CPU", "Mainboard"};
    static const std::array<int, 6> scaleTops{118, 95, 71, 47, 22, -1};
    PictureBox* page = pages_[1];
    page->onRelease = [this](Qt::MouseButton, QPointF) {
        if (events_) events_->temperaturePageReleased();
    };
    for (std::size_t g = 0; g < 2; ++g) {
        const QString name = QString::fromLatin1(names[g]);
        auto* gauge = new PictureBox(page, art::image(art::gauge(static_cast<int>(g))));
        gauge->move(g == 0 ? 79 : 257, 24);
        gauge->setToolTip(QStringLiteral("%1 Temperature").arg(name));
        // Moves without a button still reach a drag that a release elsewhere left running.
        gauge->setMouseTracking(true);
        gauge->onMove = [this, g](Qt::MouseButton, QPointF pos) {
            if (events_) events_->temperatureGaugeMoved(static_cast<int>(g), pos.y());
        };
        gauge->onRelease = [this, g](Qt::MouseButton, QPointF) {
            if (events_) events_->temperatureGaugeReleased(static_cast<int>(g));
        };
        gauges_[g] = gauge;

        auto* degree = new PictureBox(gauge, art::image(art::Art::DegreeLegend));
        degree->move(78, 134);
        degrees_[g] = degree;
        for (std::size_t k = 0; k < 6; ++k) {
            auto* l = new TextLabel(gauge, 0xff00ffff, false);
            l->move(85, scaleTops[k]);
            tempScale_[g][k] = l;
        }
        tempLabel_[g] = new TextLabel(gauge, paint::kYellow, true);
        tempLabel_[g]->setBox(QRect(58, 163, 56, 13));
        tempLabel_[g]->setToolTip(QStringLiteral("Current %1 Temperature").arg(name));
        tempWarn_[g] = new TextLabel(gauge, paint::kRed, true);
        tempWarn_[g]->setBox(QRect(58, 181, 56, 13));
        tempWarn_[g]->setToolTip(QStringLiteral("%1 Temperature Warning Threshold").arg(name));

        auto* pointer = new PictureBox(gauge, art::image(art::Art::Pointer));
        pointer->setAttribute(Qt::WA_TranslucentBackground);
        pointer->move(15, 0);
        pointer->setToolTip(QStringLiteral("Adjust %1 Temperature Warning Threshold").arg(name));
        pointer->onPress = [this, g](Qt::MouseButton, QPointF pos) {
            if (events_) events_->temperaturePointerPressed(static_cast<int>(g), pos.y());
            beginRoutedDrag();
        };
        pointers_[g] = pointer;
    }
}

void MainWindow::drawTemperatureGauge(int gauge, int current, int threshold, int base) {
    const auto g = static_cast<std::size_t>(gauge);
    if (g >= 2) return;
    // A scale raised for a machine's default reaches three-digit pairs
    // ("100/212"): those are set smaller to stay inside the gauge.
    const int room = base != kGaugeBase[g] ? gauges_[g]->width() - tempScale_[g][0]->x() : 0;
    for (std::size_t k = 0; k < 6; ++k) {
        tempScale_[g][k]->setFieldWidth(room);
        tempScale_[g][k]->setLabelText(q(temperaturePair(base + 10 * static_cast<int>(k))));
    }
    tempWarn_[g]->setLabelText(q(temperaturePair(threshold)));
    const int top = paint::drawTemperatureGauge(gauges_[g]->image(), base, current, threshold);
    pointers_[g]->move(pointers_[g]->x(), top);
    tempLabel_[g]->setLabelText(q(temperaturePair(current)));
    gauges_[g]->update();
}

// ---- Voltage page ------------------------------------------------------------------

void MainWindow::buildVoltagePage() {
    struct Channel {
        const char* bar;
        const char* adjustUp;
        const char* adjustDn;
        const char* up;
        const char* value;
        const char* dn;
    };
    static const std::array<Channel, 7> channels{{
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
    static const std::array<int, 7> lefts{6, -70, 80, 154, 228, 302, 376};
    static const std::array<int, 5> scaleTops{139, 104, 69, 33, -1};  // lbl0 … lbl4
    PictureBox* page = pages_[2];
    page->onRelease = [this](Qt::MouseButton, QPointF) {
        if (events_) events_->voltagePageReleased();
    };
    voltTitle_ = new PictureBox(page, art::image(art::Art::VoltTitle));
    voltTitle_->move(4, -1);
    voltTitle_->setToolTip(QStringLiteral("Voltage Status"));
    voltTitle_->onRelease = [this](Qt::MouseButton, QPointF) {
        if (events_) events_->voltagePageReleased();
    };
    for (std::size_t i = 0; i < 7; ++i) {
        const Channel& c = channels[i];
        auto* bar = new PictureBox(page, art::image(art::voltageBar(static_cast<int>(i))));
        bar->move(lefts[i], 31);
        if (i == 1) {
            bar->resize(65, 213);
            bar->hide();
        }
        bar->setToolTip(QString::fromLatin1(c.bar));
        // Merely passing over a bar re-evaluates its channel.
        bar->setMouseTracking(true);
        bar->onMove = [this, i](Qt::MouseButton, QPointF pos) {
            if (events_) events_->voltageBarMoved(static_cast<int>(i), pos.y());
        };
        bar->onRelease = [this](Qt::MouseButton, QPointF) {
            if (events_) events_->voltageBarReleased();
        };
        bars_[i] = bar;

        for (std::size_t k = 0; k < 5; ++k) {
            auto* l = new TextLabel(bar, 0xff00ffff, false);
            l->move(44, scaleTops[k]);
            barScale_[i][k] = l;
        }
        voltUp_[i] = new TextLabel(bar, paint::kRed, true);
        voltUp_[i]->setBox(QRect(41, 165, 21, 13));
        voltUp_[i]->setToolTip(QString::fromLatin1(c.up));
        voltLabel_[i] = new TextLabel(bar, paint::kYellow, true);
        voltLabel_[i]->setBox(QRect(41, 182, 21, 13));
        voltLabel_[i]->setToolTip(QString::fromLatin1(c.value));
        voltDn_[i] = new TextLabel(bar, paint::kRed, true);
        voltDn_[i]->setBox(QRect(41, 199, 21, 13));
        voltDn_[i]->setToolTip(QString::fromLatin1(c.dn));
        // The dark fields of the bar art are 24 pixels wide inside.
        for (TextLabel* l : {voltUp_[i], voltLabel_[i], voltDn_[i]}) l->setFieldWidth(24);

        for (bool upper : {true, false}) {
            auto* marker = new PictureBox(bar, art::image(art::Art::Marker));
            marker->setAttribute(Qt::WA_TranslucentBackground);
            marker->move(13, 0);
            marker->setToolTip(QString::fromLatin1(upper ? c.adjustUp : c.adjustDn));
            marker->onPress = [this, i, upper](Qt::MouseButton, QPointF pos) {
                if (events_) events_->voltageMarkerPressed(static_cast<int>(i), upper, pos.y());
                beginRoutedDrag();
            };
            marker->onRelease = [this, upper](Qt::MouseButton, QPointF) {
                if (events_) events_->voltageMarkerReleased(upper);
            };
            (upper ? upMarkers_ : dnMarkers_)[i] = marker;
        }
    }
}

void MainWindow::drawVoltageBar(int input, int base, float upper, float lower, float value) {
    const auto i = static_cast<std::size_t>(input);
    if (i >= 7) return;
    for (std::size_t k = 0; k < 5; ++k)
        barScale_[i][k]->setLabelText(QString::number(base + static_cast<int>(k)));
    voltUp_[i]->setLabelText(q(voltText(upper)));
    const paint::MarkerTops tops = paint::drawVoltageBar(bars_[i]->image(), base, upper, lower, value);
    upMarkers_[i]->move(upMarkers_[i]->x(), tops.upper);
    voltDn_[i]->setLabelText(q(voltText(lower)));
    dnMarkers_[i]->move(dnMarkers_[i]->x(), tops.lower);
    voltLabel_[i]->setLabelText(q(voltText(value)));
    bars_[i]->update();
}

// ---- Summary page ----------------------------------------------------------------

void MainWindow::buildSummaryPage() {
    PictureBox* page = pages_[3];
    auto* fra = new CaptionFrame(page, QStringLiteral("Fan"), QRect(40, 28, 177, 97));
    fra->setToolTip(QStringLiteral("Fan Summary"));
    auto* frt = new CaptionFrame(page, QStringLiteral("Temperature"), QRect(40, 138, 177, 82));
    frt->setToolTip(QStringLiteral("Temperature Summary"));
    auto* frv = new CaptionFrame(page, QStringLiteral("Voltage"), QRect(235, 27, 177, 193));
    frv->setToolTip(QStringLiteral("Voltage Summary"));

    auto row = [this](QWidget* frame, int number, const char* caption, int top, int valueLeft,
                      const char* placeholder) {
        auto* c = new TextLabel(frame, 0xff00ffff, true, QString::fromLatin1(caption));
        c->move(28, top);
        sumCaption_[static_cast<std::size_t>(number)] = c;
        auto* v = new TextLabel(frame, paint::kYellow, true, QString::fromLatin1(placeholder));
        v->move(valueLeft, top);
        return v;
    };
    sumFan_[0] = row(fra, 1, "CPU:", 20, 103, "3500");
    sumFan_[1] = row(fra, 2, "Power:", 43, 103, "3500");
    sumFan_[2] = row(fra, 3, "Chassis:", 66, 103, "3500");
    sumTemp_[0] = row(frt, 4, "CPU:", 24, 103, "60");
    sumTemp_[1] = row(frt, 5, "Mainboard:", 49, 103, "60");
    sumVolt_[0] = row(frv, 6, "VCORE:", 26, 96, "2.8");
    sumVolt_[2] = row(frv, 8, "+3.3V:", 52, 96, "2.8");
    sumVolt_[3] = row(frv, 9, "+5V:", 78, 96, "2.8");
    sumVolt_[4] = row(frv, 11, "+12V:", 104, 96, "2.8");
    sumVolt_[5] = row(frv, 12, "-12V:", 130, 96, "2.8");
    sumVolt_[6] = row(frv, 10, "-5V:", 156, 96, "2.8");
    // Input 1 has its row outside the frame, never shown.
    sumVolt_[1] = row(page, 7, "2.5Vb:", 300, 96, "2.8");
    noFanSummary_ = new TextLabel(fra, 0xff00ffff, true, QStringLiteral("None on this machine"));
    noFanSummary_->setBox(QRect(0, 43, 177, 13));
    noFanSummary_->hide();
    noVoltSummary_ = new TextLabel(frv, 0xff00ffff, true, QStringLiteral("None on this machine"));
    noVoltSummary_->setBox(QRect(0, 90, 177, 13));
    noVoltSummary_->hide();
    sumCaption_[7]->hide();
    sumVolt_[1]->hide();
}

// Controls whose design positions were given in device-independent units keep
// their pixel positions on displays of another density.
void MainWindow::placeForDensity() {
    for (std::size_t f = 0; f < 3; ++f) {
        fanSpeed_[f]->setBox(QRect(71, 150, 34, 12));
        fanWarn_[f]->setBox(QRect(71, 175, 34, 12));
        spins_[f]->move(50, 173);
    }
    for (std::size_t g = 0; g < 2; ++g) {
        tempLabel_[g]->setBox(QRect(52, 161, 56, 13));
        tempWarn_[g]->setBox(QRect(52, 179, 56, 13));
        degrees_[g]->move(77, 135);
    }
    for (std::size_t i = 0; i < 7; ++i) {
        voltUp_[i]->setBox(QRect(39, 164, 21, 13));
        voltLabel_[i]->setBox(QRect(39, 181, 21, 13));
        voltDn_[i]->setBox(QRect(39, 198, 21, 13));
    }
}

// ---- MainView ----------------------------------------------------------------------

QWidget* MainWindow::control(ControlRef c) const {
    const auto i = static_cast<std::size_t>(c.index);
    auto pick = [i](const auto& array) -> QWidget* { return i < array.size() ? array[i] : nullptr; };
    switch (c.ctl) {
    case Ctl::FanSpeedLabel: return pick(fanSpeed_);
    case Ctl::FanWarnLabel: return pick(fanWarn_);
    case Ctl::FanDial: return pick(dials_);
    case Ctl::FanCheck: return pick(checks_);
    case Ctl::FanInstLabel: return pick(fanInst_);
    case Ctl::FanSummaryValue: return pick(sumFan_);
    case Ctl::FanSummaryCaption: return i < 3 ? sumCaption_[i + 1] : nullptr;
    case Ctl::TempLabel: return pick(tempLabel_);
    case Ctl::TempWarnLabel: return pick(tempWarn_);
    case Ctl::TempGauge: return pick(gauges_);
    case Ctl::TempPointer: return pick(pointers_);
    case Ctl::TempSummaryValue: return pick(sumTemp_);
    case Ctl::VoltLabel: return pick(voltLabel_);
    case Ctl::VoltUpLabel: return pick(voltUp_);
    case Ctl::VoltDnLabel: return pick(voltDn_);
    case Ctl::VoltBar: return pick(bars_);
    case Ctl::VoltUpMarker: return pick(upMarkers_);
    case Ctl::VoltDnMarker: return pick(dnMarkers_);
    case Ctl::VoltSummaryValue: return pick(sumVolt_);
    case Ctl::PagePanel: return pick(pages_);
    }
    return nullptr;
}

void MainWindow::setText(ControlRef c, const std::string& text) {
    if (auto* l = dynamic_cast<TextLabel*>(control(c))) l->setLabelText(q(text));
}

void MainWindow::setVisible(ControlRef c, bool visible) {
    if (QWidget* w = control(c)) w->setVisible(visible);
}

bool MainWindow::isVisible(ControlRef c) const {
    // The control's own setting, whether or not the window is on screen.
    const QWidget* w = control(c);
    return w && !w->isHidden();
}

void MainWindow::setEnabled(ControlRef c, bool enabled) {
    if (QWidget* w = control(c)) w->setEnabled(enabled);
}

void MainWindow::setToolTip(ControlRef c, const std::string& text) {
    if (QWidget* w = control(c)) w->setToolTip(q(text));
}

void MainWindow::setChecked(int fan, bool checked) {
    if (fan < 0 || fan > 2) return;
    QSignalBlocker block(checks_[static_cast<std::size_t>(fan)]);
    checks_[static_cast<std::size_t>(fan)]->setChecked(checked);
}

void MainWindow::drawFanDial(int fan, int threshold, int speed) {
    if (fan < 0 || fan > 2) return;
    paint::drawFanDial(dials_[static_cast<std::size_t>(fan)]->image(), threshold, speed);
    dials_[static_cast<std::size_t>(fan)]->update();
}

void MainWindow::drawFanNeedle(int fan, int speed) {
    if (fan < 0 || fan > 2) return;
    paint::drawFanNeedle(dials_[static_cast<std::size_t>(fan)]->image(), speed);
    dials_[static_cast<std::size_t>(fan)]->update();
}

void MainWindow::drawFanZone(int fan, int threshold) {
    if (fan < 0 || fan > 2) return;
    paint::drawFanZone(dials_[static_cast<std::size_t>(fan)]->image(), threshold);
    dials_[static_cast<std::size_t>(fan)]->update();
}

void MainWindow::clearFanDial(int fan) {
    if (fan < 0 || fan > 2) return;
    dials_[static_cast<std::size_t>(fan)]->clear();
}

bool MainWindow::isWindowVisible() const { return QWidget::isVisible(); }

void MainWindow::showWindow() {
    show();
    raise();
    activateWindow();
}

void MainWindow::hideWindow() { hide(); }

bool MainWindow::isTopmost() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void MainWindow::setTopmost(bool topmost) {
    if (isTopmost() == topmost) return;
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    // QWidget::setWindowFlags would recreate and hide the window; telling the
    // native window alone changes only its stacking.
    overrideWindowFlags(flags);
    if (QWindow* handle = windowHandle()) handle->setFlags(flags);
}

QWidget* MainWindow::pageButton(int item) const {
    return item >= 0 && item < 4 ? pageButtons_[static_cast<std::size_t>(item)] : nullptr;
}
QWidget* MainWindow::oval(int item) const {
    return item >= 0 && item < 3 ? ovals_[static_cast<std::size_t>(item)] : nullptr;
}
QWidget* MainWindow::spin(int fan) const {
    return fan >= 0 && fan < 3 ? spins_[static_cast<std::size_t>(fan)] : nullptr;
}
QWidget* MainWindow::summaryCaption(int row) const {
    return row >= 1 && row <= 12 ? sumCaption_[static_cast<std::size_t>(row)] : nullptr;
}
QWidget* MainWindow::voltTitle() const { return voltTitle_; }
QWidget* MainWindow::degreeLegend(int gauge) const {
    return gauge >= 0 && gauge < 2 ? degrees_[static_cast<std::size_t>(gauge)] : nullptr;
}
QWidget* MainWindow::scaleLabel(int gaugeOrBar, int k, bool voltage) const {
    const auto i = static_cast<std::size_t>(gaugeOrBar);
    const auto j = static_cast<std::size_t>(k);
    if (voltage) return i < 7 && j < 5 ? barScale_[i][j] : nullptr;
    return i < 2 && j < 6 ? tempScale_[i][j] : nullptr;
}

}  // namespace velmon::window
