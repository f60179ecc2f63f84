// The settings file: $XDG_CONFIG_HOME/Velmon/Velmon.ini (~/.config when
// unset), group ZORVMonitor. A file that cannot be read or parsed is moved
// aside to Velmon.ini.bad before the first write, and reading starts from
// the defaults, so nothing the user had is silently lost.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Ports.h"

class QSettings;

namespace velmon {

class IniSettingsBackend final : public SettingsBackend {
public:
    // group: "ZORVMonitor" for the monitor's settings, "Desktop" for the
    // desktop integration's.
    explicit IniSettingsBackend(std::string path = defaultPath(), std::string group = "ZORVMonitor");
    ~IniSettingsBackend() override;
    IniSettingsBackend(const IniSettingsBackend&) = delete;
    IniSettingsBackend& operator=(const IniSettingsBackend&) = delete;

    std::optional<std::string> read(const std::string& key) override;
    void write(const std::string& key, const std::string& value) override;
    // A value of another group of the same file (Export's TextfileDirectory).
    std::optional<std::string> readFrom(const std::string& group, const std::string& key);

    // True when the file was found damaged or unreadable at open.
    [[nodiscard]] bool damaged() const { return damaged_; }
    [[nodiscard]] const std::string& path() const { return path_; }

    static std::string defaultPath();

private:
    void openSettings();

    std::string path_;
    std::string group_;
    std::unique_ptr<QSettings> settings_;
    bool damaged_ = false;
};

// Notifications=True|False in the group "Desktop" of the settings file:
// whether the warning state sends a desktop notification. True when the key,
// the file or a readable value is missing.
bool desktopNotificationsEnabled(const std::string& path = IniSettingsBackend::defaultPath());

// Holds the per-user instance lock (QLockFile in $XDG_RUNTIME_DIR, else the
// temporary folder) for the life of the object.
class InstanceLock {
public:
    explicit InstanceLock(std::string directory = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock if it can; true when another live process holds it.
    bool anotherInstanceRunning();
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string path_;
};

}  // namespace velmon
