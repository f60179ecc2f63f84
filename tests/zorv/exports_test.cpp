// The exported C functions, through a private copy of libzorv.so: each copy
// loaded from its own folder is a fresh library with its own source and its
// own neighbours, which is how "next to the library" is tested.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "zorv.h"

namespace {

namespace fs = std::filesystem;

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

class LoadedCopy {
public:
    // Copies libzorv.so into dir (with the named stand-ins beside it as the
    // real libraries' file names) and loads it.
    LoadedCopy(const fs::path& dir, bool withDmi, bool withAhd, bool partialDmi = false) {
        fs::create_directories(dir);
        fs::copy_file(env("ZORV_TEST_LIB"), dir / "libzorv.so", fs::copy_options::overwrite_existing);
        const fs::path standins = env("ZORV_STANDIN_DIR");
        if (withDmi)
            fs::copy_file(standins / (partialDmi ? "libzorv_standin_dmi_partial.so" : "libzorv_standin_dmi.so"),
                          dir / "libzorvdmi.so", fs::copy_options::overwrite_existing);
        if (withAhd)
            fs::copy_file(standins / "libzorv_standin_ahd.so", dir / "libzorvahd.so",
                          fs::copy_options::overwrite_existing);
        handle_ = dlopen((dir / "libzorv.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    ~LoadedCopy() {
        if (handle_) dlclose(handle_);
    }
    [[nodiscard]] bool loaded() const { return handle_ != nullptr; }

    template <typename Fn>
    Fn fn(const char* name) const {
        void* p = dlsym(handle_, name);
        EXPECT_NE(p, nullptr) << name;
        return reinterpret_cast<Fn>(p);
    }
    int16_t reading(const char* name) const { return fn<int16_t (*)()>(name)(); }
    std::string text(const char* name) const {
        std::array<char, 80> buf;
        buf.fill('\x7f');
        fn<void* (*)(char*)>(name)(buf.data());
        const void* nul = std::memchr(buf.data(), '\0', buf.size());
        EXPECT_NE(nul, nullptr) << name << " left no NUL within 80 bytes";
        return nul ? std::string(buf.data()) : std::string();
    }

private:
    void* handle_ = nullptr;
};

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zorv-exports-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "xdg");
        ::setenv("XDG_CONFIG_HOME", (dir_ / "xdg").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("ZORV_SOURCE");
        fs::remove_all(dir_);
    }
    fs::path dir_;
};

struct Export {
    const char* name;
    int low, high;
};

// Units and ranges of every reading on the simulated board.
const Export kSimReadings[] = {
    {"GetFanCPURPM", 4200, 4800},  {"GetFanPowerRPM", 3000, 3600},  {"GetFanChasisRPM", 2100, 2700},
    {"GetCPUTemperature", 40, 50}, {"GetMBTemperature", 30, 36},    {"GetVoltIN0", 1900, 2100},
    {"GetVoltIN1", 1900, 2100},    {"GetVoltIN2", 3200, 3400},      {"GetVoltIN3", 4900, 5100},
    {"GetVoltIN4", 11800, 12200},  {"GetVoltIN5", -12200, -11800},  {"GetVoltIN6", -5100, -4900},
};

TEST_F(Exports, SimulatedBoardGivesEveryReadingInItsUnit) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    for (const auto& e : kSimReadings) {
        const int v = lib.reading(e.name);
        EXPECT_GE(v, e.low) << e.name;
        EXPECT_LE(v, e.high) << e.name;
    }
}

