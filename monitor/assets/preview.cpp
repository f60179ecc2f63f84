// Writes every picture as a PNG so the artwork can be looked at.
#include "Art.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    const char* names[] = {"panel", "btn-fan-down", "btn-temp-down", "btn-volt-down", "btn-summary-down",
                           "oval-close-down", "oval-setting-down", "oval-system-down", "oval-mask", "page",
                           "dial-cpu", "dial-power", "dial-chassis", "gauge-cpu", "gauge-mb", "stick",
                           "stick-silhouette", "pointer", "degree", "bar-vcore", "bar-3v3", "bar-5v", "bar-12v",
                           "bar-m12v", "bar-m5v", "marker", "volt-title", "tray-normal", "tray-alert", "tray-off",
                           "logo", "app-icon"};
    int i = 0;
    for (const char* n : names) {
        const QImage img = velmon::art::image(static_cast<velmon::art::Art>(i++));
        if (!img.save(dir + QLatin1Char('/') + QLatin1String(n) + QStringLiteral(".png"))) {
            std::fprintf(stderr, "cannot write %s\n", n);
            return 1;
        }
    }
    return 0;
}
