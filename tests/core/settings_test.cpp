#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <fstream>
#include <sstream>

#include "Fakes.h"
#include "IniSettingsBackend.h"
#include "SettingsStore.h"

namespace velmon {
namespace {

TEST(SettingsConversions, Int16Table) {
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"5", 5},         {" 12 ", 12},       {"-3", -3},          {"+7", 7},           {"32767", 32767},
        {"-32768", -32768}, {"32768", std::nullopt}, {"-32769", std::nullopt}, {"99999999999", std::nullopt},
        {"2.5", 2},       {"3.5", 4},         {"abc", std::nullopt}, {"", std::nullopt}, {"12s", std::nullopt},
        {"1e3", 1000},    {"nan", std::nullopt}, {"inf", std::nullopt}, {"--1", std::nullopt}, {"+", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parseInt16(text), expected) << '"' << text << '"';
}

TEST(SettingsConversions, SingleTable) {
    EXPECT_EQ(parseSingle("3.7"), 3.7F);
    EXPECT_EQ(parseSingle("-10.3"), -10.3F);
    EXPECT_EQ(parseSingle("13"), 13.0F);
    EXPECT_EQ(parseSingle(" -4.3 "), -4.3F);
    EXPECT_EQ(parseSingle("1e39"), std::nullopt);
    EXPECT_EQ(parseSingle("3,7"), std::nullopt);
    EXPECT_EQ(parseSingle("x"), std::nullopt);
}

TEST(SettingsConversions, BoolTable) {
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"True", true}, {"False", false}, {"true", true}, {"FALSE", false}, {"1", true}, {"0", false},
        {"-1", true},   {"2", true},      {" True ", true}, {"yes", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parseBool(text), expected) << '"' << text << '"';
}

TEST(SettingsConversions, WrittenTextsReadBack) {
    EXPECT_EQ(singleText(3.7F), "3.7");
    EXPECT_EQ(singleText(-10.3F), "-10.3");
    EXPECT_EQ(singleText(13.0F), "13");
    EXPECT_EQ(singleText(-0.0F), "0");
    EXPECT_EQ(boolText(true), "True");
    EXPECT_EQ(boolText(false), "False");
    for (float v : {0.1F, 3.3F, -13.7F, 11.0F, 1.5F, 123456.7F}) EXPECT_EQ(parseSingle(singleText(v)), v) << v;
}

TEST(SettingsStore, UnreadableTextGivesTheDefault) {
    test::FakeSettings backend;
    SettingsStore store(backend);
    backend.values = {{"CPUInst", "maybe"}, {"CPUFan", "70000"}, {"VolUp3", "five"}, {"FanInterval", "7"}};
    EXPECT_TRUE(store.readBool("CPUInst"));
    EXPECT_EQ(store.readInt("CPUFan", 2800), 2800);
    EXPECT_EQ(store.readSingle("VolUp3", 5.5F), 5.5F);
    EXPECT_EQ(store.readInt("FanInterval", 5), 7);
    EXPECT_EQ(store.readInt("Missing", 5), 5);
    backend.values["CPUInst"] = "False";
    EXPECT_FALSE(store.readBool("CPUInst"));
}

class IniBackend : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path() const { return dir.path().toStdString() + "/Velmon/Velmon.ini"; }
    static std::string slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(IniBackend, WritesGroupAndReadsBack) {
    {
        IniSettingsBackend b(path());
        SettingsStore s(b);
        s.writeInt("CPUFan", 2800);
        s.writeSingle("VolUp0", 3.7F);
        s.writeBool("CPUInst", true);
    }
    const std::string text = slurp(path());
    EXPECT_NE(text.find("[ZORVMonitor]"), std::string::npos) << text;
    EXPECT_NE(text.find("CPUFan=2800"), std::string::npos) << text;
    EXPECT_NE(text.find("VolUp0=3.7"), std::string::npos) << text;
    EXPECT_NE(text.find("CPUInst=True"), std::string::npos) << text;
    IniSettingsBackend again(path());
    EXPECT_FALSE(again.damaged());
    EXPECT_EQ(again.read("CPUFan"), "2800");
    EXPECT_EQ(again.read("Nothing"), std::nullopt);
}

