// Renders the three windows into PNGs for looking at: dialog_screenshots <dir>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <cstring>

#include "FakeMonitor.h"
#include "LogoWindow.h"
#include "SettingsDialog.h"
#include "SystemInfoDialog.h"

namespace {

using namespace velmon;

struct Sensors final : SensorPort {
    std::int16_t read(SensorChannel) override { return 0; }
    void text(DmiText q, TextBuffer& b) override {
        static const std::array<const char*, 5> answers{"ZV-440BX", "ZORV Computer Corp.",
                                                        "Award Software International",
                                                        "4.51 PG", "Pentium II "};
        b.fill('\0');
        std::strncpy(b.data(), answers[static_cast<std::size_t>(q)], b.size() - 1);
    }
    std::int16_t mbClock() override { return 400; }
};

struct Memory final : dialogs::MemoryPort {
    [[nodiscard]] std::uint64_t totalPhysicalBytes() const override { return 133038080; }
};

bool save(QWidget& w, const QDir& dir, const char* name) {
    w.show();
    QApplication::processEvents();
    const bool ok = w.grab().save(dir.filePath(QString::fromLatin1(name)));
    std::printf("%s %s\n", name, ok ? "written" : "FAILED");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    dialogs::testing::FakeMonitor monitor;
    monitor.configured = {true, true, false};
    dialogs::testing::FakePrompter prompter(monitor.log);
    dialogs::testing::FakeAutostart autostart(monitor.log);
    autostart.exists = true;
    Sensors sensors;
    Memory memory;

    bool ok = true;
    {
        SettingsDialog settings(monitor, prompter, autostart, "/usr/bin/velmon");
        settings.resetBox(dialogs::ResetRow::V12)->setChecked(false);
        settings.setSensorsLauncher([] {});  // as the program opens it
        ok = save(settings, dir, "settings.png") && ok;
        settings.close();
    }
    {
        SystemInfoDialog info(monitor, sensors, memory);
        ok = save(info, dir, "sysinfo.png") && ok;
        info.close();
    }
    {
        LogoWindow logo;
        logo.attach(monitor);
        logo.show();
        ok = save(logo, dir, "logo.png") && ok;
        logo.unload();
    }
    return ok ? 0 : 1;
}
