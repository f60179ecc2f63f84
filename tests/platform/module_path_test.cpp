#include <gtest/gtest.h>

#include "platform/ModulePath.h"

namespace platform {
namespace {

TEST(ModulePath, DirectoryAndJoin) {
    EXPECT_EQ(directoryOf("/opt/velmon/libzorvahd.so"), "/opt/velmon");
    EXPECT_EQ(directoryOf("/libzorvahd.so"), "/");
    EXPECT_EQ(directoryOf("libzorvahd.so"), ".");
    EXPECT_EQ(joinPath("/opt/velmon", "Zorv.ahd"), "/opt/velmon/Zorv.ahd");
    EXPECT_EQ(joinPath("/", "MBFAN.INI"), "/MBFAN.INI");
    EXPECT_EQ(joinPath("/opt/velmon/", "MBFAN.INI"), "/opt/velmon/MBFAN.INI");
}

TEST(ModulePath, FindsTheRunningExecutable) {
    const std::string exe = executablePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_NE(exe.find("platform_tests"), std::string::npos) << exe;
    // Code of this test is linked into the executable, so dladdr names it too.
    EXPECT_EQ(modulePathOf(reinterpret_cast<const void*>(&executablePath)), exe);
}

}  // namespace
}  // namespace platform
