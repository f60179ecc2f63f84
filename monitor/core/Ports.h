// The monitor core reaches everything outside itself through these small
// interfaces: the sensor library, the settings file, the main window's
// controls, the tray, the timers, the beeper and the message boxes. The Qt
// side implements them; the core's tests use fakes that record what happened.
// The core calls back into nothing but these; the Qt side calls the core
// through the event interfaces at the end of this file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velmon {

// ---- Sensor library and CPU data library ----------------------------------

enum class SensorChannel : int {
    CpuFan, PowerFan, ChassisFan, CpuTemp, MbTemp, In0, In1, In2, In3, In4, In5, In6
};
inline constexpr int kChannelCount = 12;
inline constexpr std::int32_t kAllChannels = (1 << kChannelCount) - 1;

// The 80-byte string buffer that crosses the library boundary.
inline constexpr std::size_t kTextBuffer = 80;
using TextBuffer = std::array<char, kTextBuffer>;

enum class DmiText { MBProduct, MBManufacturer, BIOSVender, BIOSVersion, CPUName };

// Where a channel's default threshold comes from, as libzorv says.
enum class DefaultOrigin { System, Chip, Today };

// A machine default in the library's units: a fan's lower RPM, a
// temperature's upper degrees Celsius, a voltage's band in millivolts.
struct ChannelDefault {
    DefaultOrigin origin = DefaultOrigin::System;
    std::int32_t lower = 0, upper = 0;
};

// libzorv, bound by name. Readings: RPM, whole degrees Celsius, millivolts.
class SensorPort {
public:
    virtual ~SensorPort() = default;
    virtual std::int16_t read(SensorChannel channel) = 0;
    // Writes the library's answer into buffer (the library owns nothing of it).
    virtual void text(DmiText query, TextBuffer& buffer) = 0;
    virtual std::int16_t mbClock() = 0;
    // Why the library's source cannot be used (an unknown source name,
    // libsensors missing); empty when it can, and from a library that cannot tell.
    virtual std::string sourceError() { return {}; }
    // Why the source finds no chip at all (no driver under /sys/class/hwmon),
    // with what to do; empty when it finds one or cannot tell.
    virtual std::string noChipReason() { return {}; }
    // Bit i set when the source can measure channel i. A library that does
    // not say has every channel.
    virtual std::int32_t channelMask() { return kAllChannels; }
    // The machine's own default threshold of a channel, where the library
    // knows one; nothing where the system's default holds.
    virtual std::optional<ChannelDefault> channelDefault(SensorChannel) { return std::nullopt; }
    // GetSensorList's lines; nothing from a library that cannot list.
    virtual std::optional<std::string> sensorList() { return std::nullopt; }
    // SetChannelSensors with "CHANNEL = VALUE" lines: true when written;
    // message gets the path written or why nothing was.
    virtual bool saveChannelSensors(const std::string& choices, std::string& message) {
        static_cast<void>(choices);
        message = "This sensor library cannot save a choice of sensors.";
        return false;
    }
    // ReloadSensors: the library reads its configuration anew; false from one
    // that cannot.
    virtual bool reloadSensors() { return false; }
    // Bit i set when the last read of channel i failed: the 0 it gave is no
    // reading. A library that does not say never fails.
    virtual std::int32_t readFailures() { return 0; }
};

// libzorvahd, bound by name.
class CpuDataPort {
public:
    virtual ~CpuDataPort() = default;
    virtual std::int32_t writeCpuInfoIntoRegistry() = 0;
};

// ---- Settings ----------------------------------------------------------------

// Text values of the section "ZORVMonitor" of the application "Velmon".
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    virtual std::optional<std::string> read(const std::string& key) = 0;
    virtual void write(const std::string& key, const std::string& value) = 0;
};

// ---- Time, sound, questions -------------------------------------------------

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;
    [[nodiscard]] virtual bool isEnabled() const = 0;
};

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void simpleBeep() = 0;    // MessageBeep(0xFFFFFFFF)
    virtual void standardBeep() = 0;  // MessageBeep(0)
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Style 64: information icon, OK.
    virtual void information(const std::string& title, const std::string& text) = 0;
    // Style 36: question icon, Yes and No; true for Yes.
    virtual bool question(const std::string& title, const std::string& text) = 0;
};

