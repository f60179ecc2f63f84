#include "AppEnvironment.h"

#include "InstanceBeacon.h"

#include <platform/ModulePath.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace velmon::app {

bool AppEnvironment::anotherInstanceRunning() {
    if (!lock_.anotherInstanceRunning()) return false;
    // Whether or not it answers, this start ends silently.
    static_cast<void>(askRunningInstanceToShow(beaconPath()));
    return true;
}

QString AppEnvironment::beaconPath() const { return beaconPathFor(QString::fromStdString(lock_.path())); }

double AppEnvironment::logicalDpiX() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

std::string AppEnvironment::programDirectory() const {
    return platform::directoryOf(platform::executablePath());
}

void AppEnvironment::quit(int status) { QCoreApplication::exit(status); }

}  // namespace velmon::app
