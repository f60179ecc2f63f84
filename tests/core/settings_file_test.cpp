// The settings file under damage and faults: lines that cannot be read,
// files that cannot be read at all, saves that fail, and the folder of the
// instance lock when the session gives none.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "IniSettingsBackend.h"
#include "RuntimeFolder.h"
#include "SettingsText.h"
#include "ThresholdAutosave.h"

namespace velmon {
namespace {

TEST(SettingsTextTest, EachLineThatCannotBeReadIsSkippedAlone) {
    const struct {
        const char* text;
        const char* key;
        std::optional<std::string> value;
        std::vector<std::size_t> skipped;
    } cases[] = {
        {"[ZORVMonitor]\nCPUFan=2000\n", "CPUFan", "2000", {}},
        {"[ZORVMonitor]\n[broken\nCPUFan=2000\n", "CPUFan", "2000", {2}},         // header without bracket
        {"[ZORVMonitor]\n[]\nCPUFan=2000\n", "CPUFan", "2000", {2}},              // header without name
        {"[ZORVMonitor]\nCPUFan 2000\nCPUTemp=70\n", "CPUTemp", "70", {2}},       // no '='
        {"[ZORVMonitor]\n=5\nCPUTemp=70\n", "CPUTemp", "70", {2}},                // no name
        {"[ZORVMonitor]\nCPU\x01" "Fan=1\nCPUFan=2\n", "CPUFan", "2", {2}},       // a control byte
        {"\xEF\xBB\xBF[ZORVMonitor]\nCPUFan=2000\n", "CPUFan", "2000", {}},       // an editor's byte order mark
        {"[ zorvmonitor ]\r\n  cpufan = 2000 \r\n", "CPUFan", "2000", {}},        // case, blanks, CR LF
        {"[ZORVMonitor]\nCPUFan=1\ncpufan=2\n", "CPUFan", "1", {}},               // the first key of a name
        {"[ZORVMonitor]\nA=1\n[Export]\nB=2\n[ZORVMonitor]\nCPUFan=3\n", "CPUFan", "3", {}},
        {"[ZORVMonitor]\nDir=\"  a \\\"b\\\" \\\\c \"\n", "Dir", "  a \"b\" \\c ", {}},  // quoted with escapes
        {"[ZORVMonitor]\nDir=C:\\temp\\x\n", "Dir", "C:\\temp\\x", {}},           // unquoted: as it stands
        {"[ZORVMonitor]\n; CPUFan=1\n# CPUFan=2\n", "CPUFan", std::nullopt, {}},  // comments
        {"CPUFan=1\n[ZORVMonitor]\n", "CPUFan", std::nullopt, {}},                // before any header
        {"[Export]\nCPUFan=1\n", "CPUFan", std::nullopt, {}},                     // another group
    };
    for (const auto& c : cases) {
        const SettingsText t = SettingsText::parse(c.text);
        EXPECT_EQ(t.value("ZORVMonitor", c.key), c.value) << c.text;
        EXPECT_EQ(t.skippedLines(), c.skipped) << c.text;
    }
    // A zero byte inside a line (the literal above stops at it).
    const char raw[] = "[ZORVMonitor]\nCPUFan=1\0\nMBTemp=40\n";
    const std::string zero(raw, sizeof raw - 1);
    const SettingsText z = SettingsText::parse(zero);
    EXPECT_EQ(z.value("ZORVMonitor", "CPUFan"), std::nullopt);
    EXPECT_EQ(z.value("ZORVMonitor", "MBTemp"), "40");
    EXPECT_EQ(z.skippedLines(), std::vector<std::size_t>{2});
}

TEST(SettingsTextTest, WrittenBackWholeInOrderAndReadsTheSame) {
    SettingsText t = SettingsText::parse(
        "; mine\n[Export]\nTextfileDirectory=/var/lib/x\n[ZORVMonitor]\nCPUFan=2000\n[broken\nMBTemp=40\n[Desktop]\n"
        "Notifications=False\n");
    EXPECT_TRUE(t.set("ZORVMonitor", "CPUFan", "2800"));
    EXPECT_FALSE(t.set("ZORVMonitor", "cpufan", "2800")) << "the same text again is no change";
    EXPECT_TRUE(t.set("ZORVMonitor", "VolUp0", "3.7"));
    EXPECT_TRUE(t.set("ZORVMonitor", "Odd", " \"quoted\" "));
    EXPECT_FALSE(t.set("ZORVMonitor", "Bad", "two\nlines")) << "a value that would make two lines";
    EXPECT_FALSE(t.set("ZORVMonitor", "A=B", "1"));
    const std::string text = t.render();
    EXPECT_EQ(text,
              "; mine\n\n[Export]\nTextfileDirectory=/var/lib/x\n\n[ZORVMonitor]\nCPUFan=2800\nMBTemp=40\nVolUp0=3.7\n"
              "Odd=\" \\\"quoted\\\" \"\n\n[Desktop]\nNotifications=False\n");
    const SettingsText again = SettingsText::parse(text);
    EXPECT_TRUE(again.skippedLines().empty());
    EXPECT_EQ(again.value("ZORVMonitor", "Odd"), " \"quoted\" ");
    EXPECT_EQ(again.render(), text);
}

class SettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string folder() const { return dir.path().toStdString() + "/Velmon"; }
    std::string path() const { return folder() + "/Velmon.ini"; }
    void put(const std::string& text) const {
        QDir().mkpath(QString::fromStdString(folder()));
        std::ofstream out(path(), std::ios::binary);
        out << text;
    }
    static std::string slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static bool exists(const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); }
};

