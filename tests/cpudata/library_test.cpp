// The shared library with the shipped data file. The lookup runs once per
// process, so each case loads its own copy of libzorvahd.so from its own
// folder: a copy at another path is a fresh library with fresh state, and the
// copy finds the Zorv.ahd laid beside it, as an installed one does.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "TestSupport.h"
#include "zorvahd.h"

namespace {

using namespace cpudata_test;

fs::path stageDir() { return envOr("VELMON_STAGE_DIR"); }

class LibraryCopy {
public:
    LibraryCopy(const fs::path& dir, const std::string& fileName = "libzorvahd.so", bool withData = true) {
        fs::create_directories(dir);
        fs::copy_file(stageDir() / "libzorvahd.so", dir / fileName, fs::copy_options::overwrite_existing);
        if (withData)
            fs::copy_file(stageDir() / "Zorv.ahd", dir / "Zorv.ahd", fs::copy_options::overwrite_existing);
        handle_ = dlopen((dir / fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) error_ = dlerror();
    }
    LibraryCopy(const LibraryCopy&) = delete;
    LibraryCopy& operator=(const LibraryCopy&) = delete;
    ~LibraryCopy() {
        if (handle_) dlclose(handle_);
    }
    [[nodiscard]] bool loaded() const { return handle_ != nullptr; }
    [[nodiscard]] const std::string& error() const { return error_; }

    template <typename Fn>
    Fn fn(const char* name) const {
        void* p = handle_ ? dlsym(handle_, name) : nullptr;
        EXPECT_NE(p, nullptr) << name;
        return reinterpret_cast<Fn>(p);
    }
    std::int32_t write() const { return fn<std::int32_t (*)()>("WriteCPUInfoIntoRegistry")(); }
    std::int32_t know(const void* rec, std::int32_t sel) const {
        return fn<std::int32_t (*)(const void*, std::int32_t)>("DoYouKnowThisCPU")(rec, sel);
    }
    std::string name(std::int32_t* result = nullptr) const {
        std::array<char, 80> buf;
        buf.fill('\x7f');
        const std::int32_t r = fn<std::int32_t (*)(char*)>("GetCPUName")(buf.data());
        if (result) *result = r;
        return std::memchr(buf.data(), '\0', buf.size()) ? std::string(buf.data()) : std::string("<no NUL>");
    }
    std::int32_t offset() const { return fn<std::int32_t (*)()>("GetCPUOffset")(); }
    std::int32_t nominal() const { return fn<std::int32_t (*)()>("GetCPUNominal")(); }
    const ZorvCpuDataRecord* info() const {
        return fn<const ZorvCpuDataRecord* (*)(std::int32_t)>("GetCPUInfo")(12345);
    }

private:
    void* handle_ = nullptr;
    std::string error_;
};

TEST(Library, StoresTheShippedDataFileByteForByte) {
    ScopedRegistry reg;
    TempDir dir;
    LibraryCopy lib(dir.path());
    ASSERT_TRUE(lib.loaded()) << lib.error();
    EXPECT_EQ(lib.write(), 1);
    const auto shipped = readFile(stageDir() / "Zorv.ahd");
    ASSERT_TRUE(shipped);
    EXPECT_GT(shipped->size(), 64u);
    EXPECT_EQ(readFile(reg.storeFile()), shipped);
}

TEST(Library, FindsItsDataFileWhateverItsOwnFileIsCalled) {
    ScopedRegistry reg;
    TempDir dir;
    LibraryCopy lib(dir.path(), "libzorvahd.so.1.3.0");
    ASSERT_TRUE(lib.loaded()) << lib.error();
    EXPECT_EQ(lib.write(), 1);
    EXPECT_EQ(readFile(reg.storeFile()), readFile(stageDir() / "Zorv.ahd"));
}

TEST(Library, MissingDataFileReturnsZeroAndLeavesTheRegistry) {
    ScopedRegistry reg;
    TempDir dir;
    const Bytes before{1, 2, 3};
    writeFile(reg.storeFile(), before);
    LibraryCopy lib(dir.path(), "libzorvahd.so", false);
    ASSERT_TRUE(lib.loaded()) << lib.error();
    EXPECT_EQ(lib.write(), 0);
    EXPECT_EQ(readFile(reg.storeFile()), before);
}

TEST(Library, GettersBeforeAnyLookup) {
    TempDir dir;
    LibraryCopy lib(dir.path());
    ASSERT_TRUE(lib.loaded()) << lib.error();
    std::int32_t r = -7;
    EXPECT_EQ(lib.name(&r), "");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(lib.offset(), -1);
    EXPECT_EQ(lib.nominal(), -1);
    EXPECT_EQ(lib.info(), nullptr);
}

TEST(Library, NullRecordAndNullBufferDoNotCrash) {
    ScopedRegistry reg;
    TempDir dir;
    LibraryCopy lib(dir.path());
    ASSERT_TRUE(lib.loaded()) << lib.error();
    ASSERT_EQ(lib.write(), 1);
    EXPECT_EQ(lib.know(nullptr, 1), 0);
    EXPECT_EQ(lib.fn<std::int32_t (*)(char*)>("GetCPUName")(nullptr), 0);
}

struct Machine {
    const char* what;
    std::uint8_t family, id0, id1;
    std::uint16_t speed;
    const char* expected;
};

class ShippedLookup : public ::testing::TestWithParam<Machine> {};

TEST_P(ShippedLookup, NamesTheProcessor) {
    const Machine& m = GetParam();
    ScopedRegistry reg;
    TempDir dir;
    LibraryCopy lib(dir.path());
    ASSERT_TRUE(lib.loaded()) << lib.error();
    ASSERT_EQ(lib.write(), 1);
    const Bytes rec = dmiRecord(m.family, m.id0, m.id1, m.speed);
    const bool known = *m.expected != '\0';
    EXPECT_EQ(lib.know(rec.data(), 1), known ? 1 : 0) << m.what;
    std::int32_t r = -7;
    EXPECT_EQ(lib.name(&r), m.expected) << m.what;
    EXPECT_EQ(r, known ? 1 : 0);
    if (known) {
        ASSERT_NE(lib.info(), nullptr);
        EXPECT_EQ(lib.info()->family, m.family);
        EXPECT_STREQ(lib.info()->name, m.expected);
        EXPECT_GE(lib.offset(), 0);
        EXPECT_GE(lib.nominal(), 0);
    } else {
        EXPECT_EQ(lib.info(), nullptr);
        EXPECT_EQ(lib.offset(), -1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Machines, ShippedLookup,
    ::testing::Values(
        Machine{"K6-2 at 450 MHz", 0x1B, 0x8C, 0x05, 450, "AMD K6-2 450"},
        Machine{"Pentium III Coppermine at 733", 0x11, 0x83, 0x06, 733, "Pentium III 733"},
        Machine{"Pentium P54C at 133", 0x0B, 0x25, 0x05, 133, "Pentium 133"},
        Machine{"Athlon Thunderbird at 1200", 0x1D, 0x42, 0x06, 1200, "AMD Athlon 1200"},
        Machine{"Celeron Mendocino at an unlisted speed: the last accepted", 0x0F, 0x65, 0x06, 350, "Celeron 533"},
        Machine{"Cyrix MII, first ID byte of model 0", 0x13, 0x02, 0x06, 233, "Cyrix 6x86MX/MII"},
        Machine{"Core i5 (0xA0655)", 0xCD, 0x55, 0x06, 3600, "Intel Core i5 "},
        Machine{"Ryzen (0x870F10)", 0x6B, 0x10, 0x0F, 3800, "AMD Ryzen/EPYC "},
        Machine{"Celeron of today: family only", 0x0F, 0x7A, 0x06, 2000, "Intel Celeron "},
        Machine{"Xeon", 0xB3, 0x54, 0x05, 2100, "Intel Xeon "},
        Machine{"unlisted family", 0x02, 0x00, 0x00, 0, ""}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

TEST(Library, LookupRunsOncePerLoadedLibrary) {
    ScopedRegistry reg;
    TempDir dir;
    LibraryCopy lib(dir.path());
    ASSERT_TRUE(lib.loaded()) << lib.error();
    ASSERT_EQ(lib.write(), 1);
    const Bytes k62 = dmiRecord(0x1B, 0x8C, 0x05, 450);
    const Bytes i5 = dmiRecord(0xCD, 0x55, 0x06, 3600);
    EXPECT_EQ(lib.know(k62.data(), 1), 1);
    EXPECT_EQ(lib.know(i5.data(), 0), 1);
    EXPECT_EQ(lib.name(), "AMD K6-2 450");
    EXPECT_EQ(lib.nominal(), 22);
    ASSERT_NE(lib.info(), nullptr);
    const auto* raw = reinterpret_cast<const std::uint8_t*>(lib.info());
    EXPECT_EQ(raw[30] | (raw[31] << 8), 450);
}

TEST(Library, StoreWrittenAfterTheFirstLookupHasNoEffect) {
    ScopedRegistry reg;
    TempDir dir;
    LibraryCopy lib(dir.path());
    ASSERT_TRUE(lib.loaded()) << lib.error();
    const Bytes k62 = dmiRecord(0x1B, 0x8C, 0x05, 450);
    EXPECT_EQ(lib.know(k62.data(), 1), 0);  // nothing stored yet
    ASSERT_EQ(lib.write(), 1);
    EXPECT_EQ(lib.know(k62.data(), 1), 0);
    EXPECT_EQ(lib.name(), "");
}

TEST(Library, DamagedStoreFindsNothing) {
    ScopedRegistry reg;
    TempDir dir;
    LibraryCopy lib(dir.path());
    ASSERT_TRUE(lib.loaded()) << lib.error();
    auto shipped = readFile(stageDir() / "Zorv.ahd");
    ASSERT_TRUE(shipped);
    shipped->resize(63);
    writeFile(reg.storeFile(), *shipped);
    const Bytes k62 = dmiRecord(0x1B, 0x8C, 0x05, 450);
    EXPECT_EQ(lib.know(k62.data(), 1), 0);
    EXPECT_EQ(lib.name(), "");
}

}  // namespace
