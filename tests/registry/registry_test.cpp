// The registry layer: keys as folders, values as files of exactly their bytes,
// with the result codes of the Windows calls.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace {

namespace fs = std::filesystem;
namespace reg = platform::registry;
using Bytes = std::vector<std::uint8_t>;

class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;
    ~EnvVar() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "registry-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        root_ = dir_ / "HKLM";
        env_.emplace("ZORV_REGISTRY", root_.c_str());
    }
    void TearDown() override {
        env_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    static std::optional<Bytes> fileBytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        if (!in) return std::nullopt;
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static long set(const reg::Key& k, const std::string& name, const Bytes& b, std::uint32_t type = reg::kRegBinary) {
        return k.setValue(name, type, b.data(), static_cast<std::uint32_t>(b.size()));
    }

    fs::path dir_;
    fs::path root_;
    std::optional<EnvVar> env_;
};

TEST_F(Registry, OpenOfAMissingKeyFails) {
    reg::Key k;
    EXPECT_EQ(reg::Key::open("SOFTWARE\\ZORV\\ZORVAHD", k), reg::kFileNotFound);
    EXPECT_FALSE(k.isOpen());
    EXPECT_FALSE(fs::exists(root_));
}

TEST_F(Registry, CreateMakesEveryPartAndOpenThenFindsIt) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("SOFTWARE\\ZORV\\ZORVAHD", k), reg::kSuccess);
    EXPECT_TRUE(k.isOpen());
    EXPECT_TRUE(fs::is_directory(root_ / "SOFTWARE" / "ZORV" / "ZORVAHD"));
    reg::Key again;
    EXPECT_EQ(reg::Key::create("SOFTWARE\\ZORV\\ZORVAHD", again), reg::kSuccess);
    reg::Key opened;
    EXPECT_EQ(reg::Key::open("SOFTWARE\\ZORV\\ZORVAHD", opened), reg::kSuccess);
    EXPECT_EQ(reg::Key::open("SOFTWARE\\ZORV", opened), reg::kSuccess);
}

TEST_F(Registry, ValueFileHoldsExactlyTheValuesBytes) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("SOFTWARE\\ZORV\\ZORVAHD", k), reg::kSuccess);
    const Bytes data{0x00, 0xFF, 0x00, 0x4B, 0x0A, 0x0D};
    ASSERT_EQ(set(k, "DATA", data), reg::kSuccess);
    EXPECT_EQ(fileBytes(root_ / "SOFTWARE" / "ZORV" / "ZORVAHD" / "DATA"), data);
    // A string value keeps its terminating zero.
    const Bytes text{'a', 'b', 'c', 0};
    ASSERT_EQ(set(k, "Name", text, reg::kRegSz), reg::kSuccess);
    EXPECT_EQ(fileBytes(root_ / "SOFTWARE" / "ZORV" / "ZORVAHD" / "Name"), text);
}

TEST_F(Registry, QueryGivesSizeFirstThenBytes) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("K", k), reg::kSuccess);
    const Bytes data{1, 2, 3, 4, 5};
    ASSERT_EQ(set(k, "V", data, reg::kRegDword), reg::kSuccess);

    std::uint32_t type = 99;
    std::uint32_t size = 0;
    EXPECT_EQ(k.queryValue("V", &type, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, reg::kRegDword);

    struct Case {
        std::uint32_t bufferSize;
        long rc;
        std::uint32_t sizeAfter;
    };
    for (const Case c : {Case{5, reg::kSuccess, 5}, Case{64, reg::kSuccess, 5}, Case{4, reg::kMoreData, 5},
                         Case{0, reg::kMoreData, 5}}) {
        Bytes buf(64, 0xEE);
        std::uint32_t n = c.bufferSize;
        EXPECT_EQ(k.queryValue("V", nullptr, buf.data(), &n), c.rc) << c.bufferSize;
        EXPECT_EQ(n, c.sizeAfter) << c.bufferSize;
        if (c.rc == reg::kSuccess) {
            EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 5), data);
            EXPECT_EQ(buf[5], 0xEE) << "wrote past the value";
        } else {
            EXPECT_EQ(buf[0], 0xEE) << "a refused query must not write";
        }
    }
    Bytes buf(8);
    EXPECT_EQ(k.queryValue("V", nullptr, buf.data(), nullptr), reg::kInvalidParameter);
}

