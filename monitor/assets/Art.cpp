#include "Art.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>

#include <array>

namespace velmon::art {
namespace {

// How a drawing is turned into a picture. Drawings with several layers show
// them through the placeholders @BASE@, @PRESSED@ and @MASK@ ("inline" or
// "none"); templates shared by several pictures take their text for @NAME@.
enum class Look {
    Plain,
    Crisp,    // no antialiasing: shapes that must match another picture pixel for pixel
    Pressed,  // the base layer with the pressed layer over it
    Mask,     // the mask layer alone, crisp, forced to pure black and white
    Masked,   // the base layer, crisp, pure white wherever the mask layer is black
    Grey,     // rendered plain, then turned into shades of grey
};

// One row per picture. The pressed buttons are cut from one drawing of the
// panel with every button down, so they line up with the background exactly.
struct Entry {
    const char* file;
    const char* name;
    Look look;
    QRect part;  // the part of the drawing shown; empty: all of it
    QSize size;
    bool opaque;
    const char* textSize = "11";  // for @SIZE@: long names get a smaller font
    const char* body = "#c0c0c0";    // for @BODY@ and @SCREEN@: the tray icon's case
    const char* screen = "#000080";  // and its screen
};

constexpr std::size_t kArtCount = static_cast<std::size_t>(Art::AppIcon) + 1;

const Entry& entry(Art id) {
    using L = Look;
    static const std::array<Entry, kArtCount> table{{
        {"panel.svg", "", L::Plain, {}, {600, 381}, true},
        {"panel.svg", "", L::Pressed, {523, 31, 45, 45}, {45, 45}, true},
        {"panel.svg", "", L::Pressed, {523, 99, 45, 45}, {45, 45}, true},
        {"panel.svg", "", L::Pressed, {523, 165, 45, 45}, {45, 45}, true},
        {"panel.svg", "", L::Pressed, {523, 233, 45, 45}, {45, 45}, true},
        {"panel.svg", "", L::Pressed, {518, 317, 58, 39}, {58, 39}, true},
        {"panel.svg", "", L::Pressed, {446, 317, 58, 39}, {58, 39}, true},
        {"panel.svg", "", L::Pressed, {372, 317, 58, 39}, {58, 39}, true},
        {"panel.svg", "", L::Mask, {518, 317, 58, 39}, {58, 39}, true},
        {"page.svg", "", L::Plain, {}, {458, 253}, true},
        {"dial.svg", "CPU", L::Plain, {}, {135, 195}, true},
        {"dial.svg", "Power", L::Plain, {}, {135, 195}, true},
        {"dial.svg", "Chassis", L::Plain, {}, {135, 195}, true},
        {"gauge.svg", "CPU", L::Plain, {}, {120, 204}, true},
        {"gauge.svg", "Mainboard", L::Plain, {}, {120, 204}, true, "9"},
        {"stick.svg", "", L::Masked, {}, {28, 150}, true},
        {"stick.svg", "", L::Mask, {}, {28, 150}, true},
        {"pointer.svg", "", L::Plain, {}, {9, 17}, false},
        {"degree.svg", "", L::Plain, {}, {45, 17}, false},
        {"bar.svg", "VCORE", L::Plain, {}, {73, 220}, true, "9"},
        {"bar.svg", "+3.3V", L::Plain, {}, {73, 220}, true, "9"},
        {"bar.svg", "+5V", L::Plain, {}, {73, 220}, true, "9"},
        {"bar.svg", "+12V", L::Plain, {}, {73, 220}, true, "9"},
        {"bar.svg", "-12V", L::Plain, {}, {73, 220}, true, "9"},
        {"bar.svg", "-5V", L::Plain, {}, {73, 220}, true, "9"},
        {"marker.svg", "", L::Plain, {}, {10, 5}, false},
        {"volt-title.svg", "", L::Plain, {}, {454, 32}, true},
        {"tray.svg", "#ffffff", L::Plain, {}, {32, 32}, false},
        // The alert image is red all over, not only in its lamp: the tray
        // shows it at 16 pixels, where a lamp alone is a dot.
        {"tray.svg", "#ff2020", L::Plain, {}, {32, 32}, false, "11", "#e01010", "#600000"},
        {"tray.svg", "#ffffff", L::Grey, {}, {32, 32}, false},
        {"logo.svg", "", L::Plain, {}, {490, 191}, true},
        {"tray.svg", "#ffffff", L::Plain, {}, {32, 32}, false},
    }};
    return table[static_cast<std::size_t>(id)];
}

QByteArray shown(bool on) { return on ? QByteArrayLiteral("inline") : QByteArrayLiteral("none"); }

QImage render(const Entry& e, Look look) {
    const QImage::Format format = e.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    QImage out(e.size, format);
    out.fill(e.opaque ? Qt::black : Qt::transparent);

    QFile file(QStringLiteral(":/velmon/art/") + QLatin1String(e.file));
    if (!file.open(QIODevice::ReadOnly)) {
        out.fill(Qt::magenta);
        return out;
    }
    QByteArray svg = file.readAll();
    svg.replace("@NAME@", QString::fromLatin1(e.name).toHtmlEscaped().toLatin1());
    svg.replace("@SIZE@", e.textSize);
    svg.replace("@BODY@", e.body);
    svg.replace("@SCREEN@", e.screen);
    svg.replace("@BASE@", shown(look != Look::Mask));
    svg.replace("@PRESSED@", shown(look == Look::Pressed));
    svg.replace("@MASK@", shown(look == Look::Mask));
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        out.fill(Qt::magenta);
        return out;
    }
    if (!e.part.isEmpty()) renderer.setViewBox(QRectF(e.part));
    {
        QPainter p(&out);
        const bool crisp = look == Look::Crisp || look == Look::Mask || look == Look::Masked;
        p.setRenderHint(QPainter::Antialiasing, !crisp);
        p.setRenderHint(QPainter::TextAntialiasing, !crisp);
        renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(e.size)));
    }
    if (look == Look::Mask) {
        for (int y = 0; y < out.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) row[x] = qGray(row[x]) >= 128 ? 0xffffffff : 0xff000000;
        }
    } else if (look == Look::Masked) {
        // the tube pair is combined bit by bit: outside the shape the tube must be pure white
        const QImage mask = render(e, Look::Mask);
        for (int y = 0; y < out.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < out.width(); ++x)
                if (m[x] == 0xff000000) row[x] = 0xffffffff;
        }
    } else if (look == Look::Grey) {
        for (int y = 0; y < out.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) {
                // premultiplied: the grey of a premultiplied colour stays premultiplied
                const int g = qGray(row[x]);
                row[x] = qRgba(g, g, g, qAlpha(row[x]));
            }
        }
    }
    return out;
}

