#include "MainWindow.h"

#include "Art.h"
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
    hooks_.beginRoutedDrag = [this] { beginRoutedDrag(); };
    setWindowTitle(QStringLiteral("Velmora"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // The window keeps its pixel size whatever the display density.
    setFixedSize(kWidth, kHeight);
    setMask(windowShape());
    // The notches show the desktop where a compositor blends rather than cuts.
    setAttribute(Qt::WA_TranslucentBackground);
    buildFrame();
    fanPage_ = std::make_unique<FanPage>(pages_[0], hooks_, controls_);
    temperaturePage_ = std::make_unique<TemperaturePage>(pages_[1], hooks_, controls_);
    voltagePage_ = std::make_unique<VoltagePage>(pages_[2], hooks_, controls_);
    summaryPage_ = std::make_unique<SummaryPage>(pages_[3], controls_);
    pages_[0]->show();
    for (int p = 1; p < 4; ++p) pages_[p]->hide();
    showActivePage(0);
    layOut({1, 1, 1}, 1.0);
}

void MainWindow::layOut(const std::array<int, 3>& fanConfiguration, double dpiFactor) {
    dpiFactor_ = dpiFactor > 0 ? dpiFactor : 1.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().topLeft() + centredTopLeft(screen->geometry().size(), dpiFactor_));
    const bool dense = dpiFactor_ != 1.0;
    if (dense) {
        fanPage_->placeForDensity();
        temperaturePage_->placeForDensity();
        voltagePage_->placeForDensity();
    }
    fanPage_->layOut(fanConfiguration, dense);
    summaryPage_->layOut(fanConfiguration);
}

void MainWindow::showPresence(const ChannelPresence& presence) {
    temperaturePage_->showPresence(presence);
    voltagePage_->showPresence(presence);
    summaryPage_->showPresence(presence);
}

void MainWindow::showChannels(const std::array<int, 3>& fanConfiguration,
                              const std::array<bool, kChannelCount>& present) {
    fanPage_->layOut(fanConfiguration, dpiFactor_ != 1.0);
    summaryPage_->layOut(fanConfiguration);
    showPresence(ChannelPresence{present});
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

    activeButton_ = new QLabel(this);
    activeButton_->setAttribute(Qt::WA_TransparentForMouseEvents);
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
        controls_.add(Ctl::PagePanel, p, page);
    }
}

void MainWindow::showActivePage(int page) {
    if (page < 0 || page > 3) return;
    activePage_ = page;
    activeButton_->setPixmap(QPixmap::fromImage(buttonDown_[static_cast<std::size_t>(page)]));
    activeButton_->setGeometry(kButtonLeft, kButtonTops[static_cast<std::size_t>(page)], kButtonSize, kButtonSize);
    activeButton_->show();
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
    if (hooks_.events) hooks_.events->pausePolling();
    buttonTop_ = kButtonTops[static_cast<std::size_t>(item)];
    paintPressed(QRect(kButtonLeft, buttonTop_, kButtonSize, kButtonSize), btnTmp_,
                 buttonDown_[static_cast<std::size_t>(item)]);
    if (hooks_.events) hooks_.events->pageButtonPressed(item);
}

void MainWindow::pageButtonRelease() {
    restore({kButtonLeft, buttonTop_}, btnTmp_);
    if (hooks_.events) hooks_.events->resumePolling();
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
    if (hooks_.events) hooks_.events->pausePolling();
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
            if (hooks_.events) hooks_.events->windowClosedByOval();
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
    if (hooks_.events) hooks_.events->resumePolling();
}

void MainWindow::ovalDoubleClick(int item) {
    if (!ovalPressed_) return;
    paintPressed(QRect(ovalLeft_, kOvalTop, kOvalWidth, kOvalHeight), ovalTmp_,
                 ovalDown_[static_cast<std::size_t>(item)]);
}

void MainWindow::startMove(QPoint globalPress) {
    mover_->beginMove(*this, globalPress, [this] {
        if (hooks_.events) hooks_.events->resumePolling();
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
    if (hooks_.events) hooks_.events->pausePolling();
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
    if (hooks_.events) hooks_.events->backgroundReleased();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && hooks_.events) hooks_.events->formActivated();
    return QWidget::event(event);
}

// ---- MainView ----------------------------------------------------------------------

QWidget* MainWindow::control(ControlRef c) const { return controls_.find(c); }

void MainWindow::setText(ControlRef c, const std::string& text) {
    if (auto* l = dynamic_cast<TextLabel*>(control(c))) l->setLabelText(q(text));
}

void MainWindow::setVisible(ControlRef c, bool visible) {
    if (QWidget* w = control(c)) w->setVisible(visible);
    if (c.ctl == Ctl::PagePanel && visible) showActivePage(c.index);
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

void MainWindow::setChecked(int fan, bool checked) { fanPage_->setChecked(fan, checked); }
void MainWindow::drawFanDial(int fan, int threshold, int speed) { fanPage_->drawDial(fan, threshold, speed); }
void MainWindow::drawFanNeedle(int fan, int speed) { fanPage_->drawNeedle(fan, speed); }
void MainWindow::drawFanZone(int fan, int threshold) { fanPage_->drawZone(fan, threshold); }
void MainWindow::clearFanDial(int fan) { fanPage_->clearDial(fan); }

void MainWindow::drawTemperatureGauge(int gauge, int current, int threshold, int base) {
    temperaturePage_->draw(gauge, current, threshold, base);
}

void MainWindow::drawVoltageBar(int input, int base, float upper, float lower, float value) {
    voltagePage_->draw(input, base, upper, lower, value);
}

void MainWindow::setAlarmMark(SensorChannel channel, bool on) {
    const int c = static_cast<int>(channel);
    if (c < kFanCount) fanPage_->setAlarmMark(c, on);
    else if (c < kFanCount + kTempCount) temperaturePage_->setAlarmMark(c - kFanCount, on);
    else voltagePage_->setAlarmMark(c - kFanCount - kTempCount, on);
    summaryPage_->setAlarmMark(channel, on);
}

QWidget* MainWindow::alarmMark(SensorChannel channel) const {
    const int c = static_cast<int>(channel);
    if (c < kFanCount) return fanPage_->alarmMark(c);
    if (c < kFanCount + kTempCount) return temperaturePage_->alarmMark(c - kFanCount);
    return voltagePage_->alarmMark(c - kFanCount - kTempCount);
}

bool MainWindow::summaryAlarmMarkOn(SensorChannel channel) const { return summaryPage_->alarmMarkOn(channel); }

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
QWidget* MainWindow::spin(int fan) const { return fanPage_->spin(fan); }
QWidget* MainWindow::summaryCaption(int row) const { return summaryPage_->caption(row); }
QWidget* MainWindow::voltTitle() const { return voltagePage_->title(); }
QWidget* MainWindow::degreeLegend(int gauge) const { return temperaturePage_->degreeLegend(gauge); }
QWidget* MainWindow::scaleLabel(int gaugeOrBar, int k, bool voltage) const {
    return voltage ? voltagePage_->scaleLabel(gaugeOrBar, k) : temperaturePage_->scaleLabel(gaugeOrBar, k);
}

}  // namespace velmon::window
