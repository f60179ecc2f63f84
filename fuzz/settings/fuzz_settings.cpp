// Arbitrary stored text through every settings conversion: none may crash,
// and whatever is accepted must write back to text that reads the same. As a
// threshold it must land inside its scale, and the page geometry of any
// threshold must stay defined and bounded.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "Geometry.h"
#include "MonitorState.h"
#include "SettingsStore.h"
#include "Texts.h"
#include "ThresholdLimits.h"

namespace {

struct OneValue : velmon::SettingsBackend {
    std::string text;
    std::optional<std::string> read(const std::string&) override { return text; }
    void write(const std::string&, const std::string& value) override { text = value; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto i = velmon::parseInt16(text)) {
        if (velmon::parseInt16(std::to_string(*i)) != i) std::abort();
    }
    if (const auto f = velmon::parseSingle(text)) {
        const std::string back = velmon::singleText(*f);
        const auto again = velmon::parseSingle(back);
        if (!again || (*again != *f && !(*f == 0.0F && *again == 0.0F))) std::abort();
        if (velmon::voltText(*f).empty()) std::abort();
    }
    if (const auto b = velmon::parseBool(text)) {
        if (velmon::parseBool(velmon::boolText(*b)) != b) std::abort();
    }
    OneValue backend;
    backend.text.assign(text);
    velmon::SettingsStore store(backend);
    const std::int16_t i = store.readInt("k", 5);
    const float f = store.readSingle("k", 3.7F);
    const bool b = store.readBool("k");
    static_cast<void>(velmon::fanText(i) + velmon::temperatureText(i) + velmon::temperaturePair(i));
    static_cast<void>(velmon::trimAtNull(reinterpret_cast<const char*>(data), size));
    store.writeSingle("k", f);
    store.writeBool("k", b);

    // As a stored threshold of every kind.
    namespace geo = velmon::geometry;
    const std::optional<std::string> stored{std::string(text)};
    const auto inside = [](double v, velmon::ThresholdRange r) { return r.low <= v && v <= r.high; };
    if (!inside(velmon::fanThresholdFrom(stored, 2800), velmon::fanThresholdRange())) std::abort();
    for (const int base : {40, 10, 50, 150}) {
        const std::int16_t t = velmon::temperatureThresholdFrom(stored, base, static_cast<std::int16_t>(base + 40));
        if (!inside(t, velmon::temperatureThresholdRange(base))) std::abort();
        static_cast<void>(geo::gaugePointerTop(base, t));
    }
    for (const int base : velmon::kVoltageScaleBase) {
        const float v = velmon::voltageThresholdFrom(stored, base, static_cast<float>(base) + 2.0F);
        // Volts are held in single precision: the ends as singles.
        const velmon::ThresholdRange r = velmon::voltageThresholdRange(base);
        if (!(static_cast<float>(r.low) <= v && v <= static_cast<float>(r.high))) std::abort();
        const geo::BarStep step = geo::barStep(base, v);
        if (step.slot < 0 || step.slot > 7) std::abort();
        // Whatever a float holds, the step count stays a defined int.
        static_cast<void>(geo::barStep(base, f));
        static_cast<void>(geo::voltageUpperDrag(60, base, f));
        static_cast<void>(geo::voltageLowerDrag(60, base, f));
    }
    static_cast<void>(geo::dialAngle(i) + geo::zoneStartAngle(i));
    static_cast<void>(geo::needleTip(geo::dialCentre(135, 195), i));
    return 0;
}
