#include "Texts.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace velmon {

std::string fanText(int rpm) { return std::to_string(rpm); }

int fahrenheitOf(int celsius) {
    // c * 9 / 5 always has a fraction of 0, .2, .4, .6 or .8, so rounding
    // is never a tie; 64-bit keeps every 16-bit reading exact.
    const std::int64_t nine = static_cast<std::int64_t>(celsius) * 9;
    return static_cast<int>(std::llround(static_cast<double>(nine) / 5.0 + 32.0));
}

std::string temperatureText(int celsius) {
    return std::to_string(celsius) + "C/" + std::to_string(fahrenheitOf(celsius)) + "F";
}

std::string temperaturePair(int celsius) {
    const float f = static_cast<float>(celsius) * 9.0F / 5.0F + 32.0F;
    return std::to_string(celsius) + "/" + std::to_string(static_cast<long>(std::lround(f)));
}

std::string voltText(float volts) {
    if (!std::isfinite(volts)) {
        return "0.0";
    }
    // Round the value as it is written (its shortest decimal form), half away
    // from zero, so 3.35 shows 3.4 although its binary value lies just below.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, volts, std::chars_format::fixed);
    if (res.ec != std::errc{}) {
        return "0.0";
    }
    std::string digits(buf, res.ptr);
    bool negative = false;
    if (!digits.empty() && digits.front() == '-') {
        negative = true;
        digits.erase(0, 1);
    }
    std::string whole = digits;
    std::string frac;
    if (const auto dot = digits.find('.'); dot != std::string::npos) {
        whole = digits.substr(0, dot);
        frac = digits.substr(dot + 1);
    }
    if (whole.empty()) {
        whole = "0";
    }
    int tenth = frac.empty() ? 0 : frac[0] - '0';
    const bool up = frac.size() > 1 && frac[1] >= '5';
    if (up) {
        ++tenth;
        if (tenth == 10) {
            tenth = 0;
            // Carry into the whole part.
            int i = static_cast<int>(whole.size()) - 1;
            while (i >= 0) {
                if (whole[static_cast<std::size_t>(i)] == '9') {
                    whole[static_cast<std::size_t>(i)] = '0';
                    --i;
                } else {
                    ++whole[static_cast<std::size_t>(i)];
                    break;
                }
            }
            if (i < 0) {
                whole.insert(whole.begin(), '1');
            }
        }
    }
    const bool zero = tenth == 0 && whole.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (negative && !zero) {
        out += '-';
    }
    out += whole;
    out += '.';
    out += static_cast<char>('0' + tenth);
    return out;
}

std::string trimAtNull(const char* text, std::size_t size) {
    if (text == nullptr) {
        return {};
    }
    const std::size_t limit = size < 80 ? size : 80;
    const void* nul = std::memchr(text, '\0', limit);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : limit;
    return std::string(text, length);
}

}  // namespace velmon