// ---- Tray --------------------------------------------------------------------

enum class TrayImage { Normal = 0, Alert = 1, Off = 2 };  // picIcon items 0, 1, 2

struct TrayIconRecord {
    std::uint32_t cbSize = 88;
    std::uint32_t hWnd = 0;
    std::uint32_t uID = 1;
    std::uint32_t uFlags = 7;
    std::uint32_t uCallbackMessage = 512;
    TrayImage hIcon = TrayImage::Normal;
    std::array<char, 64> szTip{};  // text, a NUL, then blanks to the end
};

class TrayPort {
public:
    virtual ~TrayPort() = default;
    virtual void add(const TrayIconRecord& record) = 0;     // NIM_ADD
    virtual void modify(const TrayIconRecord& record) = 0;  // NIM_MODIFY
    virtual void remove(const TrayIconRecord& record) = 0;  // NIM_DELETE
    // Shows the popup menu ("On", "Off", "-", "Exit") at the pointer and
    // returns when it has closed; a chosen command has run by then.
    virtual void popupMenu() = 0;
    // The check marks of "On" and "Off".
    virtual void setMenuChecks(bool on, bool off) = 0;
};

// ---- The main window frmStart --------------------------------------------------

enum class Page { Fan = 0, Temp = 1, Volt = 2, Status = 3 };  // picFan, picTemp, picVolt, picStatus

// Controls the core writes to. The index is the fan (0 CPU, 1 power,
// 2 chassis), the gauge (0 CPU, 1 mainboard), the voltage input (0 … 6) or the page.
enum class Ctl {
    FanSpeedLabel,      // lblCPU, lblPower, lblChassis
    FanWarnLabel,       // lblCPUWarn, lblPowerWarn, lblChassisWarn
    FanDial,            // picCPU, picPower, picChassis
    FanCheck,           // chkCPU, chkPower, chkChassis
    FanInstLabel,       // lblCPUInst, lblPowerInst, lblChassisInst
    FanSummaryValue,    // lblSFanCPU, lblSFanPower, lblSFanChassis
    FanSummaryCaption,  // Label1, Label2, Label3
    TempLabel,          // lblTemp(i)
    TempWarnLabel,      // lblTempWarn(i)
    TempGauge,          // picCPUTmp, picMBTmp
    TempPointer,        // picCPUPtr, picMBPtr
    TempSummaryValue,   // lblSTempCPU, lblSTempMB
    VoltLabel,          // lblVa(i)
    VoltUpLabel,        // lblVaUp(i)
    VoltDnLabel,        // lblVaDn(i)
    VoltBar,            // picVa(i)
    VoltUpMarker,       // picVolUp(i)
    VoltDnMarker,       // picVolDn(i)
    VoltSummaryValue,   // lblSVa(i)
    PagePanel,          // picFan, picTemp, picVolt, picStatus (index = Page)
};

struct ControlRef {
    Ctl ctl;
    int index = 0;
    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

class MainView {
public:
    virtual ~MainView() = default;

    virtual void setText(ControlRef control, const std::string& text) = 0;
    virtual void setVisible(ControlRef control, bool visible) = 0;
    [[nodiscard]] virtual bool isVisible(ControlRef control) const = 0;
    virtual void setEnabled(ControlRef control, bool enabled) = 0;
    virtual void setToolTip(ControlRef control, const std::string& text) = 0;
    // Sets a fan check box without running any handler: the core runs the
    // click handling itself exactly when the state changes.
    virtual void setChecked(int fan, bool checked) = 0;
    // The channels watched changed while running: the pages laid out anew for
    // the fans fitted (CPU, power, chassis; 0 = not) and the channels present.
    virtual void showChannels(const std::array<int, 3>& fans, const std::array<bool, kChannelCount>& present) {
        static_cast<void>(fans);
        static_cast<void>(present);
    }