TEST_F(Exports, FileSourceChangesShowAtTheNextCall) {
    const fs::path readings = dir_ / "readings";
    std::ofstream(readings) << "cpu_fan = 4500\nin5 = -12100\n";
    ::setenv("ZORV_SOURCE", ("file:" + readings.string()).c_str(), 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    EXPECT_EQ(lib.reading("GetFanCPURPM"), 4500);
    EXPECT_EQ(lib.reading("GetVoltIN5"), -12100);
    EXPECT_EQ(lib.reading("GetCPUTemperature"), 0);  // not in the file
    std::ofstream(readings) << "cpu_fan = 0\nin5 = -99999\ncpu_temp = hot\n";
    EXPECT_EQ(lib.reading("GetFanCPURPM"), 0);
    EXPECT_EQ(lib.reading("GetVoltIN5"), -32768);
    EXPECT_EQ(lib.reading("GetCPUTemperature"), 0);
}

TEST_F(Exports, ANameTheFileNoLongerSetsIsAFailedReadUntilItComesBack) {
    using MaskFn = int32_t (*)();
    const fs::path readings = dir_ / "readings";
    std::ofstream(readings) << "cpu_fan = 900\ncpu_temp = 47\nin3 = 5000\n";
    ::setenv("ZORV_SOURCE", ("file:" + readings.string()).c_str(), 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    const auto failures = lib.fn<MaskFn>("GetReadFailures");
    ASSERT_EQ(lib.fn<MaskFn>("GetChannelMask")(), (1 << 0) | (1 << 3) | (1 << 8));
    EXPECT_EQ(failures(), 0);  // nothing read yet

    const struct {
        const char* file;
        int32_t failed;  // after reading the fan, the CPU temperature, +5 V and the never-set mainboard
    } cases[] = {
        {"cpu_fan = 900\ncpu_temp = 47\nin3 = 5000\n", 0},
        {"cpu_fan = 900\nin3 = 5000\n", 1 << 3},                    // the temperature's line removed
        {"cpu_fan = 0\ncpu_temp = 47\nin3 =\n", 1 << 8},            // a stopped fan is a reading; an empty value is not
        {"", (1 << 0) | (1 << 3) | (1 << 8)},                       // nothing left
        {"cpu_fan = 900\ncpu_temp = 47\nin3 = 5000\n", 0},          // back again
    };
    for (const auto& c : cases) {
        std::ofstream(readings) << c.file;
        lib.reading("GetFanCPURPM");
        EXPECT_EQ(lib.reading("GetCPUTemperature"), c.failed & (1 << 3) ? 0 : 47) << c.file;
        lib.reading("GetVoltIN3");
        lib.reading("GetMBTemperature");
        EXPECT_EQ(failures(), c.failed) << c.file;
    }
    fs::remove(readings);  // a file that cannot be read fails every channel it set
    lib.reading("GetFanCPURPM");
    EXPECT_EQ(failures(), 1 << 0);
}

TEST_F(Exports, TheSimulatedBoardNeverFails) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    for (const auto& e : kSimReadings) lib.reading(e.name);
    EXPECT_EQ(lib.fn<int32_t (*)()>("GetReadFailures")(), 0);
}

TEST_F(Exports, ChannelMaskNamesTheChannelsTheSourceMeasures) {
    using MaskFn = int32_t (*)();
    ::setenv("ZORV_SOURCE", "sim", 1);
    {
        LoadedCopy lib(dir_ / "sim", false, false);
        ASSERT_TRUE(lib.loaded()) << dlerror();
        EXPECT_EQ(lib.fn<MaskFn>("GetChannelMask")(), 0xFFF);
    }

    const fs::path readings = dir_ / "readings";
    std::ofstream(readings) << "cpu_fan = 0\ncpu_temp = 51\nin2 = 3300\nin6 =\nbogus = 1\n";
    ::setenv("ZORV_SOURCE", ("file:" + readings.string()).c_str(), 1);
    {
        LoadedCopy lib(dir_ / "file", false, false);
        ASSERT_TRUE(lib.loaded()) << dlerror();
        // A fan that reads 0 is there; a name without a value is not.
        EXPECT_EQ(lib.fn<MaskFn>("GetChannelMask")(), (1 << 0) | (1 << 3) | (1 << 7));
    }

    ::setenv("ZORV_SOURCE", "no-such-source", 1);
    LoadedCopy lib(dir_ / "unknown", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    EXPECT_EQ(lib.fn<MaskFn>("GetChannelMask")(), 0);
}

using DefaultFn = int32_t (*)(int32_t, int32_t*, int32_t*);
constexpr int32_t kUntouched = 0x5A5A;

TEST_F(Exports, ChannelDefaultRefusesAChannelOutOfRangeOrANullPointerAndWritesNothing) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    const auto def = lib.fn<DefaultFn>("GetChannelDefault");
    for (int32_t channel : {-1, 12, 1000, INT32_MIN}) {
        int32_t lower = kUntouched, upper = kUntouched;
        EXPECT_EQ(def(channel, &lower, &upper), -1) << channel;
        EXPECT_EQ(lower, kUntouched) << channel;
        EXPECT_EQ(upper, kUntouched) << channel;
    }
    int32_t v = kUntouched;
    EXPECT_EQ(def(0, nullptr, &v), -1);
    EXPECT_EQ(v, kUntouched);
    EXPECT_EQ(def(3, &v, nullptr), -1);
    EXPECT_EQ(v, kUntouched);
    EXPECT_EQ(def(5, nullptr, nullptr), -1);
}

// Every channel answers "the caller's own defaults", with 0 written to both.
void expectSystemDefaults(const LoadedCopy& lib, const char* source) {
    const auto def = lib.fn<DefaultFn>("GetChannelDefault");
    for (int32_t channel = 0; channel < 12; ++channel) {
        int32_t lower = kUntouched, upper = kUntouched;
        EXPECT_EQ(def(channel, &lower, &upper), ZORV_DEFAULT_SYSTEM) << source << " channel " << channel;
        EXPECT_EQ(lower, 0) << source << " channel " << channel;
        EXPECT_EQ(upper, 0) << source << " channel " << channel;
    }
}

TEST_F(Exports, TheSimulatedBoardAFileAndAnUnknownSourceKeepTheCallersDefaults) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    {
        LoadedCopy lib(dir_ / "sim", false, false);
        ASSERT_TRUE(lib.loaded()) << dlerror();
        expectSystemDefaults(lib, "sim");
        expectSystemDefaults(lib, "sim, asked again");
    }
    const fs::path readings = dir_ / "readings";
    std::ofstream(readings) << "cpu_fan = 700\ncpu_temp = 45\nin2 = 3300\n";
    ::setenv("ZORV_SOURCE", ("file:" + readings.string()).c_str(), 1);
    {
        LoadedCopy lib(dir_ / "file", false, false);
        ASSERT_TRUE(lib.loaded()) << dlerror();
        expectSystemDefaults(lib, "file");
    }
    ::setenv("ZORV_SOURCE", "no-such-source", 1);
    LoadedCopy lib(dir_ / "unknown", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    expectSystemDefaults(lib, "unknown");
}

TEST_F(Exports, SourceComesFromZorvConfNextToTheLibrary) {
    const fs::path readings = dir_ / "readings";
    std::ofstream(readings) << "mb_temp = 41\n";
    fs::create_directories(dir_ / "lib");
    std::ofstream(dir_ / "lib/zorv.conf") << "source = file:" << readings.string() << "\n";
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    EXPECT_EQ(lib.reading("GetMBTemperature"), 41);
}

// What GetSourceError reports, read through a buffer of the given size.
std::pair<int32_t, std::string> sourceError(const LoadedCopy& lib, int32_t size = 256) {
    std::string buf(static_cast<std::size_t>(size) + 1, '\x7f');
    const int32_t rc = lib.fn<int32_t (*)(char*, int32_t)>("GetSourceError")(buf.data(), size);
    EXPECT_EQ(buf.back(), '\x7f') << "wrote past the buffer";
    const void* nul = std::memchr(buf.data(), '\0', static_cast<std::size_t>(size));
    EXPECT_NE(nul, nullptr) << "no NUL within the buffer";
    return {rc, nul ? std::string(buf.data()) : std::string()};
}

TEST_F(Exports, UnknownSourceIsReportedWithItsNameAndTheKnownSources) {
    ::setenv("ZORV_SOURCE", "bogus", 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    EXPECT_EQ(lib.reading("GetCPUTemperature"), 0);
    const auto [rc, text] = sourceError(lib);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(text,
              "Unknown sensor source \"bogus\" (from ZORV_SOURCE). The sources are: sim, sim:FILE, file:FILE, hwmon.");
    // A short buffer gets the start of the message, still terminated.
    const auto [shortRc, shortText] = sourceError(lib, 8);
    EXPECT_EQ(shortRc, 1);
    EXPECT_EQ(shortText, "Unknown");
}

TEST_F(Exports, MisspeltSourceInZorvConfNamesTheFile) {
    fs::create_directories(dir_ / "lib");
    std::ofstream(dir_ / "lib/zorv.conf") << "source = hwnom\n";
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    const auto [rc, text] = sourceError(lib);
    EXPECT_EQ(rc, 1);
    EXPECT_NE(text.find("\"hwnom\" (from " + (dir_ / "lib/zorv.conf").string() + ")"), std::string::npos) << text;
}

TEST_F(Exports, KnownSourceReportsNoError) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    const auto [rc, text] = sourceError(lib);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(text, "");
    EXPECT_GT(lib.reading("GetCPUTemperature"), 0);
}

TEST_F(Exports, PassesDmiAndCpuNameThroughTheLibrariesNextToIt) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", true, true);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    EXPECT_EQ(lib.text("DMI_GetMBProduct"), "P2B-LS Stand-in");
    EXPECT_EQ(lib.text("DMI_GetMBManufacturer"), "Board Maker Inc.");
    EXPECT_EQ(lib.text("DMI_GetBIOSVender"), "Firmware Works");
    EXPECT_EQ(lib.text("DMI_GetBIOSVersion"), "1.00.07-29-characters-long-xx");
    EXPECT_EQ(lib.reading("DMI_GetMBClock"), 450);
    EXPECT_EQ(lib.text("GetCPUName"), "AMD-K6-2");
    EXPECT_EQ(lib.text("GetCPUName"), "AMD-K6-2");
    EXPECT_EQ(lib.fn<int32_t (*)(char*)>("DMI_GetBIOSVender")(std::array<char, 80>{}.data()), 1);

    // The lookup ran once, with the record of the DMI library.
    void* ahd = dlopen((dir_ / "lib/libzorvahd.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(ahd, nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(dlsym(ahd, "StandinLookups"))(), 1);
    dlclose(ahd);
}

TEST_F(Exports, MissingLibrariesGiveEmptyStringsAndZero) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    for (const char* f : {"DMI_GetMBProduct", "DMI_GetMBManufacturer", "DMI_GetBIOSVender", "DMI_GetBIOSVersion",
                          "GetCPUName"})
        EXPECT_EQ(lib.text(f), "") << f;
    EXPECT_EQ(lib.reading("DMI_GetMBClock"), 0);
    EXPECT_EQ(lib.fn<int32_t (*)(char*)>("GetCPUName")(std::array<char, 80>{}.data()), 0);
}

TEST_F(Exports, MissingFunctionsGiveEmptyStringsAndZero) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", true, false, /*partialDmi=*/true);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    EXPECT_EQ(lib.text("DMI_GetMBProduct"), "Only Product");
    EXPECT_EQ(lib.text("DMI_GetBIOSVersion"), "");
    EXPECT_EQ(lib.reading("DMI_GetMBClock"), 0);
    EXPECT_EQ(lib.text("GetCPUName"), "");  // no DMI_GetCPUInfo and no CPU data library
}

