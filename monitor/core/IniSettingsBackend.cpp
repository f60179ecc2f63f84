#include "IniSettingsBackend.h"

#include "AtomicFile.h"
#include "RuntimeFolder.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cstdio>
#include <cstdlib>

namespace velmon {
namespace {

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? std::string(v) : fallback;
}

struct FileRead {
    std::string bytes;
    SettingsText text;
    bool unreadable = false;
    std::string why;
};

// A missing file is no damage: it reads as empty.
FileRead readSettingsFile(const QString& path) {
    FileRead r;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return r;
    const auto unreadable = [&r](std::string why) {
        r.unreadable = true;
        r.why = std::move(why);
        return r;
    };
    if (!info.isFile()) return unreadable("it is not a file");
    if (info.size() > static_cast<qint64>(SettingsText::kMaxBytes)) return unreadable("it is too large for a settings file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return unreadable(file.errorString().toStdString());
    const QByteArray data = file.read(static_cast<qint64>(SettingsText::kMaxBytes) + 1);
    if (file.error() != QFileDevice::NoError) return unreadable(file.errorString().toStdString());
    if (data.size() > static_cast<qsizetype>(SettingsText::kMaxBytes)) return unreadable("it is too large for a settings file");
    r.bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    r.text = SettingsText::parse(reinterpret_cast<const std::uint8_t*>(r.bytes.data()), r.bytes.size());
    // Not one line of it readable: zeros or other bytes where text was.
    if (r.text.keyCount() == 0 && !r.text.skippedLines().empty()) return unreadable("it holds no readable line");
    return r;
}

// Backups are Velmon.ini.bad, then .bad.2, .bad.3, …; none is ever replaced.
QString backupName(const QString& path, int n) {
    return n == 1 ? path + QStringLiteral(".bad") : path + QStringLiteral(".bad.") + QString::number(n);
}

// Where the file now lies, or empty. A copy that an earlier start already
// made of the same bytes is taken again rather than made twice.
QString keepAside(const QString& path, const std::string& bytes, bool move) {
    for (int n = 1; n < 1000; ++n) {
        const QString name = backupName(path, n);
        const QFileInfo info(name);
        if (info.exists() || info.isSymLink()) {
            if (move || !info.isFile()) continue;
            QFile old(name);
            if (old.open(QIODevice::ReadOnly) && old.size() == static_cast<qint64>(bytes.size()) &&
                old.readAll() == QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))) {
                return name;
            }
            continue;
        }
        // rename and copy refuse an existing target, so a race never replaces one.
        if (move ? QFile::rename(path, name) : QFile::copy(path, name)) return name;
        if (QFileInfo::exists(name)) continue;
        return {};
    }
    return {};
}

}  // namespace

std::string IniSettingsBackend::defaultPath() {
    std::string home = envOr("HOME", QDir::homePath().toStdString());
    const std::string config = envOr("XDG_CONFIG_HOME", home + "/.config");
    return config + "/Velmon/Velmon.ini";
}

IniSettingsBackend::IniSettingsBackend(std::string path, std::string group)
    : path_(std::move(path)), group_(std::move(group)) {
    const FileRead r = readSettingsFile(q(path_));
    found_ = r.bytes;
    unreadable_ = r.unreadable;
    unreadableWhy_ = r.why;
    if (!unreadable_) text_ = r.text;
}

IniSettingsBackend::~IniSettingsBackend() { save(); }

void IniSettingsBackend::say(const std::string& line) const {
    if (report_) report_(line);
}

std::optional<std::string> IniSettingsBackend::read(const std::string& key) { return text_.value(group_, key); }

std::optional<std::string> IniSettingsBackend::readFrom(const std::string& group, const std::string& key) {
    return text_.value(group, key);
}

void IniSettingsBackend::write(const std::string& key, const std::string& value) {
    if (!text_.set(group_, key, value)) return;
    pending_.push_back({group_, {key, value}});
    if (!saveLater_) {
        save();
        return;
    }
    if (!saveAsked_) {
        saveAsked_ = true;
        saveLater_();
    }
}

