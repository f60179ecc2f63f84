#include "ConfigEdit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "HwmonMap.h"
#include "platform/ByteCursor.h"
#include "platform/Files.h"

namespace zorv {
namespace {

constexpr std::size_t kConfigLimit = 1024 * 1024;  // as the reader's

struct Line {
    std::string_view text;  // without its end
    bool carriageReturn = false;
    bool newline = false;
};

// The lines of text through a bounded cursor; nothing when a byte is one a
// configuration never holds.
std::optional<std::vector<Line>> splitLines(std::string_view text, std::string& error) {
    const platform::ByteSpan span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    platform::ByteCursor cur(span);
    std::vector<Line> lines;
    std::size_t start = 0;
    while (auto b = cur.u8()) {
        if (*b == 0) {
            error = "it holds a NUL byte (line " + std::to_string(lines.size() + 1) + ")";
            return std::nullopt;
        }
        if (*b != '\n') continue;
        Line line{text.substr(start, cur.pos() - 1 - start), false, true};
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.remove_suffix(1);
            line.carriageReturn = true;
        }
        lines.push_back(line);
        start = cur.pos();
    }
    if (start < text.size()) lines.push_back({text.substr(start), false, false});
    return lines;
}

std::string_view keyOf(std::string_view line) {
    const std::string_view t = platform::trimBlanks(line);
    if (t.empty() || t.front() == '#' || t.front() == ';') return {};
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {};
    return platform::trimBlanks(t.substr(0, eq));
}

bool isStructural(std::string_view line) {
    const std::string_view t = platform::trimBlanks(line);
    return t.empty() || t.front() == '#' || t.front() == ';' || !keyOf(line).empty();
}

std::string checkValue(Channel channel, const std::string& value) {
    if (value.empty() || value == "none") return {};
    const auto target = hwmon::parseFeatureTarget(value);
    if (!target) return std::string(channelName(channel)) + " = " + value + ": not CHIP/FEATURE";
    if (target->factor != 1.0 && static_cast<int>(channel) < static_cast<int>(Channel::In0))
        return std::string(channelName(channel)) + " = " + value + ": a factor is for voltages only";
    return {};
}

std::string errnoText(const std::string& what, const std::string& path) {
    return "cannot " + what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::optional<std::vector<ChannelChoice>> parseChoices(std::string_view text, std::string& error) {
    auto lines = splitLines(text.substr(0, std::min(text.size(), kConfigLimit)), error);
    if (!lines) return std::nullopt;
    std::vector<ChannelChoice> out;
    for (const Line& line : *lines) {
        const std::string_view t = platform::trimBlanks(line.text);
        if (t.empty()) continue;
        const std::string_view key = keyOf(line.text);
        const auto channel = channelFromName(key);
        if (!channel) {
            error = "not a channel line: " + std::string(t);
            return std::nullopt;
        }
        std::string value(platform::trimBlanks(t.substr(t.find('=') + 1)));
        if (value == "auto") value.clear();
        if (std::string why = checkValue(*channel, value); !why.empty()) {
            error = why;
            return std::nullopt;
        }
        out.push_back({*channel, std::move(value)});
    }
    return out;
}

ConfigEdit editConfigText(std::string_view text, const std::vector<ChannelChoice>& choices) {
    ConfigEdit out;
    if (text.size() > kConfigLimit) {
        out.error = "it is larger than a configuration (" + std::to_string(text.size()) + " bytes)";
        return out;
    }
    auto lines = splitLines(text, out.error);
    if (!lines) return out;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        if (!isStructural((*lines)[i].text)) {
            out.error = "line " + std::to_string(i + 1) + " is not \"key = value\"";
            return out;
        }
    }
    for (const auto& c : choices) {
        if (std::string why = checkValue(c.channel, c.value); !why.empty()) {
            out.error = why;
            return out;
        }
    }

    // The last choice of a channel wins, as the last line does when reading.
    std::array<std::optional<std::string>, kChannelCount> wanted;
    for (const auto& c : choices) wanted[static_cast<std::size_t>(c.channel)] = c.value;
    std::array<bool, kChannelCount> written{};

    for (const Line& line : *lines) {
        const auto channel = channelFromName(keyOf(line.text));
        const auto at = channel ? static_cast<std::size_t>(*channel) : 0;
        if (!channel || !wanted[at]) {
            out.text.append(line.text);
            if (line.carriageReturn) out.text.push_back('\r');
            if (line.newline) out.text.push_back('\n');
            continue;
        }
        if (written[at] || wanted[at]->empty()) continue;
        out.text += std::string(channelName(*channel)) + " = " + *wanted[at];
        if (line.carriageReturn) out.text.push_back('\r');
        out.text.push_back('\n');
        written[at] = true;
    }
    for (int i = 0; i < kChannelCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (!wanted[at] || wanted[at]->empty() || written[at]) continue;
        if (!out.text.empty() && out.text.back() != '\n') out.text.push_back('\n');
        out.text += std::string(channelName(static_cast<Channel>(i))) + " = " + *wanted[at] + "\n";
    }
    out.ok = true;
    return out;
}

std::string writeFileAtomically(const std::string& path, std::string_view text) {
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    // The folder and its parents, as ~/.config/zorv may not exist yet.
    for (std::size_t at = 1; at <= dir.size(); ++at) {
        if (at != dir.size() && dir[at] != '/') continue;
        const std::string part = dir.substr(0, at);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return errnoText("make the folder", part);
    }

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return errnoText("create a file beside", path);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    std::string error;
    if (::fchmod(fd, mode) != 0) error = errnoText("set the mode of", temp);
    std::size_t done = 0;
    while (error.empty() && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            error = errnoText("write", path);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error.empty() && ::fsync(fd) != 0) error = errnoText("write", path);
    if (::close(fd) != 0 && error.empty()) error = errnoText("write", path);
    if (error.empty() && ::rename(temp.c_str(), path.c_str()) != 0) error = errnoText("replace", path);
    if (!error.empty()) ::unlink(temp.c_str());
    return error;
}

std::string saveChoices(const std::string& path, const std::vector<ChannelChoice>& choices) {
    std::string text;
    if (::access(path.c_str(), F_OK) == 0) {
        // One byte past the limit, so an oversized file is refused rather than cut.
        auto read = platform::readTextPrefix(path, kConfigLimit + 1);
        if (!read) return errnoText("read", path);
        text = std::move(*read);
    }
    const ConfigEdit edit = editConfigText(text, choices);
    if (!edit.ok) return path + " was left as it is: " + edit.error;
    return writeFileAtomically(path, edit.text);
}

}  // namespace zorv
