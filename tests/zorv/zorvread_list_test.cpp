// zorvread --list names the source in force and lists what that source has,
// not the hwmon map of a machine whose chips are not in use.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

class ZorvreadList : public ::testing::Test {
protected:
    void SetUp() override {
        const char* lib = std::getenv("ZORV_TEST_LIB");
        ASSERT_NE(lib, nullptr);
        zorvread = (fs::path(lib).parent_path() / "zorvread").string();
        work = fs::temp_directory_path() / ("zorvread-list-" + std::to_string(::getpid()));
        fs::create_directories(work);
    }
    void TearDown() override { fs::remove_all(work); }
    // No zorv.conf of the user's: the environment alone chooses.
    std::string list(const std::string& source) {
        return run("XDG_CONFIG_HOME=" + work.string() + " ZORV_SOURCE=" + source + " " + zorvread + " --list");
    }
    std::string zorvread;
    fs::path work;
};

TEST_F(ZorvreadList, SimIsNamedWithItsTwelveChannels) {
    const std::string text = list("sim");
    EXPECT_EQ(text.rfind("source in force: sim (from ZORV_SOURCE), a simulated LM78 board\n", 0), 0u) << text;
    for (const char* line : {"  cpu_fan      default 2800 RPM (system default)", "  in6          default -5.7..-4.3 V",
                             "cpu_temp   ", "in5        "})
        EXPECT_NE(text.find(line), std::string::npos) << line << " not in:\n" << text;
    EXPECT_EQ(text.find("absent"), std::string::npos) << text;
    EXPECT_EQ(text.find("map in force"), std::string::npos) << text;
    EXPECT_EQ(text.find("no such sensor"), std::string::npos) << text;
}

TEST_F(ZorvreadList, FileSourceListsOnlyWhatTheFileNames) {
    const fs::path readings = work / "readings";
    std::ofstream(readings) << "cpu_fan = 0\nin0 = 1200\n";
    const std::string text = list("file:" + readings.string());
    EXPECT_NE(text.find("source in force: file:" + readings.string()), std::string::npos) << text;
    EXPECT_NE(text.find("  cpu_fan      default 2800 RPM"), std::string::npos) << text;
    EXPECT_NE(text.find("  power_fan    absent"), std::string::npos) << text;
    EXPECT_NE(text.find("cpu_fan          0 RPM"), std::string::npos) << text;
    EXPECT_NE(text.find("in0           1200 mV"), std::string::npos) << text;
}

TEST_F(ZorvreadList, AnUnknownSourceIsNamedAndRefused) {
    const std::string text = list("bogus");
    EXPECT_NE(text.find("source in force: bogus"), std::string::npos) << text;
    EXPECT_NE(text.find("it cannot be used: Unknown sensor source"), std::string::npos) << text;
    EXPECT_NE(std::system(("XDG_CONFIG_HOME=" + work.string() + " ZORV_SOURCE=bogus " + zorvread +
                           " --list >/dev/null 2>&1")
                              .c_str()),
              0);
}

}  // namespace