TEST_F(Registry, SettingAShorterValueReplacesItWhole) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("K", k), reg::kSuccess);
    ASSERT_EQ(set(k, "V", Bytes(1000, 7)), reg::kSuccess);
    ASSERT_EQ(set(k, "V", Bytes{9, 9}), reg::kSuccess);
    Bytes out;
    EXPECT_EQ(k.queryValue("V", out), reg::kSuccess);
    EXPECT_EQ(out, (Bytes{9, 9}));
    ASSERT_EQ(k.setValue("V", reg::kRegBinary, nullptr, 0), reg::kSuccess);
    EXPECT_EQ(k.queryValue("V", out), reg::kSuccess);
    EXPECT_TRUE(out.empty());
}

TEST_F(Registry, WritesLeaveNoTemporaryFilesAndIgnoreStaleOnes) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("K", k), reg::kSuccess);
    // What a write interrupted before its rename leaves behind.
    std::ofstream(root_ / "K" / ".V.Ab12Cd") << "half";
    ASSERT_EQ(set(k, "V", Bytes{1, 2, 3}), reg::kSuccess);
    ASSERT_EQ(set(k, "V", Bytes{4, 5}), reg::kSuccess);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root_ / "K")) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".V.Ab12Cd", ".types", "V"}));
    Bytes out;
    EXPECT_EQ(k.queryValue("V", out), reg::kSuccess);
    EXPECT_EQ(out, (Bytes{4, 5}));
}

TEST_F(Registry, MissingValuesAndDeletion) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("K", k), reg::kSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(k.queryValue("V", nullptr, nullptr, &size), reg::kFileNotFound);
    EXPECT_EQ(k.deleteValue("V"), reg::kFileNotFound);
    ASSERT_EQ(set(k, "V", Bytes{1}), reg::kSuccess);
    EXPECT_EQ(k.deleteValue("V"), reg::kSuccess);
    EXPECT_FALSE(fs::exists(root_ / "K" / "V"));
    EXPECT_EQ(k.queryValue("V", nullptr, nullptr, &size), reg::kFileNotFound);
    EXPECT_EQ(k.deleteValue("V"), reg::kFileNotFound);
    // A subkey is not a value.
    reg::Key sub;
    ASSERT_EQ(reg::Key::create("K\\Sub", sub), reg::kSuccess);
    EXPECT_EQ(k.queryValue("Sub", nullptr, nullptr, &size), reg::kFileNotFound);
    EXPECT_EQ(k.deleteValue("Sub"), reg::kFileNotFound);
    EXPECT_TRUE(fs::is_directory(root_ / "K" / "Sub"));
}

TEST_F(Registry, AValueIsNotAKey) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("K", k), reg::kSuccess);
    ASSERT_EQ(set(k, "V", Bytes{1}), reg::kSuccess);
    reg::Key other;
    EXPECT_EQ(reg::Key::open("K\\V", other), reg::kFileNotFound);
    EXPECT_FALSE(other.isOpen());
}

TEST_F(Registry, ClosedKeysRefuseEveryCall) {
    reg::Key never;
    reg::Key closed;
    ASSERT_EQ(reg::Key::create("K", closed), reg::kSuccess);
    EXPECT_EQ(closed.close(), reg::kSuccess);
    for (reg::Key* k : {&never, &closed}) {
        std::uint32_t size = 0;
        const Bytes b{1};
        EXPECT_EQ(k->queryValue("V", nullptr, nullptr, &size), reg::kInvalidHandle);
        EXPECT_EQ(k->setValue("V", reg::kRegBinary, b.data(), 1), reg::kInvalidHandle);
        EXPECT_EQ(k->deleteValue("V"), reg::kInvalidHandle);
        EXPECT_EQ(k->close(), reg::kInvalidHandle);
    }
    EXPECT_FALSE(fs::exists(root_ / "K" / "V"));
}

