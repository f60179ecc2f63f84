// velmon.prom is replaced whole, readable by node_exporter's own user, and a
// directory that cannot take it is reported once per cause.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TextfileWriter.h"

namespace velmon::test {
namespace {

namespace fs = std::filesystem;

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmon-writer-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        return names;
    }

    fs::path dir;
    std::vector<std::string> reports;
    TextfileWriter::Report report = [this](const std::string& line) { reports.push_back(line); };
};

TEST_F(Writer, ReplacesTheFileAndLeavesNothingElse) {
    TextfileWriter w(dir.string() + "/", report);
    EXPECT_EQ(w.path(), (dir / "velmon.prom").string());
    EXPECT_EQ(TextfileWriter("/", {}).path(), "/velmon.prom");
    ASSERT_TRUE(w.write("velmon_warning_state 0\n"));
    ASSERT_TRUE(w.write("velmon_warning_state 1\n"));
    EXPECT_EQ(slurp(dir / "velmon.prom"), "velmon_warning_state 1\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"velmon.prom"});
    struct stat st {};
    ASSERT_EQ(::stat((dir / "velmon.prom").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);  // node_exporter reads it as another user
    EXPECT_TRUE(reports.empty());
}

// A reader holding the old file keeps reading the old text whole.
TEST_F(Writer, AReaderOfTheOldFileSeesItWhole) {
    TextfileWriter w(dir.string(), report);
    ASSERT_TRUE(w.write("old text\n"));
    std::ifstream reader(dir / "velmon.prom", std::ios::binary);
    ASSERT_TRUE(w.write("new text that is longer\n"));
    std::stringstream s;
    s << reader.rdbuf();
    EXPECT_EQ(s.str(), "old text\n");
    EXPECT_EQ(slurp(dir / "velmon.prom"), "new text that is longer\n");
}

TEST_F(Writer, MissingDirectoryIsReportedOnceUntilItWorks) {
    const fs::path missing = dir / "not-yet";
    TextfileWriter w(missing.string(), report);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(w.write("x 1\n"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(missing.string() + "/velmon.prom"), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find("No such file or directory"), std::string::npos) << reports[0];

    fs::create_directory(missing);
    EXPECT_TRUE(w.write("x 2\n"));
    EXPECT_TRUE(w.write("x 3\n"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[1].find("written again"), std::string::npos) << reports[1];

    // A new failure after a success is told again.
    fs::remove_all(missing);
    EXPECT_FALSE(w.write("x 4\n"));
    EXPECT_EQ(reports.size(), 3u);
}

TEST_F(Writer, EachNewCauseIsReported) {
    // A file where the directory should be, then a directory where the file should be.
    const fs::path notDir = dir / "plain-file";
    std::ofstream(notDir) << "mine";
    TextfileWriter blocked(notDir.string(), report);
    EXPECT_FALSE(blocked.write("x 1\n"));
    EXPECT_FALSE(blocked.write("x 1\n"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("Not a directory"), std::string::npos) << reports[0];
    EXPECT_EQ(slurp(notDir), "mine");

    fs::create_directory(dir / "velmon.prom");
    TextfileWriter w(dir.string(), report);
    EXPECT_FALSE(w.write("x 1\n"));
    EXPECT_FALSE(w.write("x 1\n"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[1].find("cannot replace"), std::string::npos) << reports[1];
    // The temporary file does not stay behind.
    std::vector<std::string> names = entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"plain-file", "velmon.prom"}));
}

}  // namespace
}  // namespace velmon::test
