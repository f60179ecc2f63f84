// The writer of zorv.conf's channel lines: what it keeps, what it refuses,
// and that a failed write leaves the old file whole.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Config.h"
#include "ConfigEdit.h"
#include "HwmonMap.h"

namespace zorv {
namespace {

namespace fs = std::filesystem;

std::string edited(std::string_view text, std::vector<ChannelChoice> choices) {
    const ConfigEdit e = editConfigText(text, choices);
    EXPECT_TRUE(e.ok) << e.error;
    return e.text;
}

TEST(ConfigEdit, KeepsCommentsAndOtherLinesAndRewritesTheChannelInPlace) {
    const std::string before =
        "# my board\n"
        "source = hwmon\n"
        "\n"
        "; the case fan header\n"
        "chassis_fan = nct6775-isa-0290/fan1\n"
        "cpu_fan = nct6775-*/fan2\n"
        "cpu_fan = nct6775-*/fan4\n"
        "something_else = kept\n";
    EXPECT_EQ(edited(before, {{Channel::CpuFan, "none"}, {Channel::PowerFan, "nct6775-isa-0290/fan3"},
                              {Channel::ChassisFan, ""}, {Channel::In4, "nct6775-isa-0290/in4 * 6"}}),
              "# my board\n"
              "source = hwmon\n"
              "\n"
              "; the case fan header\n"
              "cpu_fan = none\n"
              "something_else = kept\n"
              "power_fan = nct6775-isa-0290/fan3\n"
              "in4 = nct6775-isa-0290/in4 * 6\n");
}

TEST(ConfigEdit, RoundTripGivesTheMapTheChoicesAskForAndIsStable) {
    const std::vector<ChannelChoice> choices = {{Channel::MbTemp, "nvme-pci-0100/temp1"},
                                                {Channel::PowerFan, "nct6775-isa-0290/fan3"},
                                                {Channel::In5, "nct6775-*/in5 * 1.5"},
                                                {Channel::CpuTemp, "none"}};
    const std::string once = edited("source = hwmon\r\nmb_temp = coretemp-*/temp1\r\n", choices);
    EXPECT_EQ(edited(once, choices), once) << "a second save of the same choices changes nothing";
    EXPECT_NE(once.find("mb_temp = nvme-pci-0100/temp1\r\n"), std::string::npos) << "the line keeps its CR LF";

    const hwmon::UserMap user = hwmon::userMapFromConfig(Config{"zorv.conf", parseKeyValues(once)});
    EXPECT_TRUE(user.problems.empty());
    using T = hwmon::FeatureTarget;
    EXPECT_EQ(user.channels[4], (T{"nvme-pci-0100", "temp1"}));
    EXPECT_EQ(user.channels[1], (T{"nct6775-isa-0290", "fan3"}));
    EXPECT_EQ(user.channels[10], (T{"nct6775-*", "in5", 1.5}));
    EXPECT_EQ(user.channels[3], T{});
    EXPECT_FALSE(user.channels[0]);

    // Automatic again: the lines go, and so does the user's map.
    std::vector<ChannelChoice> automatic;
    for (const auto& c : choices) automatic.push_back({c.channel, ""});
    EXPECT_EQ(edited(once, automatic), "source = hwmon\r\n");
}

TEST(ConfigEdit, AFileThatIsNotZorvConfIsRefused) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string("cpu_fan = a/fan1\n\0\n", 19), "NUL"},
        {"source = hwmon\nthis line has no equals sign\n", "line 2"},
        {"= value without a key\n", "line 1"},
        {std::string(1024 * 1024 + 1, '#'), "larger"},
    };
    for (const auto& [text, why] : cases) {
        const ConfigEdit e = editConfigText(text, {{Channel::CpuFan, "none"}});
        EXPECT_FALSE(e.ok);
        EXPECT_NE(e.error.find(why), std::string::npos) << e.error;
    }
}

