// The Settings dialog's interval boxes: how a typed text becomes seconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmon::dialogs {

// The number at the start of text: leading blanks skipped, an optional sign,
// digits with an optional fraction and exponent. A text that does not start
// with a number gives 0.
double leadingNumber(std::string_view text);

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
long roundHalfEven(double value);

// txtSec_Change: the new interval when 0 < v < 61, otherwise nothing
// (the interval keeps its value).
std::optional<std::int16_t> intervalFromText(std::string_view text);

// UpDownSec_Change: the text's number rounded the same way, with no range
// test; values beyond 16 bits are clamped rather than wrapped.
std::int16_t intervalFromSpinText(std::string_view text);

inline constexpr int kSpinMin = 1;
inline constexpr int kSpinMax = 60;

// One arrow press of a spin control bound to a text box: it starts from the
// box's whole number when that lies within 1 ... 60, else from its own last
// position, and stays within 1 ... 60.
int spinStep(std::string_view boxText, int lastPosition, bool up);

}  // namespace velmon::dialogs
