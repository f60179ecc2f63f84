#include "IntervalText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace velmon::dialogs {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    // An exponent counts only when digits follow it ("12e" is 12).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    std::string number(text.substr(start, i - start));
    if (number.front() == '+') {
        number.erase(0, 1);
    }
    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        return number.front() == '-' ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
    }
    return res.ec == std::errc{} ? value : 0.0;
}

long roundHalfEven(double value) {
    const double whole = std::floor(value);
    const double fraction = value - whole;
    double r = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        r = whole + 1.0;
    }
    if (!(r > static_cast<double>(std::numeric_limits<long>::min()))) {
        return std::numeric_limits<long>::min();
    }
    if (!(r < static_cast<double>(std::numeric_limits<long>::max()))) {
        return std::numeric_limits<long>::max();
    }
    return static_cast<long>(r);
}

std::optional<std::int16_t> intervalFromText(std::string_view text) {
    const double v = leadingNumber(text);
    if (v > 0.0 && v < 61.0) {
        return static_cast<std::int16_t>(roundHalfEven(v));
    }
    return std::nullopt;
}

std::int16_t intervalFromSpinText(std::string_view text) {
    const double v = leadingNumber(text);
    if (std::isnan(v)) {
        return 0;
    }
    const long r = roundHalfEven(v);
    if (r < std::numeric_limits<std::int16_t>::min()) {
        return std::numeric_limits<std::int16_t>::min();
    }
    if (r > std::numeric_limits<std::int16_t>::max()) {
        return std::numeric_limits<std::int16_t>::max();
    }
    return static_cast<std::int16_t>(r);
}

int spinStep(std::string_view boxText, int lastPosition, bool up) {
    int position = lastPosition;
    std::size_t i = 0;
    while (i < boxText.size() && isBlank(boxText[i])) {
        ++i;
    }
    int whole = 0;
    const auto res = std::from_chars(boxText.data() + i, boxText.data() + boxText.size(), whole);
    if (res.ec == std::errc{} && res.ptr == boxText.data() + boxText.size() && whole >= kSpinMin &&
        whole <= kSpinMax) {
        position = whole;
    }
    position += up ? 1 : -1;
    if (position < kSpinMin) {
        position = kSpinMin;
    }
    if (position > kSpinMax) {
        position = kSpinMax;
    }
    return position;
}

}  // namespace velmon::dialogs
