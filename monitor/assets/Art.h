// Velmon's artwork: every picture of the main window, the tray and the logo
// banner, drawn as SVG and rendered at its fixed pixel size on first use.
// Rendering needs a QGuiApplication (the texts use Liberation Sans).
#pragma once

#include <QImage>
#include <QSize>

namespace velmon::art {

enum class Art {
    Panel,             // 600 x 381 main window background
    ButtonFanDown,     // 45 x 45 pressed page buttons, in lblBtn order
    ButtonTempDown,
    ButtonVoltDown,
    ButtonSummaryDown,
    OvalCloseDown,     // 58 x 39 pressed ovals, in lblOval order
    OvalSettingDown,
    OvalSystemDown,
    OvalMask,          // 58 x 39, white inside the oval, black outside
    PageTexture,       // 458 x 253 page panel background
    DialCpu,           // 135 x 195 dial plates
    DialPower,
    DialChassis,
    GaugeCpu,          // 120 x 204 thermometer backgrounds
    GaugeMainboard,
    Stick,             // 28 x 150 tube on white
    StickSilhouette,   // 28 x 150 white tube shape on black
    Pointer,           // 9 x 17 threshold pointer, tip on row 8
    DegreeLegend,      // 45 x 17 degree C / degree F legend
    BarVcore,          // 73 x 220 voltage bar backgrounds
    BarPlus3V3,
    BarPlus5V,
    BarPlus12V,
    BarMinus12V,
    BarMinus5V,
    Marker,            // 10 x 5 voltage threshold marker
    VoltTitle,         // 454 x 32 voltage page title strip
    TrayNormal,        // 32 x 32 tray icons: white lamp, red lamp, greys
    TrayAlert,
    TrayOff,
    LogoBanner,        // 490 x 191
    AppIcon,           // 32 x 32
};

// The picture at its fixed size. Opaque pictures come as Format_RGB32 (the
// tube pair among them, for the OR/AND copies); the tray icons, the app icon,
// the pointer, the marker and the degree legend as Format_ARGB32_Premultiplied with transparent
// surroundings. Cached: later calls share the first rendering until trim().
// A picture that cannot be rendered comes back filled magenta at its size,
// never null.
QImage image(Art id);
// Lets go of the renderings no one else holds any more (a window built and
// drawn into its own copies, a closed logo window); a later image() renders
// them again. The pictures the painters draw again and again stay.
void trim();
// Whether a rendering of the picture is kept.
bool cached(Art id);
QSize size(Art id);

// Lookups by control-array index; out-of-range indexes fall back to item 0.
Art buttonDown(int item);     // lblBtn item 0 Fan … 3 Summary
Art ovalDown(int item);       // lblOval item 0 Close, 1 Setting, 2 System
Art dialPlate(int fan);       // 0 CPU, 1 power, 2 chassis
Art gauge(int index);         // 0 CPU, 1 mainboard
Art voltageBar(int channel);  // voltage input 0 … 6 (input 1 shares VCORE)

}  // namespace velmon::art
