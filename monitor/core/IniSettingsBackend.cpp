#include "IniSettingsBackend.h"

#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringList>

#include <cstdlib>

namespace velmon {
namespace {

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? std::string(v) : fallback;
}

std::optional<std::string> textOf(const QVariant& v) {
    if (!v.isValid()) return std::nullopt;
    // An unquoted comma makes the INI reader hand back a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", ")).toStdString();
    return v.toString().toStdString();
}

}  // namespace

std::string IniSettingsBackend::defaultPath() {
    std::string home = envOr("HOME", QDir::homePath().toStdString());
    const std::string config = envOr("XDG_CONFIG_HOME", home + "/.config");
    return config + "/Velmon/Velmon.ini";
}

IniSettingsBackend::IniSettingsBackend(std::string path, std::string group)
    : path_(std::move(path)), group_(std::move(group)) {
    const QFileInfo info(q(path_));
    if (info.exists() && (!info.isFile() || !info.isReadable())) damaged_ = true;
    openSettings();
    if (settings_->status() != QSettings::NoError) damaged_ = true;
}

IniSettingsBackend::~IniSettingsBackend() {
    if (settings_ && !damaged_) settings_->sync();
}

void IniSettingsBackend::openSettings() {
    settings_ = std::make_unique<QSettings>(q(path_), QSettings::IniFormat);
    settings_->beginGroup(q(group_));
}

std::optional<std::string> IniSettingsBackend::read(const std::string& key) {
    if (damaged_) return std::nullopt;
    const QVariant v = settings_->value(q(key));
    return textOf(v);
}

std::optional<std::string> IniSettingsBackend::readFrom(const std::string& group, const std::string& key) {
    if (damaged_) return std::nullopt;
    settings_->endGroup();
    const QVariant v = settings_->value(q(group + "/" + key));
    settings_->beginGroup(q(group_));
    return textOf(v);
}

void IniSettingsBackend::write(const std::string& key, const std::string& value) {
    if (damaged_) {
        // Keep the damaged file for the user before anything replaces it.
        const QString bad = q(path_ + ".bad");
        settings_.reset();
        QFile::remove(bad);
        if (QFileInfo::exists(q(path_)) && !QFile::rename(q(path_), bad)) {
            // It cannot be moved aside, so it is not written over either.
            openSettings();
            return;
        }
        damaged_ = false;
        openSettings();
    }
    settings_->setValue(q(key), q(value));
    settings_->sync();
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
    if (directory.empty()) directory = envOr("XDG_RUNTIME_DIR", QDir::tempPath().toStdString());
    path_ = directory + "/Velmon.lock";
    impl_ = std::make_unique<Impl>(q(path_));
}

InstanceLock::~InstanceLock() {
    if (impl_ && impl_->held) impl_->lock.unlock();
}

bool InstanceLock::anotherInstanceRunning() {
    if (impl_->held) return false;
    if (impl_->lock.tryLock(0)) {
        impl_->held = true;
        return false;
    }
    // A lock that cannot be made at all (no folder, no rights) does not keep Velmon from running.
    return impl_->lock.error() == QLockFile::LockFailedError;
}

}  // namespace velmon
