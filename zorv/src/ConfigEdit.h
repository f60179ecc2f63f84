// Writing the channel lines of zorv.conf for a user who chose sensors in a
// program: the other lines and the comments stay as they were, and the file
// is replaced whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Channels.h"

namespace zorv {

// A channel's choice: "none", a target ("nct6798-isa-0290/fan3", a voltage
// with " * FACTOR"), or empty for automatic (the built-in map: no line).
struct ChannelChoice {
    Channel channel;
    std::string value;
    bool operator==(const ChannelChoice&) const = default;
};

// The choices SetChannelSensors takes: "CHANNEL = VALUE" lines, VALUE
// "auto", "none" or a target. Nothing, with error set, when a line is wrong.
std::optional<std::vector<ChannelChoice>> parseChoices(std::string_view text, std::string& error);

struct ConfigEdit {
    bool ok = false;
    std::string text;   // the new file when ok
    std::string error;  // why not, otherwise
};

// zorv.conf's text with each chosen channel's line set (the first line naming
// it rewritten in place, later ones dropped, a missing one added at the end)
// or, for automatic, removed. Refuses a text it cannot take as zorv.conf:
// a NUL byte, a line that is neither blank, a comment nor "key = value", or
// more than a configuration's size.
ConfigEdit editConfigText(std::string_view text, const std::vector<ChannelChoice>& choices);

// Writes text to path through a temporary file beside it and a rename, so a
// reader sees the old file or the new one, never a part. The folder is made
// when missing. Empty on success, else what went wrong; the old file is then
// untouched and no temporary file is left.
std::string writeFileAtomically(const std::string& path, std::string_view text);

// Reads path (a missing file is an empty one), edits it and writes it back.
// Empty on success, else why nothing was written.
std::string saveChoices(const std::string& path, const std::vector<ChannelChoice>& choices);

}  // namespace zorv
