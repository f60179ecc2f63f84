// The CPU name as the monitor receives it: through libzorv.so, which asks the
// DMI library for the processor record and this library for its name. A
// stand-in DMI library answers a K6-2 at 450 MHz.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "TestSupport.h"

namespace {

using namespace cpudata_test;

TEST(ThroughSensorLibrary, GetCpuNameAnswersTheListedProcessor) {
    ScopedRegistry reg;
    TempDir dir;
    const fs::path stage = envOr("VELMON_STAGE_DIR");
    fs::copy_file(stage / "libzorv.so", dir.path() / "libzorv.so");
    fs::copy_file(stage / "libzorvahd.so", dir.path() / "libzorvahd.so");
    fs::copy_file(stage / "Zorv.ahd", dir.path() / "Zorv.ahd");
    fs::copy_file(envOr("CPUDATA_STANDIN_DMI"), dir.path() / "libzorvdmi.so");

    // The monitor's startup: the store is filled before anything asks for a name.
    void* ahd = dlopen((dir.path() / "libzorvahd.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(ahd, nullptr) << dlerror();
    auto write = reinterpret_cast<std::int32_t (*)()>(dlsym(ahd, "WriteCPUInfoIntoRegistry"));
    ASSERT_NE(write, nullptr);
    ASSERT_EQ(write(), 1);

    void* zorv = dlopen((dir.path() / "libzorv.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(zorv, nullptr) << dlerror();
    auto getName = reinterpret_cast<std::int32_t (*)(char*)>(dlsym(zorv, "GetCPUName"));
    ASSERT_NE(getName, nullptr);
    std::array<char, 80> buf;
    buf.fill('\x7f');
    EXPECT_EQ(getName(buf.data()), 1);
    ASSERT_NE(std::memchr(buf.data(), '\0', buf.size()), nullptr);
    EXPECT_STREQ(buf.data(), "AMD K6-2 450");

    // The same answer again, from the one lookup.
    buf.fill('\x7f');
    EXPECT_EQ(getName(buf.data()), 1);
    EXPECT_STREQ(buf.data(), "AMD K6-2 450");
    dlclose(zorv);
    dlclose(ahd);
}

}  // namespace
