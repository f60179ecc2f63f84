// Copying the data file into the registry and reading the value back.
#include <gtest/gtest.h>

#include "Store.h"
#include "TestSupport.h"
#include "platform/Registry.h"

namespace {

using namespace cpudata_test;

Bytes sample(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return b;
}

TEST(Store, CopiesTheFileByteForByte) {
    ScopedRegistry reg;
    TempDir dir;
    const Bytes file = sample(5000);
    writeFile(dir.path() / "Zorv.ahd", file);
    EXPECT_TRUE(cpudata::copyFileIntoStore((dir.path() / "Zorv.ahd").string()));
    EXPECT_EQ(readFile(reg.storeFile()), file);
    EXPECT_EQ(cpudata::readStore(), file);
    platform::registry::Key key;
    ASSERT_EQ(platform::registry::Key::open("SOFTWARE\\ZORV\\ZORVAHD", key), platform::registry::kSuccess);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(key.queryValue("DATA", &type, nullptr, &size), platform::registry::kSuccess);
    EXPECT_EQ(type, platform::registry::kRegBinary);
    EXPECT_EQ(size, file.size());
}

TEST(Store, ReplacesAnOlderValueWhole) {
    ScopedRegistry reg;
    TempDir dir;
    writeFile(reg.storeFile(), sample(9000));
    const Bytes file = sample(100);
    writeFile(dir.path() / "Zorv.ahd", file);
    EXPECT_TRUE(cpudata::copyFileIntoStore((dir.path() / "Zorv.ahd").string()));
    EXPECT_EQ(readFile(reg.storeFile()), file);
}

TEST(Store, EmptyFileIsStoredEmpty) {
    ScopedRegistry reg;
    TempDir dir;
    writeFile(dir.path() / "Zorv.ahd", {});
    EXPECT_TRUE(cpudata::copyFileIntoStore((dir.path() / "Zorv.ahd").string()));
    EXPECT_EQ(readFile(reg.storeFile()), Bytes{});
}

TEST(Store, UnreadableFileLeavesTheRegistryAsItWas) {
    ScopedRegistry reg;
    TempDir dir;
    const Bytes before = sample(77);
    writeFile(reg.storeFile(), before);
    fs::create_directories(dir.path() / "folder.ahd");
    for (const std::string& path : {(dir.path() / "missing.ahd").string(), (dir.path() / "folder.ahd").string(),
                                   std::string()}) {
        EXPECT_FALSE(cpudata::copyFileIntoStore(path)) << path;
        EXPECT_EQ(readFile(reg.storeFile()), before) << path;
    }
}

TEST(Store, MissingFileCreatesNoKey) {
    ScopedRegistry reg;
    EXPECT_FALSE(cpudata::copyFileIntoStore("/nonexistent/Zorv.ahd"));
    EXPECT_FALSE(fs::exists(reg.root()));
}

TEST(Store, MissingKeyOrValueReadsAsNothing) {
    ScopedRegistry reg;
    EXPECT_FALSE(cpudata::readStore());
    fs::create_directories(reg.storeFile().parent_path());
    EXPECT_FALSE(cpudata::readStore());
}

struct PathCase {
    std::string module;
    std::string expected;
};

class DataFilePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(DataFilePath, IsTheModulesDirectoryAndZorvAhd) {
    EXPECT_EQ(cpudata::dataFilePathFor(GetParam().module), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataFilePath,
    ::testing::Values(PathCase{"/usr/lib/velmon/libzorvahd.so.1.3.0", "/usr/lib/velmon/Zorv.ahd"},
                      PathCase{"/opt/v/libzorvahd.so", "/opt/v/Zorv.ahd"},
                      PathCase{"/opt/v/ZORVAHD.DLL", "/opt/v/Zorv.ahd"},
                      PathCase{"/x.so", "/Zorv.ahd"}, PathCase{"libzorvahd.so", "./Zorv.ahd"},
                      PathCase{"", ""},
                      PathCase{"/" + std::string(300, 'd') + "/libzorvahd.so", "/" + std::string(300, 'd') + "/Zorv.ahd"}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

}  // namespace
