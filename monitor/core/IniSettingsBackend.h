// The settings file: $XDG_CONFIG_HOME/Velmon/Velmon.ini (~/.config when
// unset), group ZORVMonitor. A damaged line costs only itself; a file that
// cannot be read at all starts from the defaults. Either way the file as it
// was is kept under a backup name no later backup takes, before anything
// replaces it. Every save writes the whole file beside it and renames it
// over the old one (replaceFileWhole), so a kill or a full disk leaves the
// old file or the new, and no lock file.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Ports.h"
#include "SettingsText.h"

namespace velmon {

class IniSettingsBackend final : public SettingsBackend {
public:
    // Receives what the user is to be told, one line each time.
    using Report = std::function<void(const std::string&)>;

    // group: "ZORVMonitor" for the monitor's settings, "Desktop" for the
    // desktop integration's.
    explicit IniSettingsBackend(std::string path = defaultPath(), std::string group = "ZORVMonitor");
    // Saves what is still unsaved.
    ~IniSettingsBackend() override;
    IniSettingsBackend(const IniSettingsBackend&) = delete;
    IniSettingsBackend& operator=(const IniSettingsBackend&) = delete;

    std::optional<std::string> read(const std::string& key) override;
    // Saves at once, or, with a saveLater hook, asks it for one save of all
    // the writes made until then.
    void write(const std::string& key, const std::string& value) override;
    // A value of another group of the same file (Export's TextfileDirectory).
    std::optional<std::string> readFrom(const std::string& group, const std::string& key);

    // Called at the first unsaved write; it is to call save() soon, once.
    void setSaveLater(std::function<void()> saveLater) { saveLater_ = std::move(saveLater); }
    void setReport(Report report) { report_ = std::move(report); }

    // Writes the whole file when something is unsaved. A failure is reported
    // once (until a save works again), leaves the old file as it was and
    // keeps the changes for the next save. True when nothing is unsaved.
    bool save();
    [[nodiscard]] bool unsaved() const { return !pending_.empty(); }

    // Keeps the file as found when it had damage: copied when lines were
    // skipped, moved aside when it could not be read at all (so a new one can
    // take its place). Runs once, reports where; save() runs it first too.
    // The backup's path, empty when none was needed or it could not be made.
    std::string keepDamagedFile();

    // True when the file was there but could not be read at all.
    [[nodiscard]] bool damaged() const { return unreadable_; }
    [[nodiscard]] const std::vector<std::size_t>& skippedLines() const { return text_.skippedLines(); }
    [[nodiscard]] const std::string& backupPath() const { return backup_; }
    [[nodiscard]] const std::string& path() const { return path_; }

    static std::string defaultPath();

private:
    void say(const std::string& line) const;

    std::string path_;
    std::string group_;
    SettingsText text_;
    std::string found_;       // the bytes read, to see whether someone edited the file since
    std::string unreadableWhy_;
    bool unreadable_ = false;
    bool backupTried_ = false;
    std::string backup_;
    // Changes not yet saved, in order: laid over the file as it is at the save.
    std::vector<std::pair<std::string, std::pair<std::string, std::string>>> pending_;
    std::function<void()> saveLater_;
    bool saveAsked_ = false;
    Report report_;
    std::string failure_;  // the cause last reported, until a save works
};

// Notifications=True|False in the group "Desktop" of the settings file:
// whether the warning state sends a desktop notification. True when the key,
// the file or a readable value is missing.
bool desktopNotificationsEnabled(const std::string& path = IniSettingsBackend::defaultPath());

// Holds the per-user instance lock (QLockFile in the folder runtimeFolder()
// gives) for the life of the object.
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
