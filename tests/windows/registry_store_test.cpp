// The CPU data store on the registry itself: the value "DATA" under
// HKLM\SOFTWARE\ZORV\ZORVAHD, written and read back whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Store.h"
#include "TestSupport.h"
#include "platform/Registry.h"

namespace {

namespace reg = platform::registry;
using cpudata_test::Bytes;
using cpudata_test::TempDir;

Bytes pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

std::string writeTemp(const TempDir& dir, const Bytes& bytes) {
    const auto path = dir.path() / "Zorv.ahd";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

void clearStore() {
    reg::Key key;
    if (reg::Key::open(cpudata::kStoreKey, key) == reg::kSuccess) key.deleteValue(cpudata::kStoreValue);
}

TEST(RegistryStore, CopiesTheFileAndReadsItBackWhole) {
    clearStore();
    TempDir dir;
    const Bytes file = pattern(9000);
    ASSERT_TRUE(cpudata::copyFileIntoStore(writeTemp(dir, file)));
    reg::Key key;
    ASSERT_EQ(reg::Key::open("SOFTWARE\\ZORV\\ZORVAHD", key), reg::kSuccess);
    Bytes stored;
    std::uint32_t type = 0;
    ASSERT_EQ(key.queryValue("DATA", stored, &type), reg::kSuccess);
    EXPECT_EQ(type, reg::kRegBinary);
    EXPECT_EQ(stored, file);
    EXPECT_EQ(cpudata::readStore(), std::optional<Bytes>(file));

    const Bytes shorter = pattern(100);
    ASSERT_TRUE(cpudata::copyFileIntoStore(writeTemp(dir, shorter)));
    EXPECT_EQ(cpudata::readStore(), std::optional<Bytes>(shorter));
}

TEST(RegistryStore, MissingFileLeavesTheValueAndMissingValueReadsAsNothing) {
    clearStore();
    EXPECT_EQ(cpudata::readStore(), std::nullopt);
    TempDir dir;
    const Bytes file = pattern(64);
    ASSERT_TRUE(cpudata::copyFileIntoStore(writeTemp(dir, file)));
    EXPECT_FALSE(cpudata::copyFileIntoStore((dir.path() / "missing.ahd").string()));
    EXPECT_EQ(cpudata::readStore(), std::optional<Bytes>(file));
    clearStore();
}

TEST(RegistryStore, DataFileLiesBesideTheLibrary) {
    EXPECT_EQ(cpudata::dataFilePathFor("C:\\Program Files\\Velmon\\ZORVAHD.DLL"), "C:\\Program Files\\Velmon\\Zorv.ahd");
    EXPECT_EQ(cpudata::dataFilePathFor("C:\\ZORVAHD.DLL"), "C:\\Zorv.ahd");
    EXPECT_EQ(cpudata::dataFilePathFor(""), "");
}

}  // namespace