TEST_F(SettingsFile, EveryDamagedStartKeepsItsOwnBackup) {
    const std::string first = "[ZORVMonitor]\nCPUFan=1000\n[broken\n";
    const std::string second = "[ZORVMonitor]\nCPUFan=2000\n[broken again\n";
    const std::string third = "[ZORVMonitor]\nCPUFan=3000\nbroken\n";
    std::vector<std::string> told;
    for (const std::string& text : {first, second, second, third}) {
        put(text);
        IniSettingsBackend b(path());
        b.setReport([&told](const std::string& line) { told.push_back(line); });
        b.keepDamagedFile();
        b.write("CPUTemp", "70");
    }
    EXPECT_EQ(slurp(path() + ".bad"), first);
    EXPECT_EQ(slurp(path() + ".bad.2"), second);
    EXPECT_EQ(slurp(path() + ".bad.3"), third) << "the same damage twice is kept once";
    EXPECT_FALSE(exists(path() + ".bad.4"));
    EXPECT_EQ(slurp(path()), "[ZORVMonitor]\nCPUFan=3000\nCPUTemp=70\n");
    ASSERT_EQ(told.size(), 4U);
    EXPECT_NE(told[0].find("(3)"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find(path() + ".bad"), std::string::npos) << told[0];
    EXPECT_NE(told[3].find(path() + ".bad.3"), std::string::npos) << told[3];
}

TEST_F(SettingsFile, FileOfZerosIsMovedAsideAndReplaced) {
    put(std::string(4096, '\0'));
    IniSettingsBackend b(path());
    EXPECT_TRUE(b.damaged());
    EXPECT_EQ(b.read("CPUFan"), std::nullopt);
    std::vector<std::string> told;
    b.setReport([&told](const std::string& line) { told.push_back(line); });
    EXPECT_EQ(b.keepDamagedFile(), path() + ".bad");
    EXPECT_EQ(b.keepDamagedFile(), path() + ".bad") << "told once";
    ASSERT_EQ(told.size(), 1U);
    EXPECT_NE(told[0].find("could not be read"), std::string::npos) << told[0];
    EXPECT_FALSE(exists(path())) << "moved aside at once, before anything can write over it";
    EXPECT_EQ(slurp(path() + ".bad"), std::string(4096, '\0'));
    b.write("CPUFan", "2800");
    EXPECT_EQ(slurp(path()), "[ZORVMonitor]\nCPUFan=2800\n");
}

TEST_F(SettingsFile, WritesOfOneHandlerMakeOneSave) {
    put("[ZORVMonitor]\nCPUFan=2000\n");
    IniSettingsBackend b(path());
    int asked = 0;
    b.setSaveLater([&asked] { ++asked; });
    b.write("CPUFan", "2800");
    b.write("CPUTemp", "70");
    b.write("MBTemp", "45");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(slurp(path()), "[ZORVMonitor]\nCPUFan=2000\n") << "nothing written before the save";
    EXPECT_TRUE(b.save());
    EXPECT_EQ(slurp(path()), "[ZORVMonitor]\nCPUFan=2800\nCPUTemp=70\nMBTemp=45\n");
    b.write("CPUFan", "2800");  // no change, no save
    EXPECT_EQ(asked, 1);
    b.write("CPUFan", "2900");
    EXPECT_EQ(asked, 2);
}

TEST_F(SettingsFile, EditsMadeWhileRunningAreKept) {
    put("[ZORVMonitor]\nCPUFan=2000\n");
    IniSettingsBackend b(path());
    b.setSaveLater([] {});
    b.write("CPUTemp", "70");
    put("[ZORVMonitor]\nCPUFan=2000\nMBTemp=41\n[Export]\nTextfileDirectory=/srv/x\n");
    EXPECT_TRUE(b.save());
    EXPECT_EQ(slurp(path()), "[ZORVMonitor]\nCPUFan=2000\nMBTemp=41\nCPUTemp=70\n\n[Export]\nTextfileDirectory=/srv/x\n");
    EXPECT_EQ(b.read("MBTemp"), "41");
}

// A disk that is full for files beyond a few bytes, as the file size limit
// makes it for this process; no lock file and no temporary one stays behind.
TEST_F(SettingsFile, FailedSaveIsSaidOnceKeepsTheOldFileAndIsRetried) {
    const std::string old = "[ZORVMonitor]\nCPUFan=2000\n";
    put(old);
    IniSettingsBackend b(path());
    b.setSaveLater([] {});
    std::vector<std::string> told;
    b.setReport([&told](const std::string& line) { told.push_back(line); });
    b.write("CPUFan", "2800");
    b.write("VolUp0", "3.7");

    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool first = b.save();
    const bool second = b.save();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    ASSERT_EQ(told.size(), 1U) << "a failure goes on; it is said once";
    EXPECT_NE(told[0].find("cannot save the settings to " + path()), std::string::npos) << told[0];
    EXPECT_EQ(slurp(path()), old);
    EXPECT_TRUE(b.unsaved());
    EXPECT_EQ(b.read("CPUFan"), "2800") << "the change holds in memory";

    EXPECT_TRUE(b.save());
    EXPECT_EQ(slurp(path()), "[ZORVMonitor]\nCPUFan=2800\nVolUp0=3.7\n");
    ASSERT_EQ(told.size(), 2U);
    EXPECT_NE(told[1].find("saved again"), std::string::npos) << told[1];
    EXPECT_EQ(QDir(QString::fromStdString(folder())).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Velmon.ini")});
}

TEST_F(SettingsFile, FolderThatCannotBeMadeFailsTheSave) {
    // A file where the folder should be: the save fails, and says so.
    QFile blocker(dir.path() + "/Velmon");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniSettingsBackend b(path());
    std::vector<std::string> told;
    b.setReport([&told](const std::string& line) { told.push_back(line); });
    b.write("CPUFan", "2800");
    EXPECT_TRUE(b.unsaved());
    ASSERT_EQ(told.size(), 1U);
}

TEST(ThresholdAutosaveTest, SavesOnceTheChangeHasSettled) {
    WarningThresholds now;
    int saves = 0;
    ThresholdAutosave autosave([&now] { return now; }, [&saves] { ++saves; }, 3);
    autosave.tick();
    EXPECT_EQ(saves, 0) << "nothing before start";
    autosave.start();
    for (int i = 0; i < 10; ++i) autosave.tick();
    EXPECT_EQ(saves, 0) << "the values as loaded are not saved again";
    // A drag: a new value every tick, then still.
    for (std::int16_t t = 81; t <= 86; ++t) {
        now.temp[0] = t;
        autosave.tick();
    }
    EXPECT_EQ(saves, 0);
    autosave.tick();
    autosave.tick();
    EXPECT_EQ(saves, 0);
    autosave.tick();
    EXPECT_EQ(saves, 1);
    for (int i = 0; i < 10; ++i) autosave.tick();
    EXPECT_EQ(saves, 1);
    // Changed and changed back before it settled: nothing to save.
    now.installed[1] = false;
    autosave.tick();
    now.installed[1] = true;
    for (int i = 0; i < 10; ++i) autosave.tick();
    EXPECT_EQ(saves, 1);
    now.volDn[4] = 11.2F;
    for (int i = 0; i < 4; ++i) autosave.tick();
    EXPECT_EQ(saves, 2);
}

class RuntimeFolderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string at(const char* name) const { return dir.path().toStdString() + "/" + name; }
    static unsigned modeOf(const std::string& p) {
        struct stat st {};
        return ::lstat(p.c_str(), &st) == 0 ? (st.st_mode & 0777U) : 0U;
    }
    void TearDown() override {
        qunsetenv("TMPDIR");
        qunsetenv("XDG_CACHE_HOME");
    }
};

TEST_F(RuntimeFolderTest, OnlyAPrivateFolderOfThisUserIsTaken) {
    const unsigned uid = ::getuid();
    EXPECT_EQ(claimPrivateFolder(at("new"), uid), "");
    EXPECT_EQ(modeOf(at("new")), 0700U);
    ASSERT_EQ(::mkdir(at("open").c_str(), 0777), 0);
    ::chmod(at("open").c_str(), 0777);
    EXPECT_EQ(claimPrivateFolder(at("open"), uid), "");
    EXPECT_EQ(modeOf(at("open")), 0700U) << "our own folder is closed again";
    ASSERT_EQ(::symlink(at("new").c_str(), at("link").c_str()), 0);
    EXPECT_NE(claimPrivateFolder(at("link"), uid), "");
    std::ofstream(at("file")) << "x";
    EXPECT_NE(claimPrivateFolder(at("file"), uid), "");
    EXPECT_NE(claimPrivateFolder(at("new"), uid + 1), "") << "another user's folder";
}

TEST_F(RuntimeFolderTest, WithoutXdgRuntimeDirEachUserHasAFolderOfTheirOwn) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", dir.path().toUtf8());
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(at("cache")));
    const std::string own = at("velmon-") + std::to_string(::getuid());
    RuntimeFolder f = runtimeFolder();
    EXPECT_EQ(f.path, own);
    EXPECT_EQ(f.note, "");
    EXPECT_EQ(modeOf(own), 0700U);
    {
        InstanceLock lock;
        EXPECT_EQ(lock.path(), own + "/Velmon.lock");
        EXPECT_FALSE(lock.anotherInstanceRunning());
    }
    // Someone planted a link by that name: not followed; the cache serves.
    ASSERT_TRUE(QDir(QString::fromStdString(own)).removeRecursively());
    ASSERT_EQ(::symlink(at("elsewhere").c_str(), own.c_str()), 0);
    f = runtimeFolder();
    EXPECT_EQ(f.path, at("cache") + "/Velmon");
    EXPECT_NE(f.note.find("is not a folder"), std::string::npos) << f.note;
    EXPECT_EQ(modeOf(f.path), 0700U);
    if (!runtime.isEmpty()) qputenv("XDG_RUNTIME_DIR", runtime);
}

}  // namespace
}  // namespace velmon
