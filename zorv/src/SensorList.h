// The text GetSensorList hands a program that lets the user choose which
// sensor each channel reads (its lines are described in zorv.h).
#pragma once

#include <string>

#include "Config.h"
#include "Source.h"

namespace zorv {

// savePath: the zorv.conf a choice is written to.
std::string sensorListText(const std::string& sourceName, Source& source, const Config& config,
                           const std::string& savePath);

// The first whole lines of text that fit in size - 1 bytes.
std::size_t wholeLinesWithin(const std::string& text, std::size_t size);

}  // namespace zorv