std::string IniSettingsBackend::keepDamagedFile() {
    if (backupTried_) return backup_;
    backupTried_ = true;
    if (!unreadable_ && text_.skippedLines().empty()) return {};
    // The user's file as found: copied while it still serves, moved aside
    // when it cannot, so that the next save does not replace it.
    backup_ = keepAside(q(path_), found_, unreadable_).toStdString();
    if (backup_.empty()) {
        say("velmon: the settings file " + path_ + " is damaged and could not be kept aside; it is left as it is");
        return {};
    }
    if (unreadable_) {
        say("velmon: the settings file " + path_ + " could not be read (" + unreadableWhy_ +
            "); Velmon runs on the default settings. The file is kept as " + backup_);
    } else {
        std::string lines;
        for (const std::size_t n : text_.skippedLines()) lines += (lines.empty() ? "" : ", ") + std::to_string(n);
        say("velmon: the settings file " + path_ + " has lines that could not be read (" + lines +
            "); they are skipped and the other settings kept. The file as it was is kept as " + backup_);
    }
    return backup_;
}

bool IniSettingsBackend::save() {
    saveAsked_ = false;
    if (pending_.empty()) return true;
    const auto fail = [this](const std::string& why) {
        const std::string cause = "velmon: cannot save the settings to " + path_ + ": " + why +
                                  ". The changes hold while Velmon runs and are saved at the next save.";
        if (cause != failure_) say(cause);
        failure_ = cause;
        return false;
    };
    keepDamagedFile();
    if (unreadable_ && backup_.empty() && QFileInfo::exists(q(path_))) return fail("the damaged file is in the way");

    // Someone may have edited the file since it was read: their keys stay,
    // and Velmon's changes go over them.
    SettingsText text = text_;
    if (!unreadable_) {
        const FileRead now = readSettingsFile(q(path_));
        if (!now.unreadable && now.bytes != found_) {
            text = now.text;
            for (const auto& [group, kv] : pending_) text.set(group, kv.first, kv.second);
        }
    }
    const std::string bytes = text.render();
    QDir().mkpath(QFileInfo(q(path_)).absolutePath());
    removeStaleTemporaries(path_);
    if (const std::string why = replaceFileWhole(path_, bytes); !why.empty()) return fail(why);

    text_ = std::move(text);
    found_ = bytes;
    unreadable_ = false;
    pending_.clear();
    if (!failure_.empty()) {
        failure_.clear();
        say("velmon: the settings are saved again to " + path_);
    }
    return true;
}

bool desktopNotificationsEnabled(const std::string& path) {
    IniSettingsBackend desktop(path, "Desktop");
    return SettingsStore(desktop).readBool("Notifications", true);
}

struct InstanceLock::Impl {
    explicit Impl(const QString& path) : lock(path) { lock.setStaleLockTime(0); }
    QLockFile lock;
    bool held = false;
};

InstanceLock::InstanceLock(std::string directory) {
    if (directory.empty()) {
        const RuntimeFolder folder = runtimeFolder();
        if (!folder.note.empty()) std::fprintf(stderr, "velmon: %s\n", folder.note.c_str());
        directory = folder.path;
    }
    // Without a folder there is no lock, and nothing keeps Velmon from running.
    if (directory.empty()) return;
    path_ = directory + "/Velmon.lock";
    impl_ = std::make_unique<Impl>(q(path_));
}

InstanceLock::~InstanceLock() {
    if (impl_ && impl_->held) impl_->lock.unlock();
}

bool InstanceLock::anotherInstanceRunning() {
    if (!impl_ || impl_->held) return false;
    if (impl_->lock.tryLock(0)) {
        impl_->held = true;
        return false;
    }
    // A lock that cannot be made at all (no folder, no rights) does not keep Velmon from running.
    return impl_->lock.error() == QLockFile::LockFailedError;
}

}  // namespace velmon