TEST(ConfigEdit, ChoicesAreCheckedBeforeAnythingIsWritten) {
    std::string error;
    EXPECT_FALSE(parseChoices("cpu_fan = fan3 on the nuvoton\n", error));
    EXPECT_NE(error.find("not CHIP/FEATURE"), std::string::npos) << error;
    EXPECT_FALSE(parseChoices("cpu_fan = nct6775-*/fan3 * 2\n", error)) << "a factor on a fan";
    EXPECT_NE(error.find("voltages only"), std::string::npos) << error;
    EXPECT_FALSE(parseChoices("gpu_fan = none\n", error));
    EXPECT_FALSE(parseChoices("in4 = nct6775-*/in4 * 0\n", error)) << "a factor of 0";
    const auto ok = parseChoices("cpu_fan = auto\n\nin4 = nct6775-*/in4 * 5.5\nmb_temp = none\n", error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(*ok, (std::vector<ChannelChoice>{
                       {Channel::CpuFan, ""}, {Channel::In4, "nct6775-*/in4 * 5.5"}, {Channel::MbTemp, "none"}}));
}

TEST(FeatureTarget, AFactorIsAPlainDecimalWithinItsRange) {
    using T = hwmon::FeatureTarget;
    const std::pair<const char*, std::optional<T>> cases[] = {
        {"it8686-*/in2 * 6", T{"it8686-*", "in2", 6}},
        {"it8686-*/in2*0.5", T{"it8686-*", "in2", 0.5}},
        {"it8686-*/in2 *\t1000", T{"it8686-*", "in2", 1000}},
        {"it8686-*/in2 * 1000.1", std::nullopt},
        {"it8686-*/in2 * 0.0001", std::nullopt},
        {"it8686-*/in2 * -2", std::nullopt},
        {"it8686-*/in2 * 1e3", std::nullopt},
        {"it8686-*/in2 * 1.2.3", std::nullopt},
        {"it8686-*/in2 *", std::nullopt},
        {"it8686-*/in2 6", std::nullopt},
    };
    for (const auto& [text, want] : cases) EXPECT_EQ(hwmon::parseFeatureTarget(text), want) << text;
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zorv-conf-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    [[nodiscard]] std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
        return out;
    }
    fs::path dir_;
};

TEST_F(ConfigFile, AMissingFileAndFolderAreMade) {
    const fs::path conf = dir_ / "xdg/zorv/zorv.conf";
    EXPECT_EQ(saveChoices(conf.string(), {{Channel::PowerFan, "nct6775-isa-0290/fan3"}}), "");
    EXPECT_EQ(read(conf), "power_fan = nct6775-isa-0290/fan3\n");
}

TEST_F(ConfigFile, AFileItCannotParseIsLeftUntouched) {
    const fs::path conf = dir_ / "zorv.conf";
    const std::string garbage = "source = hwmon\n<<<<<<< merge left over\n";
    std::ofstream(conf) << garbage;
    const std::string error = saveChoices(conf.string(), {{Channel::CpuFan, "none"}});
    EXPECT_NE(error.find("left as it is"), std::string::npos) << error;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_EQ(read(conf), garbage);
    EXPECT_EQ(names(), std::vector<std::string>{"zorv.conf"});
}

TEST_F(ConfigFile, AFolderThatCannotHoldItSaysSo) {
    std::ofstream(dir_ / "file") << "x";
    const std::string error = saveChoices((dir_ / "file/zorv/zorv.conf").string(), {{Channel::CpuFan, "none"}});
    EXPECT_NE(error.find("cannot"), std::string::npos) << error;
}

// A full disk, made with a file size limit: the write fails part-way, the
// old file stays whole and no temporary file is left behind.
TEST_F(ConfigFile, AWriteThatFailsPartWayLeavesTheOldFileWhole) {
    const fs::path conf = dir_ / "zorv.conf";
    const std::string old = "# mine\nsource = hwmon\ncpu_fan = nct6775-isa-0290/fan2\n";
    std::string big = "# a long comment that makes the new file larger than the disk has room for: ";
    big += std::string(8192, 'x') + "\n" + old;
    std::ofstream(conf) << big;

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = saveChoices(conf.string(), {{Channel::PowerFan, "nct6775-isa-0290/fan3"}});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(read(conf), big);
    EXPECT_EQ(names(), std::vector<std::string>{"zorv.conf"}) << "a temporary file was left";
}

TEST_F(ConfigFile, TheFileKeepsItsModeAndIsReplacedByRename) {
    const fs::path conf = dir_ / "zorv.conf";
    std::ofstream(conf) << "source = hwmon\n";
    fs::permissions(conf, fs::perms::owner_read | fs::perms::owner_write);
    struct stat before {};
    ::stat(conf.c_str(), &before);
    EXPECT_EQ(saveChoices(conf.string(), {{Channel::MbTemp, "nvme-pci-0100/temp1"}}), "");
    struct stat after {};
    ::stat(conf.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino) << "written in place, not replaced";
    EXPECT_EQ(after.st_mode & 0777, 0600u);
    EXPECT_EQ(read(conf), "source = hwmon\nmb_temp = nvme-pci-0100/temp1\n");
}

}  // namespace
}  // namespace zorv
