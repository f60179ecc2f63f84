// Starting with the desktop session: the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/ZORVVelmora.desktop (~/.config when unset).
#pragma once

#include <filesystem>
#include <string>

#include "DialogPorts.h"

namespace velmon::dialogs {

// The folder of the session's autostart entries, read from the environment now.
std::filesystem::path autostartDirectory();

// One argument of an Exec line: quoted in double quotes when it holds a
// reserved character, with ", `, $ and \ escaped inside the quotes; then the
// value-level escapes (\\, \n, \t, \r) and %% for a literal percent sign.
std::string execArgument(const std::string& argument);

// The whole entry for a program: [Desktop Entry], Type, Name, Exec.
std::string desktopEntryText(const std::string& programPath);

class XdgAutostart final : public AutostartPort {
public:
    // The entry file lives in directory; the default is the session's folder.
    explicit XdgAutostart(std::filesystem::path directory = autostartDirectory());

    [[nodiscard]] bool present() const override;
    // Written whole or not at all (a temporary file renamed over the entry).
    void write(const std::string& programPath) override;
    void remove() override;

    [[nodiscard]] std::filesystem::path entryPath() const;

private:
    std::filesystem::path directory_;
};

}  // namespace velmon::dialogs
