// Typed interval texts and program paths for the autostart entry.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Autostart.h"
#include "IntervalText.h"

using namespace velmon::dialogs;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const double v = leadingNumber(text);
    if (const auto seconds = intervalFromText(text)) {
        // Only numbers inside the open range 0 ... 61 are taken.
        if (!(v > 0.0 && v < 61.0) || *seconds < 0 || *seconds > 61) std::abort();
    }
    (void)intervalFromSpinText(text);
    for (const bool up : {false, true}) {
        const int p = spinStep(text, 30, up);
        if (p < kSpinMin || p > kSpinMax) std::abort();
    }

    // The Exec value never holds a raw line break or a lone percent sign.
    const std::string exec = execArgument(text);
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == '\n' || exec[i] == '\r') std::abort();
        if (exec[i] == '%') {
            if (i + 1 >= exec.size() || exec[i + 1] != '%') std::abort();
            ++i;
        }
    }
    return 0;
}
