// The threshold drags of the Temperature and Voltage pages.
#include "Monitor.h"

#include <cmath>

#include "Geometry.h"
#include "Texts.h"

namespace velmon {
namespace {

constexpr std::array<const char*, kTempCount> kGaugeTips{"CPU Temperature", "Mainboard Temperature"};

std::size_t at(int i) { return static_cast<std::size_t>(i); }

// Pointer rows arrive as doubles; the handlers take them rounded as the
// toolkit's integer conversion does (halves to even).
std::int16_t roundRow(double y) {
    const double r = std::nearbyint(y);
    if (!(r >= -32768.0 && r <= 32767.0)) return r < 0 ? std::int16_t{-32768} : std::int16_t{32767};
    return static_cast<std::int16_t>(r);
}

int clampDelta(double d) {
    const double r = std::nearbyint(d);
    if (!(r >= -1e6 && r <= 1e6)) return r < 0 ? -1000000 : 1000000;
    return static_cast<int>(r);
}

bool validGauge(int i) { return i >= 0 && i < kTempCount; }
bool validInput(int i) { return i >= 0 && i < kVoltCount; }

}  // namespace

// ---- Temperature pointers ----------------------------------------------------

void Monitor::temperaturePointerPressed(int gauge, double y) {
    if (!validGauge(gauge) || !watch_.temp(gauge)) return;
    pausePolling();
    ports_.view.setEnabled({Ctl::TempPointer, gauge}, false);
    tempDrag_.dragging[at(gauge)] = true;
    tempDrag_.grabY = roundRow(y);
}

void Monitor::temperatureGaugeMoved(int gauge, double y) {
    if (!validGauge(gauge) || !tempDrag_.dragging[at(gauge)]) return;
    const int delta = clampDelta(y - tempDrag_.grabY);
    const auto drag = geometry::temperatureDrag(delta, defaults_.gaugeBase[at(gauge)]);
    if (!drag) return;
    MainView& v = ports_.view;
    v.setToolTip({Ctl::TempGauge, gauge}, "");
    thresholds_.temp[at(gauge)] = static_cast<std::int16_t>(drag->threshold);
    v.setText({Ctl::TempWarnLabel, gauge}, temperaturePair(drag->threshold));
    evaluate(tempChannel(gauge));
    drawGauge(gauge);
}

void Monitor::endTemperatureDrag(int gauge) {
    tempDrag_.dragging[at(gauge)] = false;
    ports_.view.setEnabled({Ctl::TempPointer, gauge}, true);
    ports_.view.setToolTip({Ctl::TempGauge, gauge}, kGaugeTips[at(gauge)]);
}

void Monitor::temperatureGaugeReleased(int gauge) {
    if (!validGauge(gauge)) return;
    endTemperatureDrag(gauge);
    resumePolling();
}

void Monitor::temperaturePageReleased() {
    endTemperatureDrag(0);
    endTemperatureDrag(1);
    resumePolling();
}

// ---- Voltage markers --------------------------------------------------------------

void Monitor::voltageMarkerPressed(int input, bool upper, double y) {
    if (!validInput(input) || !watch_.volt(input)) return;
    pausePolling();
    ports_.view.setEnabled({upper ? Ctl::VoltUpMarker : Ctl::VoltDnMarker, input}, false);
    (upper ? voltDrag_.upDragging : voltDrag_.dnDragging)[at(input)] = true;
    voltDrag_.grabY[at(input)] = roundRow(y);
    voltDrag_.dragIndex = static_cast<std::int16_t>(input);
}

void Monitor::voltageBarMoved(int input, double y) {
    if (!validInput(input) || !watch_.volt(input)) return;
    const int delta = clampDelta(y - voltDrag_.grabY[at(input)]);
    const int base = kVoltageScaleBase[at(input)];
    MainView& v = ports_.view;
    if (voltDrag_.upDragging[at(input)]) {
        if (const auto d = geometry::voltageUpperDrag(delta, base, thresholds_.volDn[at(input)])) {
            thresholds_.volUp[at(input)] = d->threshold;
            v.setText({Ctl::VoltUpLabel, input}, voltText(d->threshold));
            drawBar(input);
        }
    }
    evaluate(voltChannel(input));
    if (voltDrag_.dnDragging[at(input)]) {
        if (const auto d = geometry::voltageLowerDrag(delta, base, thresholds_.volUp[at(input)])) {
            thresholds_.volDn[at(input)] = d->threshold;
            v.setText({Ctl::VoltDnLabel, input}, voltText(d->threshold));
            drawBar(input);
        }
        evaluate(voltChannel(input));
    }
}

void Monitor::voltageBarReleased() {
    const int i = voltDrag_.dragIndex;
    voltDrag_.upDragging[at(i)] = false;
    voltDrag_.dnDragging[at(i)] = false;
    ports_.view.setEnabled({Ctl::VoltUpMarker, i}, true);
    ports_.view.setEnabled({Ctl::VoltDnMarker, i}, true);
    resumePolling();
}

void Monitor::voltageMarkerReleased(bool overUpper) {
    const int i = voltDrag_.dragIndex;
    if (overUpper) {
        voltDrag_.dnDragging[at(i)] = false;
        ports_.view.setEnabled({Ctl::VoltDnMarker, i}, true);
    } else {
        voltDrag_.upDragging[at(i)] = false;
        ports_.view.setEnabled({Ctl::VoltUpMarker, i}, true);
    }
    resumePolling();
}

void Monitor::voltagePageReleased() { voltageBarReleased(); }

void Monitor::backgroundReleased() {
    endTemperatureDrag(0);
    endTemperatureDrag(1);
    voltageBarReleased();
}

}  // namespace velmon
