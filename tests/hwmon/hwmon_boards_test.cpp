// libzorv.so over real libsensors on the fake trees of today's machines
// (tests/hwmon/trees/make_tree.sh): per machine, which channels are there,
// what they read, and the default thresholds that keep a healthy machine
// quiet and make a fault warn. Each test gets a private mount namespace with
// a tmpfs over /sys/class.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const char* const kChannels[] = {"cpu_fan", "power_fan", "chassis_fan", "cpu_temp", "mb_temp", "in0",
                                 "in1",     "in2",       "in3",         "in4",      "in5",     "in6"};
const char* const kExports[] = {"GetFanCPURPM",     "GetFanPowerRPM", "GetFanChasisRPM", "GetCPUTemperature",
                                "GetMBTemperature", "GetVoltIN0",     "GetVoltIN1",      "GetVoltIN2",
                                "GetVoltIN3",       "GetVoltIN4",     "GetVoltIN5",      "GetVoltIN6"};

std::string script() {
    const char* s = std::getenv("ZORV_TREES");
    return s ? s : "";
}

std::string run(const std::string& cmd, int* status = nullptr) {
    std::string out;
    if (FILE* p = ::popen((cmd + " 2>&1").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        const int rc = ::pclose(p);
        if (status) *status = rc;
    }
    return out;
}

// What a machine reads: the value per channel, or nothing when it is absent.
struct Readings {
    std::vector<std::optional<int>> values;
    int mask = 0;
    bool operator==(const Readings&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Readings& r) {
    os << "mask 0x" << std::hex << r.mask << std::dec << ":";
    for (std::size_t i = 0; i < r.values.size(); ++i)
        os << " " << kChannels[i] << "=" << (r.values[i] ? std::to_string(*r.values[i]) : "absent");
    return os;
}

// The tree script's own statement of what the machine reads.
Readings expected(const std::string& machine) {
    Readings r;
    std::istringstream in(run(script() + " --expect " + machine));
    std::string channel, value;
    for (int i = 0; in >> channel >> value; ++i) {
        EXPECT_EQ(channel, kChannels[i]) << machine;
        if (value == "absent") {
            r.values.push_back(std::nullopt);
        } else {
            r.values.push_back(std::stoi(value));
            r.mask |= 1 << i;
        }
    }
    return r;
}

class Zorv {
public:
    Zorv(const fs::path& dir, const std::string& conf) {
        const char* lib = std::getenv("ZORV_TEST_LIB");
        if (!lib) return;
        fs::create_directories(dir);
        fs::copy_file(lib, dir / "libzorv.so", fs::copy_options::overwrite_existing);
        std::ofstream(dir / "zorv.conf") << conf;
        handle_ = dlopen((dir / "libzorv.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) return;
        for (int i = 0; i < 12; ++i) fns_[i] = reinterpret_cast<std::int16_t (*)()>(dlsym(handle_, kExports[i]));
        mask_ = reinterpret_cast<std::int32_t (*)()>(dlsym(handle_, "GetChannelMask"));
        default_ = reinterpret_cast<std::int32_t (*)(std::int32_t, std::int32_t*, std::int32_t*)>(
            dlsym(handle_, "GetChannelDefault"));
    }
    ~Zorv() {
        if (handle_) dlclose(handle_);
    }
    Zorv(const Zorv&) = delete;
    Zorv& operator=(const Zorv&) = delete;

    [[nodiscard]] bool loaded() const { return handle_ && fns_[11] && mask_ && default_; }
    int mask() { return mask_(); }
    // GetChannelDefault's answer: origin, lower, upper.
    std::array<int, 3> channelDefault(int channel) {
        std::int32_t lower = -7, upper = -7;
        const int origin = default_(channel, &lower, &upper);
        return {origin, lower, upper};
    }
    int read(int channel) { return fns_[channel](); }
    // An export by name, for the optional ones.
    template <typename Fn>
    Fn fn(const char* name) const {
        return reinterpret_cast<Fn>(dlsym(handle_, name));
    }

    // Presence first, as Velmon asks it; an absent channel must read 0.
    Readings readAll() {
        Readings r;
        r.mask = mask();
        for (int i = 0; i < 12; ++i) {
            const int v = read(i);
            if (r.mask & (1 << i))
                r.values.push_back(v);
            else {
                EXPECT_EQ(v, 0) << kChannels[i] << " is absent but reads " << v;
                r.values.push_back(std::nullopt);
            }
        }
        return r;
    }

private:
    void* handle_ = nullptr;
    std::int16_t (*fns_[12])() = {};
    std::int32_t (*mask_)() = nullptr;
    std::int32_t (*default_)(std::int32_t, std::int32_t*, std::int32_t*) = nullptr;
};

class Machine : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(script().empty()) << "ZORV_TREES names make_tree.sh";
        if (unshare(CLONE_NEWNS) != 0) {
            if (errno == EPERM) GTEST_SKIP() << "unshare(CLONE_NEWNS) is not permitted here (needs root)";
            FAIL() << "unshare: " << std::strerror(errno);
        }
        ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0) << std::strerror(errno);
        ASSERT_EQ(mount("zorvboards", "/sys/class", "tmpfs", 0, nullptr), 0) << std::strerror(errno);
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        work = fs::temp_directory_path() / ("zorv-boards-" + std::to_string(getpid()) + "-" + name);
        fs::remove_all(work);
        fs::create_directories(work);
        setenv("ZORV_SOURCE", "hwmon", 1);
        setenv("XDG_CONFIG_HOME", (work / "xdg").c_str(), 1);
    }
    void TearDown() override {
        if (!work.empty()) fs::remove_all(work);
    }

    void makeTree(const std::string& machine) {
        int status = -1;
        const std::string out =
            run(script() + " " + machine + " /sys/class " + (work / "sensors.conf").string(), &status);
        ASSERT_EQ(status, 0) << out;
        setenv("ZORV_SENSORS_CONF", (work / "sensors.conf").c_str(), 1);
    }

    static void put(const fs::path& p, const std::string& text) {
        std::ofstream out(p);
        out << text << "\n";
        ASSERT_TRUE(out.good()) << p;
    }

    fs::path work;
};

class EveryMachine : public Machine, public testing::WithParamInterface<const char*> {};

// "CHANNEL FILE VALUE" lines of the tree script (--fault, --load, --hot).
struct Change {
    int channel;
    std::string file, value;
};

std::vector<Change> changes(const std::string& option, const std::string& machine) {
    std::vector<Change> out;
    std::istringstream in(run(script() + " " + option + " " + machine));
    std::string channel, file, value;
    while (in >> channel >> file >> value) {
        const auto at = std::find(std::begin(kChannels), std::end(kChannels), channel) - std::begin(kChannels);
        EXPECT_LT(at, 12) << option << " " << machine << ": " << channel;
        if (at < 12) out.push_back({static_cast<int>(at), file, value});
    }
    return out;
}

// The thresholds Velmon keeps where the library gives none (the 1997 board's).
constexpr std::array<std::array<int, 2>, 12> kSystemThresholds = {{{2800, 0}, {2700, 0}, {1800, 0}, {0, 80}, {0, 50},
                                                                   {1500, 3700}, {1300, 3700}, {2900, 3900},
                                                                   {4500, 5500}, {11000, 13000}, {-13700, -10300},
                                                                   {-5700, -4300}}};

// Velmon's warning rules: a fan at or below its threshold, a temperature at or
// above, a voltage (rounded to 0.1 V) not strictly between its two.
bool warns(int channel, int value, std::array<int, 3> def) {
    const auto [lower, upper] = def[0] == 0 ? kSystemThresholds[static_cast<std::size_t>(channel)]
                                            : std::array<int, 2>{def[1], def[2]};
    if (channel <= 2) return value <= lower;
    if (channel <= 4) return value >= upper;
    const float rounded = std::floor((static_cast<float>(value) / 1000.0f + 0.05f) * 10.0f) / 10.0f;
    return !(rounded > static_cast<float>(lower) / 1000.0f && rounded < static_cast<float>(upper) / 1000.0f);
}

// The channels that warn now, by name.
std::vector<std::string> warnings(Zorv& zorv, const std::array<std::array<int, 3>, 12>& defs) {
    std::vector<std::string> out;
    const int mask = zorv.mask();
    for (int i = 0; i < 12; ++i)
        if ((mask & (1 << i)) && warns(i, zorv.read(i), defs[static_cast<std::size_t>(i)]))
            out.push_back(std::string(kChannels[i]) + "=" + std::to_string(zorv.read(i)));
    return out;
}

TEST_P(EveryMachine, DefaultsKeepItQuietAtIdleAndUnderLoadAndWarnWhenHotOrBroken) {
    const std::string machine = GetParam();
    ASSERT_NO_FATAL_FAILURE(makeTree(machine));
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();

    // What the script says GetChannelDefault answers; absent channels keep the caller's.
    std::istringstream in(run(script() + " --defaults " + machine));
    std::array<std::array<int, 3>, 12> defs{};
    std::string line;
    int i = 0;
    for (; i < 12 && std::getline(in, line); ++i) {
        std::istringstream words(line);
        std::string channel, lower, upper, origin;
        words >> channel >> lower >> upper >> origin;
        ASSERT_EQ(channel, kChannels[i]) << machine << ": " << line;
        const bool absent = lower == "absent";
        EXPECT_EQ(absent, !(zorv.mask() & (1 << i))) << machine << ": " << line;
        const std::array<int, 3> want =
            absent ? std::array<int, 3>{0, 0, 0}
                   : std::array<int, 3>{origin == "chip" ? 1 : origin == "today" ? 2 : 0, std::stoi(lower), std::stoi(upper)};
        ASSERT_TRUE(absent || origin == "system" || origin == "chip" || origin == "today") << line;
        defs[static_cast<std::size_t>(i)] = zorv.channelDefault(i);
        EXPECT_EQ(defs[static_cast<std::size_t>(i)], want) << machine << ": " << line;
    }
    ASSERT_EQ(i, 12) << "make_tree.sh --defaults " << machine;

    EXPECT_EQ(warnings(zorv, defs), std::vector<std::string>{}) << machine << " at idle";
    for (const auto& c : changes("--load", machine)) put(fs::path("/sys/class") / c.file, c.value);
    EXPECT_EQ(warnings(zorv, defs), std::vector<std::string>{}) << machine << " under full load";
    if (zorv.mask() & (1 << 3)) {
        EXPECT_EQ(zorv.channelDefault(3), defs[3]) << "defaults are worked out once, not from the readings";
    }

    const auto hot = changes("--hot", machine);
    const auto fault = changes("--fault", machine);
    if (zorv.mask() == 0) {
        EXPECT_TRUE(hot.empty() && fault.empty()) << machine << " has no sensor to make hot or break";
        return;
    }
    ASSERT_EQ(hot.size(), 1u) << machine;
    ASSERT_EQ(hot[0].channel, 3) << machine;
    put(fs::path("/sys/class") / hot[0].file, hot[0].value);
    EXPECT_EQ(zorv.read(3), 99) << machine;
    EXPECT_EQ(warnings(zorv, defs), std::vector<std::string>{"cpu_temp=99"}) << machine << " with the CPU at 99 C";

    ASSERT_EQ(fault.size(), 1u) << machine;
    put(fs::path("/sys/class") / hot[0].file, "50000");  // cooled down again: the fault alone warns
    put(fs::path("/sys/class") / fault[0].file, fault[0].value);
    const std::string faulty = std::string(kChannels[fault[0].channel]) + "=" + std::to_string(zorv.read(fault[0].channel));
    EXPECT_EQ(warnings(zorv, defs), std::vector<std::string>{faulty}) << machine << " with its fault";
}

TEST_P(EveryMachine, ReadsTheChannelsItHasAndOnlyThose) {
    const std::string machine = GetParam();
    ASSERT_NO_FATAL_FAILURE(makeTree(machine));
    const Readings want = expected(machine);
    ASSERT_EQ(want.values.size(), 12u) << "make_tree.sh --expect " << machine;
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    EXPECT_EQ(zorv.readAll(), want) << machine;

    // The fault the end-to-end runs make shows at the next reading.
    std::istringstream fault(run(script() + " --fault " + machine));
    std::string channel, file, value;
    if (!(fault >> channel >> file >> value)) {
        EXPECT_EQ(want.mask, 0) << machine << " has sensors but no fault to make";
        return;
    }
    const auto at = std::find(std::begin(kChannels), std::end(kChannels), channel) - std::begin(kChannels);
    ASSERT_LT(at, 12) << channel;
    ASSERT_TRUE(want.values[static_cast<std::size_t>(at)]) << machine << ": the fault is on an absent channel";
    ASSERT_TRUE(fs::exists(fs::path("/sys/class") / file)) << file;
    put(fs::path("/sys/class") / file, value);
    EXPECT_EQ(zorv.read(static_cast<int>(at)), channel == "cpu_temp" ? 95 : 0) << machine;
}

// The machines of the tree script, each with the mask its channels give:
// stated here too, so that a change of the script's expectations shows.
const char* const kMachines[] = {"lm78",     "amd-nct6798", "intel-nct6775",   "ite-it8686", "ite-it8686-labelled",
                                 "thinkpad", "dell",        "arm-cpu-thermal", "none"};

INSTANTIATE_TEST_SUITE_P(Trees, EveryMachine, testing::ValuesIn(kMachines),
                         [](const testing::TestParamInfo<const char*>& machine) {
                             std::string n = machine.param;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

TEST_F(Machine, TheScriptListsEveryMachineWithItsMask) {
    std::string listed;
    for (const char* m : kMachines) listed += std::string(m) + "\n";
    EXPECT_EQ(run(script() + " --list"), listed);
    const std::pair<const char*, int> masks[] = {
        {"lm78", 0xFFF},          {"amd-nct6798", 0x09D}, {"intel-nct6775", 0x09D},   {"ite-it8686", 0x09D},
        {"ite-it8686-labelled", 0x39D}, {"thinkpad", 0x019}, {"dell", 0x019}, {"arm-cpu-thermal", 0x008},
        {"none", 0}};
    for (auto [m, mask] : masks) EXPECT_EQ(expected(m).mask, mask) << m;
}

TEST_F(Machine, AHeaderThatReadsZeroAtStartIsPresentAndAFaultShowsAtTheNextCall) {
    ASSERT_NO_FATAL_FAILURE(makeTree("amd-nct6798"));
    const fs::path nct = "/sys/class/hwmon/hwmon0";
    put(nct / "fan1_input", "0");  // nothing turns on the chassis header yet
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    EXPECT_EQ(zorv.mask(), 0x09D);
    EXPECT_EQ(zorv.read(2), 0);
    put(nct / "fan2_input", "0");         // the CPU fan stops
    put("/sys/class/hwmon/hwmon1/temp1_input", "95250");  // k10temp Tctl
    EXPECT_EQ(zorv.read(0), 0);
    EXPECT_EQ(zorv.read(3), 95);
    EXPECT_EQ(zorv.mask(), 0x09D) << "presence does not follow the readings";
}

TEST_F(Machine, ZorvConfMapsWhatTheBuiltInMapLeavesOutAndUnmapsWhatItHas) {
    ASSERT_NO_FATAL_FAILURE(makeTree("amd-nct6798"));
    Zorv zorv(work / "lib", "power_fan = nct6798-*/fan3\n"
                            "in0 = nct6798-isa-0290/in0\n"
                            "mb_temp = none\n"
                            "in6 = nct6798-isa-0290/in99\n");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    auto want = expected("amd-nct6798");
    want.values[1] = 0;  // the header reads 0 and is there
    want.values[4] = std::nullopt;
    want.values[5] = 984;
    want.mask = (want.mask | 0x2 | 0x20) & ~0x10;
    EXPECT_EQ(zorv.readAll(), want);
}

TEST_F(Machine, ARailLabelInSensorsDBringsItInWithItsComputeLine) {
    ASSERT_NO_FATAL_FAILURE(makeTree("ite-it8686"));
    std::ofstream(work / "sensors.conf") << "chip \"it8686-*\"\n"
                                            "    label in5 \"-12 V\"\n"
                                            "    compute in5 -@*(1+120/10), -@/(1+120/10)\n";
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    EXPECT_EQ(zorv.mask(), 0x09D | 1 << 10);
    EXPECT_EQ(zorv.read(10), -11856);  // 0.912 V at the pin through 120k/10k
}

TEST_F(Machine, ZorvreadListSaysWhatEachChannelReadsOrWhyItIsAbsent) {
    ASSERT_NO_FATAL_FAILURE(makeTree("amd-nct6798"));
    const char* lib = std::getenv("ZORV_TEST_LIB");
    ASSERT_NE(lib, nullptr);
    const std::string text = run((fs::path(lib).parent_path() / "zorvread").string() + " --list");
    for (const char* line :
         {"cpu_fan      = nct6798-isa-0290/fan2", "power_fan    = -", "cpu_temp     = k10temp-pci-00c3/temp1",
          "\"Tctl\"", "mb_temp      = nct6798-isa-0290/temp1", "\"SYSTIN\"", "in2          = nct6798-isa-0290/in3",
          "in0          = -", "amdgpu-pci-0300", "nvme-pci-0100"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " not in:\n" << text;
    auto reason = [&](const char* channel) {
        const auto at = text.find(std::string("  ") + channel + " ", text.find("map in force"));
        if (at == std::string::npos) return std::string();
        return text.substr(at, text.find('\n', at) - at);
    };
    EXPECT_NE(reason("power_fan").find("not mapped"), std::string::npos) << reason("power_fan");
    EXPECT_NE(reason("in0").find("not mapped"), std::string::npos) << reason("in0");
    EXPECT_NE(reason("in4").find("divider unknown"), std::string::npos) << reason("in4");
    for (const char* line : {"  cpu_fan      default 300 RPM (today's default)",
                             "  cpu_temp     default 97 C (today's default: k10temp has no limit",
                             "  in2          default 2.9..3.9 V (system default", "  power_fan    absent"})
        EXPECT_NE(text.find(line, text.find("\ndefaults")), std::string::npos) << line << " not in:\n" << text;

    ASSERT_EQ(umount2("/sys/class", MNT_DETACH), 0) << std::strerror(errno);
    ASSERT_EQ(mount("zorvboards", "/sys/class", "tmpfs", 0, nullptr), 0) << std::strerror(errno);
    ASSERT_NO_FATAL_FAILURE(makeTree("arm-cpu-thermal"));
    const std::string bare = run((fs::path(lib).parent_path() / "zorvread").string() + " --list");
    EXPECT_NE(bare.find("cpu_temp     = cpu_thermal-virtual-0/temp1"), std::string::npos) << bare;
    const auto fan = bare.find("  cpu_fan ");
    ASSERT_NE(fan, std::string::npos) << bare;
    EXPECT_NE(bare.substr(fan, bare.find('\n', fan) - fan).find("no such sensor"), std::string::npos) << bare;
    EXPECT_NE(bare.find("  cpu_temp     default 85 C (chip limit: crit 90 C)"), std::string::npos) << bare;
}

TEST_F(Machine, ZorvreadListGivesTheSystemsDefaultsOfTheSimulatedBoard) {
    ASSERT_NO_FATAL_FAILURE(makeTree("intel-nct6775"));
    const char* lib = std::getenv("ZORV_TEST_LIB");
    ASSERT_NE(lib, nullptr);
    const std::string text = run("ZORV_SOURCE=sim " + (fs::path(lib).parent_path() / "zorvread").string() + " --list");
    const auto sim = text.find("the source in use is sim");
    ASSERT_NE(sim, std::string::npos) << text;
    EXPECT_NE(text.find("  cpu_temp     default 95 C (chip limit: crit 100 C)"), std::string::npos) << text;
    for (const char* line : {"  cpu_fan      default 2800 RPM (system default)", "  cpu_temp     default 80 C (system default)",
                             "  mb_temp      default 50 C (system default)", "  in5          default -13.7..-10.3 V (system default)"})
        EXPECT_NE(text.find(line, sim), std::string::npos) << line << " not in:\n" << text;
}

TEST_F(Machine, AChoiceSavedAndReloadedReadsTheChosenSensorsAndAutomaticBringsTheBuiltInMapBack) {
    ASSERT_NO_FATAL_FAILURE(makeTree("intel-nct6775"));
    Zorv zorv(work / "lib", "# mine\n");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    const auto save = zorv.fn<std::int32_t (*)(const char*, char*, std::int32_t)>("SetChannelSensors");
    const auto reload = zorv.fn<std::int32_t (*)()>("ReloadSensors");
    const auto list = zorv.fn<std::int32_t (*)(char*, std::int32_t)>("GetSensorList");
    ASSERT_TRUE(save && reload && list);
    EXPECT_EQ(zorv.mask(), 0x09D);
    char message[512] = {};
    ASSERT_EQ(save("mb_temp = nvme-pci-0100/temp1\npower_fan = nct6775-isa-0290/fan3\nin4 = nct6775-isa-0290/in4 * 6\n",
                   message, sizeof message),
              0)
        << message;
    EXPECT_EQ(zorv.mask(), 0x09D) << "a save alone changes nothing until the reload";
    EXPECT_EQ(reload(), 0x09D | 0x2 | 0x200);
    EXPECT_EQ(zorv.read(1), 760);
    EXPECT_EQ(zorv.read(4), 39);    // the drive's Composite, 38.85 C
    EXPECT_EQ(zorv.read(9), 9168);  // 1.528 V at the pin through a divider of 6
    EXPECT_EQ(zorv.channelDefault(1), (std::array<int, 3>{2, 300, 0})) << "a stall threshold for the new fan";
    std::string text(static_cast<std::size_t>(list(nullptr, 0)), '\0');
    list(text.data(), static_cast<std::int32_t>(text.size()));
    EXPECT_NE(text.find("sensor\ttemp\tnvme-pci-0100\ttemp1\tComposite\t38.850\tmb_temp\n"), std::string::npos) << text;
    EXPECT_NE(text.find("channel\tin4\tnct6775-isa-0290/in4 * 6\tnct6775-isa-0290/in4 * 6\t-\n"), std::string::npos)
        << text;

    ASSERT_EQ(save("mb_temp = auto\npower_fan = auto\nin4 = auto\n", message, sizeof message), 0) << message;
    EXPECT_EQ(reload(), 0x09D);
    EXPECT_EQ(zorv.readAll(), expected("intel-nct6775"));
    std::ifstream in(work / "lib/zorv.conf");
    std::stringstream conf;
    conf << in.rdbuf();
    EXPECT_EQ(conf.str(), "# mine\n");
}

}  // namespace
