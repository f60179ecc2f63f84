#include "Autostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace velmon::dialogs {

namespace {

constexpr const char* kEntryName = "ZORVVelmora.desktop";

// Characters the desktop-entry rules reserve inside Exec arguments.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::filesystem::path autostartDirectory() {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::filesystem::path(config) / "autostart";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".config" / "autostart";
}

std::string execArgument(const std::string& argument) {
    std::string quoted;
    if (argument.find_first_of(kReserved) != std::string::npos || argument.empty()) {
        quoted += '"';
        for (const char c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                quoted += '\\';
            }
            quoted += c;
        }
        quoted += '"';
    } else {
        quoted = argument;
    }
    // The value is a string of the entry file: its own escapes apply on top.
    std::string value;
    for (const char c : quoted) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\t': value += "\\t"; break;
        case '\r': value += "\\r"; break;
        case '%': value += "%%"; break;
        default: value += c; break;
        }
    }
    return value;
}

std::string desktopEntryText(const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velmon\n"
           "Exec=" + execArgument(programPath) + "\n";
}

XdgAutostart::XdgAutostart(std::filesystem::path directory) : directory_(std::move(directory)) {}

std::filesystem::path XdgAutostart::entryPath() const { return directory_ / kEntryName; }

bool XdgAutostart::present() const {
    std::error_code ec;
    return std::filesystem::exists(entryPath(), ec);
}

void XdgAutostart::write(const std::string& programPath) {
    std::error_code ec;
    std::filesystem::create_directories(directory_, ec);
    if (ec) {
        return;
    }
    std::string tmpl = (directory_ / ".ZORVVelmora.desktop.XXXXXX").string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        return;
    }
    const bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, desktopEntryText(programPath)) &&
                    ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed || ::rename(tmpl.c_str(), entryPath().c_str()) != 0) {
        ::unlink(tmpl.c_str());
    }
}

void XdgAutostart::remove() {
    std::error_code ec;
    std::filesystem::remove(entryPath(), ec);
}

}  // namespace velmon::dialogs
