// frmStart: the shaped, always-on-top main window. The frame holds the page
// buttons, the ovals, the navigation and the routing of drags; each of the
// four pages (pages/) owns its controls, its layout and its painting. What
// the core tells the window through MainView goes to the page that owns it;
// presses, moves and releases go to the core's MainWindowEvents.
#pragma once

#include "Controls.h"
#include "PictureBox.h"
#include "WindowMover.h"
#include "pages/FanPage.h"
#include "pages/PageParts.h"
#include "pages/SummaryPage.h"
#include "pages/TemperaturePage.h"
#include "pages/VoltagePage.h"

#include "MonitorState.h"
#include "Ports.h"

#include <QImage>
#include <QLabel>
#include <QRegion>
#include <QWidget>

#include <array>
#include <memory>

namespace velmon::window {

// What the Setting and System ovals open, modally.
class DialogLauncher {
public:
    virtual ~DialogLauncher() = default;
    virtual void showSettings() = 0;
    virtual void showSystemInfo() = 0;
};

// The window's shape: the full 600 x 381 rectangle less a 10 x 16 notch at
// each bottom corner.
QRegion windowShape();

// Top-left corner of the window centred on a screen of that size, computed
// with the window's size scaled by the display density.
QPoint centredTopLeft(QSize screen, double dpiFactor);

class MainWindow final : public QWidget, public MainView {
public:
    // mover: how the window is dragged (null: the window manager's move).
    explicit MainWindow(WindowMover* mover = nullptr);
    ~MainWindow() override;

    void setEvents(MainWindowEvents* events) { hooks_.events = events; }
    void setDialogLauncher(DialogLauncher* launcher) { launcher_ = launcher; }

    // The load-time layout: centres the window for the display density,
    // places the fan dials for the board's fan configuration (CPU, power,
    // chassis; 0 = not fitted), hides what belongs to absent fans and, on
    // another density, moves the controls that keep their pixel positions.
    void layOut(const std::array<int, 3>& fanConfiguration, double dpiFactor);
    // Shows the temperatures and voltage inputs the machine does not have as
    // absent: a gauge that says so, an unlit bar without numbers, no Summary
    // value. Runs once, before the first reading; absent fans are left out by
    // the fan configuration that layOut gets.
    void showPresence(const ChannelPresence& presence);
    // The channels watched changed while running: laid out anew at the density of the load.
    void showChannels(const std::array<int, 3>& fanConfiguration,
                      const std::array<bool, kChannelCount>& present) override;

    // MainView
    void setText(ControlRef control, const std::string& text) override;
    void setVisible(ControlRef control, bool visible) override;
    [[nodiscard]] bool isVisible(ControlRef control) const override;
    void setEnabled(ControlRef control, bool enabled) override;
    void setToolTip(ControlRef control, const std::string& text) override;
    void setChecked(int fan, bool checked) override;
    void drawFanDial(int fan, int threshold, int speed) override;
    void drawFanNeedle(int fan, int speed) override;
    void drawFanZone(int fan, int threshold) override;
    void clearFanDial(int fan) override;
    void drawTemperatureGauge(int gauge, int current, int threshold, int base) override;
    void drawVoltageBar(int input, int base, float upper, float lower, float value) override;
    void setAlarmMark(SensorChannel channel, bool on) override;
    [[nodiscard]] bool isWindowVisible() const override;
    void showWindow() override;
    void hideWindow() override;
    void setTopmost(bool topmost) override;

    // For the tests and the screenshots.
    [[nodiscard]] QWidget* control(ControlRef control) const;
    [[nodiscard]] const QImage& layer() const { return layer_; }
    [[nodiscard]] QWidget* pageButton(int item) const;
    [[nodiscard]] QWidget* oval(int item) const;
    [[nodiscard]] QWidget* spin(int fan) const;
    [[nodiscard]] QWidget* summaryCaption(int row) const;  // Label1 … Label12 by number
    [[nodiscard]] QWidget* voltTitle() const;
    // The notes for a machine without fans (Fan page, Summary) or voltages (Summary).
    [[nodiscard]] QWidget* noFanPageNote() const { return fanPage_->noFanNote(); }
    [[nodiscard]] QWidget* noFanSummaryNote() const { return summaryPage_->noFanNote(); }
    [[nodiscard]] QWidget* noVoltSummaryNote() const { return summaryPage_->noVoltNote(); }
    [[nodiscard]] QWidget* degreeLegend(int gauge) const;
    [[nodiscard]] QWidget* scaleLabel(int gaugeOrBar, int k, bool voltage) const;
    [[nodiscard]] bool isTopmost() const;
    // The steady mark of a channel on its page (a frame) and on the Summary.
    [[nodiscard]] QWidget* alarmMark(SensorChannel channel) const;
    [[nodiscard]] bool summaryAlarmMarkOn(SensorChannel channel) const;
    // The page whose button is shown held down.
    [[nodiscard]] int activePage() const { return activePage_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildFrame();
    // The button of the page on show stays drawn pressed, over the frame's
    // own picture, so the pressed images of a click keep their rules.
    void showActivePage(int page);

    // Pressed-button feedback: the area under the button is saved first.
    void paintPressed(QRect area, QImage& saveTo, const QImage& pressed);
    void restore(QPoint at, const QImage& saved);

    void pageButtonPress(int item);
    void pageButtonRelease();
    void pageButtonDoubleClick(int item);
    void ovalPress(int item, Qt::MouseButton button, QPoint pos);
    void ovalRelease(int item);
    void ovalDoubleClick(int item);
    [[nodiscard]] bool insideOval(QPoint pos) const;

    // A pointer or marker drag sends moves and releases to whatever lies
    // under the pointer, as a control that gave up the mouse would.
    void beginRoutedDrag();
    void startMove(QPoint globalPress);

    PageHooks hooks_;
    ControlTable controls_;
    DialogLauncher* launcher_ = nullptr;
    std::unique_ptr<SystemWindowMover> ownMover_;
    WindowMover* mover_ = nullptr;
    double dpiFactor_ = 1.0;
    bool routing_ = false;

    QImage background_, layer_;
    std::array<QImage, 4> buttonDown_;
    std::array<QImage, 3> ovalDown_;
    QImage ovalMask_, btnTmp_, ovalTmp_;
    bool ovalPressed_ = false;
    int ovalLeft_ = 518;
    int buttonTop_ = 31;

    std::array<HotArea*, 4> pageButtons_{};
    std::array<HotArea*, 3> ovals_{};
    std::array<PictureBox*, 4> pages_{};
    QLabel* activeButton_ = nullptr;
    int activePage_ = 0;

    std::unique_ptr<FanPage> fanPage_;
    std::unique_ptr<TemperaturePage> temperaturePage_;
    std::unique_ptr<VoltagePage> voltagePage_;
    std::unique_ptr<SummaryPage> summaryPage_;
};

}  // namespace velmon::window
