// The monitor's number texts, shared by the core and the window.
#pragma once

#include <cstddef>
#include <string>

namespace velmon {

// A fan speed as a plain integer: "2600".
std::string fanText(int rpm);

// Summary page temperature: Celsius, "C/", Fahrenheit, "F" ("45C/113F").
// Computed wide enough that no 16-bit reading overflows.
std::string temperatureText(int celsius);

// Temperature page pair: Celsius, "/", Fahrenheit ("40/104").
std::string temperaturePair(int celsius);

// Fahrenheit of whole degrees Celsius, rounded to the nearest integer.
int fahrenheitOf(int celsius);

// Volts in the format "#0.0": "3.7", "-12.0", "0.5"; never "-0.0".
std::string voltText(float volts);

// The characters before the first NUL among the first min(size, 80) bytes.
std::string trimAtNull(const char* text, std::size_t size);

}  // namespace velmon