TEST_F(Registry, NullDataWithASizeIsRefused) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("K", k), reg::kSuccess);
    EXPECT_EQ(k.setValue("V", reg::kRegBinary, nullptr, 4), reg::kInvalidParameter);
    EXPECT_FALSE(fs::exists(root_ / "K" / "V"));
}

TEST_F(Registry, NamesStayInsideTheirKey) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("K", k), reg::kSuccess);
    const std::vector<std::string> names{"../outside", ".types", "a/b", "100%", "", ".", "..", "tab\there"};
    for (std::size_t i = 0; i < names.size(); ++i)
        ASSERT_EQ(set(k, names[i], Bytes{static_cast<std::uint8_t>(i)}), reg::kSuccess) << names[i];
    for (std::size_t i = 0; i < names.size(); ++i) {
        Bytes out;
        EXPECT_EQ(k.queryValue(names[i], out), reg::kSuccess) << names[i];
        EXPECT_EQ(out, Bytes{static_cast<std::uint8_t>(i)}) << names[i];
    }
    for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path(), root_);
    for (const auto& e : fs::recursive_directory_iterator(root_))
        EXPECT_EQ(e.path().string().rfind((root_ / "K").string(), 0), 0u) << e.path();
}

TEST_F(Registry, KeyPartsCannotLeaveTheRoot) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("..\\..\\escaped", k), reg::kSuccess);
    EXPECT_EQ(k.path().string().rfind(root_.string(), 0), 0u) << k.path();
    EXPECT_FALSE(fs::exists(dir_.parent_path() / "escaped"));
}

struct RootCase {
    const char* registry;
    const char* xdgDataHome;
    const char* home;
    const char* expected;
};

class RegistryRoot : public ::testing::TestWithParam<RootCase> {};

TEST_P(RegistryRoot, FollowsTheEnvironment) {
    const RootCase& c = GetParam();
    EnvVar r("ZORV_REGISTRY", c.registry);
    EnvVar x("XDG_DATA_HOME", c.xdgDataHome);
    EnvVar h("HOME", c.home);
    EXPECT_EQ(reg::localMachineRoot(), fs::path(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryRoot,
    ::testing::Values(RootCase{"/r/HKLM", "/x", "/h", "/r/HKLM"},
                      RootCase{"", "/x", "/h", "/x/zorv/registry/HKEY_LOCAL_MACHINE"},
                      RootCase{nullptr, "/x", "/h", "/x/zorv/registry/HKEY_LOCAL_MACHINE"},
                      RootCase{nullptr, nullptr, "/h", "/h/.local/share/zorv/registry/HKEY_LOCAL_MACHINE"},
                      RootCase{nullptr, "", "/h", "/h/.local/share/zorv/registry/HKEY_LOCAL_MACHINE"}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

}  // namespace

namespace {

TEST_F(Registry, KeyAndValueNamesIgnoreCase) {
    reg::Key k;
    ASSERT_EQ(reg::Key::create("SOFTWARE\\ZORV\\ZORVAHD", k), reg::kSuccess);
    ASSERT_EQ(set(k, "DATA", Bytes{1, 2}), reg::kSuccess);
    reg::Key other;
    ASSERT_EQ(reg::Key::open("software\\Zorv\\zorvahd", other), reg::kSuccess);
    Bytes out;
    EXPECT_EQ(other.queryValue("data", out), reg::kSuccess);
    EXPECT_EQ(out, (Bytes{1, 2}));
    // Writing under another spelling replaces the one value and keeps its name.
    ASSERT_EQ(set(other, "Data", Bytes{3}), reg::kSuccess);
    EXPECT_EQ(fileBytes(root_ / "SOFTWARE" / "ZORV" / "ZORVAHD" / "DATA"), Bytes{3});
    EXPECT_FALSE(fs::exists(root_ / "SOFTWARE" / "ZORV" / "ZORVAHD" / "Data"));
    reg::Key created;
    ASSERT_EQ(reg::Key::create("Software\\zorv\\New", created), reg::kSuccess);
    EXPECT_TRUE(fs::is_directory(root_ / "SOFTWARE" / "ZORV" / "New"));
    EXPECT_EQ(other.deleteValue("dAtA"), reg::kSuccess);
    EXPECT_EQ(k.queryValue("DATA", out), reg::kFileNotFound);
}

}  // namespace
