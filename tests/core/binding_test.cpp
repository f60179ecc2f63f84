#include <gtest/gtest.h>

#include <filesystem>

#include "Fakes.h"
#include "LibraryBinding.h"
#include "Texts.h"

#ifndef STANDIN_DIR
#error "STANDIN_DIR must name the folder of the partial stand-in library"
#endif
#ifndef ZORV_LIB_DIR
#error "ZORV_LIB_DIR must name the folder of the built libzorv.so"
#endif

namespace velmon {
namespace {

struct Fatal {
    std::vector<int> statuses;
    FatalHandler handler() {
        return [this](int s) { statuses.push_back(s); };
    }
};

std::string emptyDir() {
    const auto d = std::filesystem::temp_directory_path() / ("velmon-nolibs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d.string();
}

TEST(Binding, MissingSensorLibraryNamesLibraryAndFunction) {
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvSensorPort port(prompter, fatal.handler(), emptyDir());
    EXPECT_EQ(port.read(SensorChannel::CpuTemp), 0);
    ASSERT_EQ(prompter.infos.size(), 1U);
    EXPECT_EQ(prompter.infos[0].first, "Velmora");
    EXPECT_NE(prompter.infos[0].second.find("libzorv.so"), std::string::npos);
    EXPECT_NE(prompter.infos[0].second.find("GetCPUTemperature"), std::string::npos);
    EXPECT_EQ(fatal.statuses, std::vector<int>{kMissingLibraryStatus});
    EXPECT_NE(kMissingLibraryStatus, 0);
    TextBuffer buf;
    buf.fill('x');
    port.text(DmiText::MBProduct, buf);
    EXPECT_EQ(trimAtNull(buf.data(), buf.size()), "");
}

TEST(Binding, UnknownSourceOfTheSensorLibraryIsReported) {
    ::setenv("ZORV_SOURCE", "bogus", 1);
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvSensorPort port(prompter, fatal.handler(), ZORV_LIB_DIR);
    const std::string why = port.sourceError();
    ::unsetenv("ZORV_SOURCE");
    EXPECT_EQ(why, "Unknown sensor source \"bogus\" (from ZORV_SOURCE). The sources are: sim, sim:FILE, file:FILE, hwmon.");
    EXPECT_TRUE(prompter.infos.empty());
    EXPECT_TRUE(fatal.statuses.empty());
}

TEST(Binding, MissingCpuDataLibrary) {
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvAhdCpuDataPort port(prompter, fatal.handler(), emptyDir());
    EXPECT_EQ(port.writeCpuInfoIntoRegistry(), 0);
    ASSERT_EQ(prompter.infos.size(), 1U);
    EXPECT_NE(prompter.infos[0].second.find("libzorvahd.so"), std::string::npos);
    EXPECT_NE(prompter.infos[0].second.find("WriteCPUInfoIntoRegistry"), std::string::npos);
    EXPECT_EQ(fatal.statuses.size(), 1U);
}

TEST(Binding, StandInLibraryMissingOneFunction) {
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvSensorPort port(prompter, fatal.handler(), STANDIN_DIR);
    EXPECT_EQ(port.read(SensorChannel::CpuTemp), 42);
    EXPECT_EQ(port.read(SensorChannel::ChassisFan), 3300);
    EXPECT_EQ(port.read(SensorChannel::In5), -12000);
    EXPECT_EQ(port.mbClock(), 100);
    TextBuffer buf{};
    port.text(DmiText::MBProduct, buf);
    EXPECT_EQ(trimAtNull(buf.data(), buf.size()), "Stand-in Board");
    port.text(DmiText::CPUName, buf);
    EXPECT_EQ(trimAtNull(buf.data(), buf.size()), "Stand-in CPU");
    port.text(DmiText::MBManufacturer, buf);
    EXPECT_EQ(trimAtNull(buf.data(), buf.size()), std::string(79, 'M'));
    EXPECT_TRUE(prompter.infos.empty());
    EXPECT_TRUE(fatal.statuses.empty());
    // Without GetSourceError the library is taken at its readings, as before.
    EXPECT_EQ(port.sourceError(), "");
    EXPECT_TRUE(prompter.infos.empty());
    EXPECT_TRUE(fatal.statuses.empty());

    EXPECT_EQ(port.read(SensorChannel::In6), 0);
    ASSERT_EQ(prompter.infos.size(), 1U);
    EXPECT_NE(prompter.infos[0].second.find("libzorv.so"), std::string::npos);
    EXPECT_NE(prompter.infos[0].second.find("GetVoltIN6"), std::string::npos);
    EXPECT_EQ(fatal.statuses, std::vector<int>{kMissingLibraryStatus});
}

TEST(Binding, StagedLibrariesBind) {
    const char* stage = std::getenv("VELMON_STAGE_DIR");
    if (stage == nullptr) GTEST_SKIP() << "no stage folder";
    ::setenv("ZORV_SOURCE", "sim", 1);
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvSensorPort port(prompter, fatal.handler(), stage);
    for (int c = 0; c < kChannelCount; ++c) port.read(static_cast<SensorChannel>(c));
    EXPECT_TRUE(prompter.infos.empty());
    EXPECT_TRUE(fatal.statuses.empty());
}

}  // namespace
}  // namespace velmon
