// Arbitrary stored text through every settings conversion: none may crash,
// and whatever is accepted must write back to text that reads the same.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "SettingsStore.h"
#include "Texts.h"

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
    return 0;
}