TEST_F(IniBackend, DesktopNotificationsSettingBesideTheMonitorsGroup) {
    EXPECT_TRUE(desktopNotificationsEnabled(path())) << "no file: on";
    QDir().mkpath(dir.path() + "/Velmon");
    const struct {
        const char* value;
        bool enabled;
    } cases[] = {{"False", false}, {"false", false}, {"0", false}, {"True", true}, {"1", true}, {"maybe", true}, {"", true}};
    for (const auto& c : cases) {
        {
            std::ofstream out(path(), std::ios::binary);
            out << "[ZORVMonitor]\nNotifications=False\nCPUFan=2500\n[Desktop]\nNotifications=" << c.value << "\n";
        }
        EXPECT_EQ(desktopNotificationsEnabled(path()), c.enabled) << c.value;
    }
    // The monitor's own writes keep the desktop group.
    {
        IniSettingsBackend b(path());
        EXPECT_EQ(b.read("CPUFan"), "2500");
        b.write("CPUFan", "2800");
    }
    EXPECT_NE(slurp(path()).find("[Desktop]"), std::string::npos) << slurp(path());
    EXPECT_TRUE(desktopNotificationsEnabled(path()));
    {
        std::ofstream out(path(), std::ios::binary);
        out << "[ZORVMonitor]\nNotifications=False\n";
    }
    EXPECT_TRUE(desktopNotificationsEnabled(path())) << "only the Desktop group counts";
}

TEST_F(IniBackend, ReadsAnotherGroupAndKeepsItsOwn) {
    QDir().mkpath(dir.path() + "/Velmon");
    {
        std::ofstream out(path());
        out << "[Export]\nTextfileDirectory=/var/lib/prometheus/node-exporter\n"
               "[ZORVMonitor]\nCPUFan=2500\nTextfileDirectory=wrong-group\n";
    }
    IniSettingsBackend b(path());
    EXPECT_EQ(b.readFrom("Export", "TextfileDirectory"), "/var/lib/prometheus/node-exporter");
    EXPECT_EQ(b.readFrom("Export", "CPUFan"), std::nullopt);
    // Afterwards reads and writes are in ZORVMonitor again.
    EXPECT_EQ(b.read("CPUFan"), "2500");
    b.write("CPUTemp", "70");
    IniSettingsBackend again(path());
    EXPECT_EQ(again.read("CPUTemp"), "70");
    EXPECT_EQ(again.readFrom("Export", "CPUTemp"), std::nullopt);
}

TEST_F(IniBackend, DefaultPathFollowsXdgConfigHome) {
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    EXPECT_EQ(IniSettingsBackend::defaultPath(), path());
}

TEST_F(IniBackend, DamagedLinesCostOnlyThemselvesAndTheFileIsKept) {
    QDir().mkpath(dir.path() + "/Velmon");
    // A section header without its closing bracket and a line of control
    // bytes: both skipped, the settings around them kept, and the file as
    // found kept for the user before anything is written over it.
    const std::string damaged = "[ZORVMonitor]\nCPUFan=1234\n[broken\n\x01\x02=\xff\nCPUTemp=70\n";
    {
        std::ofstream out(path(), std::ios::binary);
        out << damaged;
    }
    IniSettingsBackend b(path());
    EXPECT_FALSE(b.damaged());
    EXPECT_EQ(b.skippedLines(), (std::vector<std::size_t>{3, 4}));
    EXPECT_EQ(b.read("CPUFan"), "1234");
    EXPECT_EQ(b.read("CPUTemp"), "70");
    b.write("CPUFan", "2800");
    EXPECT_EQ(slurp(path() + ".bad"), damaged);
    EXPECT_EQ(slurp(path()), "[ZORVMonitor]\nCPUFan=2800\nCPUTemp=70\n");
}

TEST_F(IniBackend, UnreadablePathIsKeptAside) {
    QDir().mkpath(QString::fromStdString(path()));  // a folder in the file's place
    {
        std::ofstream keep(path() + "/keep.txt");
        keep << "mine";
    }
    IniSettingsBackend b(path());
    EXPECT_TRUE(b.damaged());
    EXPECT_EQ(b.read("CPUFan"), std::nullopt);
    b.write("CPUFan", "2800");
    EXPECT_EQ(slurp(path() + ".bad/keep.txt"), "mine");
    EXPECT_FALSE(b.unsaved());
    IniSettingsBackend again(path());
    EXPECT_EQ(again.read("CPUFan"), "2800");
}

TEST(InstanceLockTest, SecondHolderSeesTheFirst) {
    QTemporaryDir dir;
    InstanceLock first(dir.path().toStdString());
    EXPECT_FALSE(first.anotherInstanceRunning());
    EXPECT_FALSE(first.anotherInstanceRunning());  // holding it is not "another"
    InstanceLock second(dir.path().toStdString());
    // QLockFile counts the same process as a live holder.
    EXPECT_TRUE(second.anotherInstanceRunning());
}

}  // namespace
}  // namespace velmon
