#include "AppEnvironment.h"

#include <platform/ModulePath.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace velmon::app {

double AppEnvironment::logicalDpiX() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

std::string AppEnvironment::programDirectory() const {
    return platform::directoryOf(platform::executablePath());
}

void AppEnvironment::quit(int status) { QCoreApplication::exit(status); }

}  // namespace velmon::app
