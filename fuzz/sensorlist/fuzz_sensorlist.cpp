// Arbitrary bytes as the sensor library's list: the dialog's parser, the
// offers it builds for each channel and the labels made readable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "SensorsRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmon::dialogs;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    bool notUtf8 = false;
    const std::string label = readableLabel(text, &notUtf8);
    // What comes out is UTF-8 whatever went in.
    bool again = false;
    if (readableLabel(label, &again) != label || again) std::abort();
    const auto listing = parseSensorListing(text);
    if (!listing) return 0;
    for (int c = 0; c < velmon::kChannelCount; ++c) {
        for (const auto& offer : offersFor(c, *listing)) (void)splitChoice(offer.value);
        (void)splitChoice(listing->channels[static_cast<std::size_t>(c)].choice);
    }
    for (const auto& s : listing->sensors) (void)sensorValueText(s);
    return 0;
}