    // The page drawings. Each paints into its picture's own image and sets the
    // captions and marker or pointer positions its procedure owns.
    virtual void drawFanDial(int fan, int threshold, int speed) = 0;   // DrawFanDial
    virtual void drawFanNeedle(int fan, int speed) = 0;                // DrawFanNeedle
    virtual void drawFanZone(int fan, int threshold) = 0;              // UpDownFan_Change step 4
    virtual void clearFanDial(int fan) = 0;                            // back to the dial's background
    virtual void drawTemperatureGauge(int gauge, int current, int threshold, int base) = 0;
    virtual void drawVoltageBar(int input, int base, float upper, float lower, float value) = 0;
    // The alarmed channel's steady mark on its page and its Summary row, on
    // while its alarm flag is set; the blinking labels alone are easy to miss.
    virtual void setAlarmMark(SensorChannel channel, bool on) {
        (void)channel;
        (void)on;
    }

    // The window itself.
    [[nodiscard]] virtual bool isWindowVisible() const = 0;
    virtual void showWindow() = 0;  // non-modal
    virtual void hideWindow() = 0;
    virtual void setTopmost(bool topmost) = 0;
};

// frmLogo as the tray and startup see it.
class LogoView {
public:
    virtual ~LogoView() = default;
    [[nodiscard]] virtual bool isVisible() const = 0;
    virtual void show() = 0;    // non-modal; its load pauses both timers
    virtual void unload() = 0;  // no effect when not loaded; runs its closing steps
};

// What startup learns from the machine and the process.
class Environment {
public:
    virtual ~Environment() = default;
    // True when another Velmon holds the instance lock (this process then ends).
    virtual bool anotherInstanceRunning() = 0;
    // The screen's horizontal logical dots per inch.
    [[nodiscard]] virtual double logicalDpiX() const = 0;
    // The program's own directory (MBFAN.INI lives there).
    [[nodiscard]] virtual std::string programDirectory() const = 0;
    // Ends the program with this status after the current handler.
    virtual void quit(int status) = 0;
};

// ---- Events the Qt side delivers to the core ---------------------------------

// frmStart's handlers that change monitor state. Pixel work (pressed images,
// window moves) stays in the window; these are the rules behind it.
class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;
    virtual void tmrMonitorTick() = 0;
    virtual void tmrWarnTick() = 0;
    virtual void fanCheckClicked(int fan, bool checked) = 0;       // chkCPU_Click …
    virtual void fanSpinChanged(int fan, bool up) = 0;             // UpDownFan click + _Change
    virtual void formActivated() = 0;                              // Form_Activate
    virtual void pageButtonPressed(int button) = 0;                // lblBtn_MouseDown page switch
    virtual void windowClosedByOval() = 0;                         // Close oval released
    virtual void temperaturePointerPressed(int gauge, double y) = 0;
    virtual void temperatureGaugeMoved(int gauge, double y) = 0;
    virtual void temperatureGaugeReleased(int gauge) = 0;
    virtual void temperaturePageReleased() = 0;                    // picTemp_MouseUp
    virtual void voltageMarkerPressed(int input, bool upper, double y) = 0;
    virtual void voltageBarMoved(int input, double y) = 0;         // picVa_MouseMove
    virtual void voltageBarReleased() = 0;                         // picVa_MouseUp
    virtual void voltageMarkerReleased(bool overUpper) = 0;        // picVolUp/Dn_MouseUp
    virtual void voltagePageReleased() = 0;                        // picVolt/picVoltWord_MouseUp
    virtual void backgroundReleased() = 0;                         // Form_MouseUp
    virtual void pausePolling() = 0;                               // a button held, a move
    virtual void resumePolling() = 0;
};

// frmTaskbar's handlers.
class TaskbarEvents {
public:
    virtual ~TaskbarEvents() = default;
    virtual void trayMessage(std::uint32_t message) = 0;  // 513 left down, 516 right down, …
    virtual void menuOn() = 0;
    virtual void menuOff() = 0;
    virtual void menuExit() = 0;
    virtual void queryUnload() = 0;  // the session ends: remove the icon (and save)
};

}  // namespace velmon