template <std::size_t N>
Art pick(const std::array<Art, N>& items, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) index = 0;
    return items[static_cast<std::size_t>(index)];
}

QHash<int, QImage>& cache() {
    static QHash<int, QImage> renderings;
    return renderings;
}

}  // namespace

QImage image(Art id) {
    QHash<int, QImage>& cache = art::cache();
    const int key = static_cast<int>(id);
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    QImage img = render(entry(id), entry(id).look);
    cache.insert(key, img);
    return img;
}

void trim() {
    QHash<int, QImage>& cache = art::cache();
    for (auto it = cache.begin(); it != cache.end();) {
        const auto id = static_cast<Art>(it.key());
        // The tube pair is drawn again at every change of a gauge.
        const bool redrawn = id == Art::Stick || id == Art::StickSilhouette;
        if (!redrawn && it->isDetached()) it = cache.erase(it);
        else ++it;
    }
}

bool cached(Art id) { return art::cache().contains(static_cast<int>(id)); }

QSize size(Art id) { return entry(id).size; }

Art buttonDown(int item) {
    return pick(std::array{Art::ButtonFanDown, Art::ButtonTempDown, Art::ButtonVoltDown, Art::ButtonSummaryDown}, item);
}
Art ovalDown(int item) { return pick(std::array{Art::OvalCloseDown, Art::OvalSettingDown, Art::OvalSystemDown}, item); }
Art dialPlate(int fan) { return pick(std::array{Art::DialCpu, Art::DialPower, Art::DialChassis}, fan); }
Art gauge(int index) { return pick(std::array{Art::GaugeCpu, Art::GaugeMainboard}, index); }
Art voltageBar(int channel) {
    return pick(std::array{Art::BarVcore, Art::BarVcore, Art::BarPlus3V3, Art::BarPlus5V, Art::BarPlus12V,
                           Art::BarMinus12V, Art::BarMinus5V},
                channel);
}

}  // namespace velmon::art
