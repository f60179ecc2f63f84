// Small helpers of the CPU data tests: temporary folders, the registry root,
// byte files and crafted values laid out by literal offsets.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace cpudata_test {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "zorvahd-test-XXXXXX").string();
        if (char* made = mkdtemp(tmpl.data())) path_ = made;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    [[nodiscard]] const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Points ZORV_REGISTRY at a fresh folder for the lifetime of the object.
class ScopedRegistry {
public:
    ScopedRegistry() : root_(dir_.path() / "HKLM") {
        if (const char* old = std::getenv("ZORV_REGISTRY")) old_ = old;
        setenv("ZORV_REGISTRY", root_.string().c_str(), 1);
    }
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;
    ~ScopedRegistry() {
        if (old_) setenv("ZORV_REGISTRY", old_->c_str(), 1);
        else unsetenv("ZORV_REGISTRY");
    }
    [[nodiscard]] const fs::path& root() const { return root_; }
    [[nodiscard]] fs::path storeFile() const { return root_ / "SOFTWARE" / "ZORV" / "ZORVAHD" / "DATA"; }

private:
    TempDir dir_;
    fs::path root_;
    std::optional<std::string> old_;
};

inline std::optional<Bytes> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& p, const Bytes& b) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline std::string envOr(const char* name, const std::string& fallback = {}) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

// A processor record as the data file lays it out (offsets written out, so a
// wrong constant in the library does not hide itself here).
struct Rec {
    std::string name;
    std::uint8_t family = 0;
    std::uint8_t id0 = 0;
    std::uint8_t id1 = 0;
    std::uint16_t speed = 0;
    std::uint8_t selector = 1;
    std::uint8_t offset = 0;
    std::uint8_t nominal = 0;
    std::uint16_t family2 = 0;
};

inline Bytes recordBytes(const Rec& r) {
    Bytes b(38, 0);
    for (std::size_t i = 0; i < r.name.size() && i < 20; ++i) b[i] = static_cast<std::uint8_t>(r.name[i]);
    b[20] = r.family;
    b[27] = r.id1;
    b[28] = r.id0;
    b[30] = static_cast<std::uint8_t>(r.speed & 0xFF);
    b[31] = static_cast<std::uint8_t>(r.speed >> 8);
    b[32] = r.selector;
    b[34] = r.offset;
    b[35] = r.nominal;
    b[36] = static_cast<std::uint8_t>(r.family2 & 0xFF);
    b[37] = static_cast<std::uint8_t>(r.family2 >> 8);
    return b;
}

// Plain (unscrambled) value: header with A and B, A records of 68 bytes
// filled with 0xEE (so a wrong start offset reads garbage), then the records.
inline Bytes plainValue(const std::vector<Rec>& recs, std::uint16_t a = 1) {
    Bytes b(64, 0);
    b[4] = static_cast<std::uint8_t>(a & 0xFF);
    b[5] = static_cast<std::uint8_t>(a >> 8);
    b[6] = static_cast<std::uint8_t>(recs.size() & 0xFF);
    b[7] = static_cast<std::uint8_t>(recs.size() >> 8);
    b.insert(b.end(), std::size_t{68} * a, std::uint8_t{0xEE});
    for (const auto& r : recs) {
        const Bytes rb = recordBytes(r);
        b.insert(b.end(), rb.begin(), rb.end());
    }
    return b;
}

inline Bytes scramble(Bytes b) {
    static constexpr char kMask[] = "Kestrel Data Mask Phrase 01";
    for (std::size_t k = 0; k < b.size(); ++k) b[k] ^= static_cast<std::uint8_t>(kMask[k % 27]);
    return b;
}

// A 114-byte DMI processor record with family, ID bytes and current speed;
// Processor Family 2 sits in the record's first two bytes.
inline Bytes dmiRecord(std::uint8_t family, std::uint8_t id0, std::uint8_t id1, std::uint16_t speed,
                       std::uint16_t family2 = 0) {
    Bytes b(114, 0);
    b[0] = static_cast<std::uint8_t>(family2 & 0xFF);
    b[1] = static_cast<std::uint8_t>(family2 >> 8);
    b[35] = family;
    b[66] = id0;
    b[67] = id1;
    b[110] = static_cast<std::uint8_t>(speed & 0xFF);
    b[111] = static_cast<std::uint8_t>(speed >> 8);
    return b;
}

}  // namespace cpudata_test
