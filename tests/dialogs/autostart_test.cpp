#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Autostart.h"

namespace velmon::dialogs {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "velmon-autostart-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }
    fs::path root_;
};

TEST_F(AutostartTest, EntryIsWrittenReplacedAndRemoved) {
    XdgAutostart entry(root_ / "autostart");  // the folder does not exist yet
    EXPECT_FALSE(entry.present());

    entry.write("/usr/local/bin/velmon");
    ASSERT_TRUE(entry.present());
    EXPECT_EQ(entry.entryPath(), root_ / "autostart" / "ZORVVelmora.desktop");
    EXPECT_EQ(readFile(entry.entryPath()),
              "[Desktop Entry]\nType=Application\nName=Velmon\nExec=/usr/local/bin/velmon\n");

    entry.write("/opt/velmon/velmon");
    EXPECT_EQ(readFile(entry.entryPath()),
              "[Desktop Entry]\nType=Application\nName=Velmon\nExec=/opt/velmon/velmon\n");
    // Nothing but the entry is left behind in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "autostart"), fs::directory_iterator{}), 1);

    entry.remove();
    EXPECT_FALSE(entry.present());
    entry.remove();  // removing an absent entry is harmless
    EXPECT_FALSE(entry.present());
}

TEST_F(AutostartTest, AnyContentCountsAsPresent) {
    fs::create_directories(root_ / "autostart");
    std::ofstream(root_ / "autostart" / "ZORVVelmora.desktop") << "not a desktop entry";
    EXPECT_TRUE(XdgAutostart(root_ / "autostart").present());
}

TEST_F(AutostartTest, UnwritableFolderChangesNothing) {
    // A folder below a regular file cannot be created, even by root.
    std::ofstream(root_ / "file") << "x";
    XdgAutostart entry(root_ / "file" / "autostart");
    entry.write("/usr/bin/velmon");
    EXPECT_FALSE(entry.present());
    entry.remove();
    EXPECT_EQ(readFile(root_ / "file"), "x");
}

TEST_F(AutostartTest, ReadOnlyFolderKeepsTheOldEntry) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    const fs::path dir = root_ / "autostart";
    XdgAutostart entry(dir);
    entry.write("/old/velmon");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    entry.write("/new/velmon");
    entry.remove();
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_NE(readFile(entry.entryPath()).find("Exec=/old/velmon\n"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

struct QuoteCase {
    const char* path;
    const char* exec;
    friend void PrintTo(const QuoteCase& c, std::ostream* os) { *os << c.path; }
};

class ExecQuoting : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(ExecQuoting, ReservedCharactersAreQuotedAndEscaped) {
    EXPECT_EQ(execArgument(GetParam().path), GetParam().exec);
}

// Inside the quotes ", `, $ and \ get a backslash; the value's own escape
// rule then doubles every backslash, so a literal one ends up as four.
INSTANTIATE_TEST_SUITE_P(
    Paths, ExecQuoting,
    ::testing::Values(QuoteCase{"/usr/bin/velmon", "/usr/bin/velmon"},
                      QuoteCase{"/home/a b/velmon", "\"/home/a b/velmon\""},
                      QuoteCase{"/x/say \"hi\"/velmon", "\"/x/say \\\\\"hi\\\\\"/velmon\""},
                      QuoteCase{"/x/$HOME/velmon", "\"/x/\\\\$HOME/velmon\""},
                      QuoteCase{"/x/`id`/velmon", "\"/x/\\\\`id\\\\`/velmon\""},
                      QuoteCase{"/x/back\\slash", "\"/x/back\\\\\\\\slash\""},
                      QuoteCase{"/x/it's/velmon", "\"/x/it's/velmon\""},
                      QuoteCase{"/x/100%/velmon", "/x/100%%/velmon"},
                      QuoteCase{"/x/a\tb", "\"/x/a\\tb\""}));

TEST(AutostartDirectory, FollowsXdgConfigHomeAndFallsBackToHome) {
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig != nullptr ? oldConfig : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";

    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(autostartDirectory(), fs::path("/cfg/autostart"));
    ::setenv("HOME", "/home/u", 1);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(autostartDirectory(), fs::path("/home/u/.config/autostart"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(autostartDirectory(), fs::path("/home/u/.config/autostart"));

    ::setenv("HOME", savedHome.c_str(), 1);
    if (oldConfig != nullptr) {
        ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
}  // namespace velmon::dialogs
