// A fixture whose tests each get their own registry and program folder, with
// a monitor rig whose environment points there.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "Fakes.h"

namespace velmon::test {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::temp_directory_path() /
               ("velmon-core-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "registry");
        std::filesystem::create_directories(root / "program");
        ::setenv("ZORV_REGISTRY", (root / "registry").c_str(), 1);
        r.env.dir = (root / "program").string();
    }
    void TearDown() override {
        ::unsetenv("ZORV_REGISTRY");
        std::filesystem::remove_all(root);
    }

    std::filesystem::path root;
    Rig r;
};

}  // namespace velmon::test