TEST_F(Exports, DmiWithoutCpuDataLibraryStillAnswersDmi) {
    ::setenv("ZORV_SOURCE", "sim", 1);
    LoadedCopy lib(dir_ / "lib", true, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    EXPECT_EQ(lib.text("DMI_GetMBProduct"), "P2B-LS Stand-in");
    EXPECT_EQ(lib.text("GetCPUName"), "");
}

// The choosing exports, on a file source: what the list says, what a save
// writes, and that a reload takes a changed zorv.conf.
TEST_F(Exports, SensorListSaveAndReloadWorkTogether) {
    const fs::path a = dir_ / "a", b = dir_ / "b", conf = dir_ / "xdg/zorv/zorv.conf";
    std::ofstream(a) << "cpu_temp = 47\nmb_temp = 33\n";
    std::ofstream(b) << "cpu_temp = 52\nmb_temp = 35\npower_fan = 760\n";
    fs::create_directories(conf.parent_path());
    std::ofstream(conf) << "# mine\nsource = file:" << a.string() << "\n";
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    const auto list = lib.fn<int32_t (*)(char*, int32_t)>("GetSensorList");
    const auto save = lib.fn<int32_t (*)(const char*, char*, int32_t)>("SetChannelSensors");
    const auto reload = lib.fn<int32_t (*)()>("ReloadSensors");
    auto listed = [&] {
        const int32_t need = list(nullptr, 0);
        std::string text(static_cast<std::size_t>(need > 0 ? need : 1), '\x7f');
        EXPECT_EQ(list(text.data(), need), need);
        return std::string(text.c_str());
    };

    std::string text = listed();
    EXPECT_EQ(text.rfind("source\tfile:" + a.string() + "\tother\nconfig\t" + conf.string() + "\n", 0), 0u) << text;
    EXPECT_NE(text.find("sensor\ttemp\tfile:" + a.string() + "\tcpu_temp\tCPU temperature\t47.000\tcpu_temp\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("channel\tmb_temp\tauto\tmb_temp\t-\n"), std::string::npos) << text;
    EXPECT_NE(text.find("channel\tcpu_fan\tauto\t-\tnot in this source\n"), std::string::npos) << text;

    // A short buffer holds whole lines only.
    const std::string first = "source\tfile:" + a.string() + "\tother\n";
    std::string part(first.size() + 5, '\x7f');
    EXPECT_EQ(list(part.data(), static_cast<int32_t>(part.size())), list(nullptr, 0));
    EXPECT_EQ(std::string(part.c_str()), first);
    EXPECT_EQ(list(nullptr, 10), -1);

    std::array<char, 256> message{};
    EXPECT_EQ(save("mb_temp = none\nin4 = it8686-*/in2 * 6\n", message.data(), 256), 0) << message.data();
    EXPECT_EQ(std::string(message.data()), conf.string());
    std::ifstream in(conf);
    std::stringstream written;
    written << in.rdbuf();
    EXPECT_EQ(written.str(), "# mine\nsource = file:" + a.string() + "\nmb_temp = none\nin4 = it8686-*/in2 * 6\n");
    EXPECT_EQ(save("cpu_fan = a fan\n", message.data(), 256), 1);
    EXPECT_NE(std::string(message.data()).find("not CHIP/FEATURE"), std::string::npos) << message.data();
    EXPECT_EQ(save(nullptr, message.data(), 256), -1);

    // Read anew only when asked: the choice column follows the file then.
    EXPECT_NE(listed().find("channel\tmb_temp\tauto\t"), std::string::npos);
    std::ofstream(dir_ / "new.conf") << "source = file:" << b.string() << "\nmb_temp = none\n";
    fs::rename(dir_ / "new.conf", conf);
    EXPECT_EQ(lib.reading("GetCPUTemperature"), 47);
    EXPECT_EQ(reload(), 0x1A);
    EXPECT_EQ(lib.reading("GetCPUTemperature"), 52);
    EXPECT_EQ(lib.fn<int32_t (*)()>("GetChannelMask")(), 0x1A);
    EXPECT_NE(listed().find("channel\tmb_temp\tnone\tmb_temp\t-\n"), std::string::npos)
        << "the file source reads what its file names, whatever the map";
}

TEST_F(Exports, ASaveIntoAFileItCannotParseLeavesItAndSaysWhy) {
    const fs::path conf = dir_ / "xdg/zorv/zorv.conf";
    fs::create_directories(conf.parent_path());
    const std::string garbage = "source = sim\n[a section of another program]\n";
    std::ofstream(conf) << garbage;
    LoadedCopy lib(dir_ / "lib", false, false);
    ASSERT_TRUE(lib.loaded()) << dlerror();
    std::array<char, 256> message{};
    EXPECT_EQ(lib.fn<int32_t (*)(const char*, char*, int32_t)>("SetChannelSensors")("cpu_fan = none\n", message.data(),
                                                                                    256),
              1);
    EXPECT_NE(std::string(message.data()).find("left as it is: line 2"), std::string::npos) << message.data();
    std::ifstream in(conf);
    std::stringstream now;
    now << in.rdbuf();
    EXPECT_EQ(now.str(), garbage);
}

}  // namespace
