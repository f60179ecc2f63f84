#include "Sources.h"

#include "platform/Files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include "DeviceTree.h"
#include "platform/IniReader.h"

namespace zorvdmi {
namespace {

using platform::ByteSpan;

constexpr std::size_t kFileImageSize = 0x10000;
constexpr std::size_t kEntryPointAt = 0;
constexpr std::size_t kTableAt = 0x20;
constexpr std::size_t kFlatSize = 0x100000;

std::string envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string(fallback);
}

// The first line of a small text file, without trailing blanks; empty when unreadable.
std::string readLine(const std::filesystem::path& path) {
    const auto bytes = platform::readFilePrefix(path.string(), 4096);
    if (!bytes) return {};
    std::string text(bytes->begin(), bytes->end());
    text = text.substr(0, text.find_first_of(std::string_view("\n\0", 2)));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.pop_back();
    return text;
}

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A window with a legacy entry point at its start and the table after it;
// a table longer than the window is cut, and the walk ends where it is cut.
Image windowAround(const std::vector<std::uint8_t>& table, std::uint16_t count, std::uint8_t bcdRevision,
                   Source source) {
    Image image;
    image.bytes.assign(kWindowSize, 0);
    image.mode = Mode::Window;
    image.source = source;
    const std::size_t fits = std::min(table.size(), kWindowSize - kTableAt);
    std::copy_n(table.begin(), fits, image.bytes.begin() + kTableAt);
    auto& b = image.bytes;
    const std::string_view anchor = "_DMI_";
    std::copy(anchor.begin(), anchor.end(), b.begin() + kEntryPointAt);
    put16(b, kEntryPointAt + 6, static_cast<std::uint16_t>(fits));
    put32(b, kEntryPointAt + ep::kTableAddress, static_cast<std::uint32_t>(kBiosAreaStart + kTableAt));
    put16(b, kEntryPointAt + ep::kStructureCount, count);
    b[kEntryPointAt + 14] = bcdRevision;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 15; ++i) sum = static_cast<std::uint8_t>(sum + b[kEntryPointAt + i]);
    b[kEntryPointAt + 5] = static_cast<std::uint8_t>(0x100 - sum);
    return image;
}

std::uint8_t bcd(std::uint8_t major, std::uint8_t minor) {
    return static_cast<std::uint8_t>((std::min<std::uint8_t>(major, 9) << 4) | std::min<std::uint8_t>(minor, 9));
}

// Builds a table of structures with their string sets.
class TableWriter {
public:
    // Adds one structure; strings[i] is string number i + 1.
    void add(std::vector<std::uint8_t> formatted, const std::vector<std::string>& strings) {
        formatted[1] = static_cast<std::uint8_t>(formatted.size());
        put16(formatted, 2, static_cast<std::uint16_t>(formatted[0] << 8));
        bytes_.insert(bytes_.end(), formatted.begin(), formatted.end());
        for (const std::string& s : strings) {
            bytes_.insert(bytes_.end(), s.begin(), s.end());
            bytes_.push_back(0);
        }
        if (strings.empty()) bytes_.push_back(0);
        bytes_.push_back(0);
        ++count_;
    }
    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    [[nodiscard]] std::uint16_t count() const { return count_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint16_t count_ = 0;
};

// Numbers the non-empty strings of one structure; an empty one is number 0.
class StringSet {
public:
    std::uint8_t number(const std::string& s) {
        if (s.empty()) return 0;
        strings_.push_back(s);
        return static_cast<std::uint8_t>(strings_.size());
    }
    [[nodiscard]] const std::vector<std::string>& strings() const { return strings_; }

private:
    std::vector<std::string> strings_;
};

void putMainId(std::uint8_t (&id)[8], std::uint32_t mainId) {
    for (int i = 0; i < 4; ++i) id[i] = static_cast<std::uint8_t>(mainId >> (8 * i));
    for (int i = 4; i < 8; ++i) id[i] = 0;
}

void readCpuId(std::uint8_t (&id)[8]) {
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return;
    for (int i = 0; i < 4; ++i) {
        id[i] = static_cast<std::uint8_t>(eax >> (8 * i));
        id[4 + i] = static_cast<std::uint8_t>(edx >> (8 * i));
    }
#else
    (void)id;
#endif
}

// A device-tree property; empty when missing, unreadable or larger than the
// limit, so that a huge file names nothing rather than a cut piece of it.
std::vector<std::uint8_t> readProperty(const std::filesystem::path& path) {
    auto bytes = platform::readFilePrefix(path.string(), kDeviceTreePropertyLimit + 1);
    if (!bytes || bytes->size() > kDeviceTreePropertyLimit) return {};
    return std::move(*bytes);
}

void readDmiId(const std::filesystem::path& dir, VisibleFacts& f) {
    f.biosVendor = readLine(dir / "bios_vendor");
    f.biosVersion = readLine(dir / "bios_version");
    f.biosDate = readLine(dir / "bios_date");
    f.boardVendor = readLine(dir / "board_vendor");
    f.boardName = readLine(dir / "board_name");
    f.boardVersion = readLine(dir / "board_version");
    f.boardSerial = readLine(dir / "board_serial");
    f.chassisVendor = readLine(dir / "chassis_vendor");
    f.chassisVersion = readLine(dir / "chassis_version");
    f.chassisSerial = readLine(dir / "chassis_serial");
    f.chassisAsset = readLine(dir / "chassis_asset_tag");
    const std::string chassis = readLine(dir / "chassis_type");
    if (!chassis.empty()) {
        const std::int64_t t = platform::parseLeadingInt(chassis);
        if (t > 0 && t <= 0xFF) f.chassisType = static_cast<std::uint8_t>(t);
    }
}

// The processor's fields of the facts; false when neither cpuid's brand nor
// cpuinfo nor the frequency driver says anything about it.
bool readProcessor(const std::string& sysfsRoot, const std::string& cpuinfoPath, bool useCpuidBrand,
                   VisibleFacts& f) {
    readCpuId(f.cpuId);
    const auto text = platform::readFilePrefix(cpuinfoPath, kCpuInfoLimit);
    const CpuInfo cpu = parseCpuInfo(text ? std::string_view(reinterpret_cast<const char*>(text->data()), text->size())
                                          : std::string_view());
    if (const std::uint32_t mainId = armMainId(cpu)) putMainId(f.cpuId, mainId);
    const std::string brand = useCpuidBrand ? cpuidBrand() : std::string();
    f.cpuVendor = cpu.vendor;
    f.cpuModelName = brand.empty() ? cpu.modelName : brand;
    f.cpuFamilyCode = processorFamily(cpu, f.cpuModelName);
    double mhz = cpu.mhz;
    if (mhz <= 0) {
        // Arm kernels print no speed; the frequency driver knows the highest one, in kHz.
        const std::string khz = readLine(std::filesystem::path(sysfsRoot) / "devices" / "system" / "cpu" / "cpu0" /
                                         "cpufreq" / "cpuinfo_max_freq");
        if (!khz.empty()) mhz = static_cast<double>(platform::parseLeadingInt(khz)) / 1000.0;
    }
    if (mhz > 0) f.cpuMhz = static_cast<std::uint16_t>(std::min(std::lround(mhz), 0xFFFFL));
    return !f.cpuModelName.empty() || !f.cpuVendor.empty() || cpu.implementer >= 0 || f.cpuMhz > 0;
}

}  // namespace

SourcePaths SourcePaths::fromEnvironment() {
    SourcePaths p;
    p.imageFile = envOr("ZORVDMI_IMAGE", "");
    p.sysfsRoot = envOr("ZORVDMI_SYSFS_ROOT", "/sys");
    p.devMem = envOr("ZORVDMI_DEVMEM", "/dev/mem");
    p.cpuinfo = envOr("ZORVDMI_CPUINFO", "/proc/cpuinfo");
    p.cpuidBrand = std::getenv("ZORVDMI_CPUINFO") == nullptr;
    return p;
}

std::optional<Image> loadImageFile(const std::string& path) {
    auto bytes = platform::readFilePrefix(path, kFileImageSize);
    if (!bytes) return std::nullopt;
    Image image;
    image.bytes = std::move(*bytes);
    image.mode = Mode::Window;
    image.source = Source::ImageFile;
    return image;
}

std::uint16_t countStructures(const std::vector<std::uint8_t>& table) {
    const ByteSpan b(table.data(), table.size());
    std::size_t pos = 0;
    unsigned count = 0;
    while (count < 0xFFFF) {
        const auto type = b.u8(pos);
        const auto length = b.u8(pos + 1);
        if (!type || !length || *length < hdr::kSize || !b.contains(pos, *length)) break;
        std::size_t i = pos + *length;
        while (b.contains(i, 2) && !(table[i] == 0 && table[i + 1] == 0)) ++i;
        if (!b.contains(i, 2)) break;
        ++count;
        if (*type == 127) break;
        pos = i + 2;
    }
    return static_cast<std::uint16_t>(count);
}

std::optional<Image> windowFromFirmwareTables(const std::vector<std::uint8_t>& entryPoint,
                                              const std::vector<std::uint8_t>& table) {
    const ByteSpan e(entryPoint.data(), entryPoint.size());
    if (e.matches(0, "_SM3_")) {
        const auto major = e.u8(7), minor = e.u8(8);
        if (!major || !minor) return std::nullopt;
        return windowAround(table, countStructures(table), bcd(*major, *minor), Source::FirmwareTables);
    }
    if (e.matches(0, "_SM_") && e.matches(0x10, "_DMI_")) {
        const auto count = e.u16le(0x1C);
        const auto revision = e.u8(0x1E);
        if (!count || !revision) return std::nullopt;
        return windowAround(table, *count, *revision, Source::FirmwareTables);
    }
    if (e.matches(0, "_DMI_")) {
        const auto count = e.u16le(ep::kStructureCount);
        const auto revision = e.u8(14);
        if (!count || !revision) return std::nullopt;
        return windowAround(table, *count, *revision, Source::FirmwareTables);
    }
    return std::nullopt;
}

#ifdef _WIN32
// Windows has no memory device; its own live views are the library's load-time ones.
std::optional<Image> loadDevMem(const std::string&) { return std::nullopt; }
#else
std::optional<Image> loadDevMem(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const std::unique_ptr<int, void (*)(int*)> closer(new int(fd), [](int* f) {
        ::close(*f);
        delete f;
    });
    Image image;
    image.bytes.assign(kFlatSize, 0);
    image.mode = Mode::Flat;
    image.source = Source::DevMem;
    // Pages the kernel refuses stay zero.
    constexpr std::size_t kChunk = 0x10000;
    bool any = false;
    for (std::size_t at = 0; at < kFlatSize; at += kChunk) {
        const ssize_t got = ::pread(fd, image.bytes.data() + at, kChunk, static_cast<off_t>(at));
        if (got > 0) any = true;
    }
    if (!any) return std::nullopt;
    const auto entry = FindDmiEntryPoint(image.view());
    if (!entry || !TablePosition(image.view(), *entry)) return std::nullopt;
    return image;
}
#endif

std::uint8_t familyCode(const std::string& vendor, int family, int model) {
    if (vendor == "GenuineIntel") {
        switch (family) {
        case 4: return 0x06;  // 486
        case 5: return (model == 4 || model == 8) ? 0x0E : 0x0B;  // Pentium with MMX, Pentium
        case 6:
            if (model == 1) return 0x0C;  // Pentium Pro
            if (model == 3 || model == 5 || model == 6) return 0x0D;  // Pentium II
            if (model == 7 || model == 8 || model == 10 || model == 11) return 0x11;  // Pentium III
            return 0x01;
        case 15: return 0xB2;  // Pentium 4
        default: return 0x01;
        }
    }
    if (vendor == "AuthenticAMD") {
        switch (family) {
        case 4: return 0x06;
        case 5:
            if (model >= 0 && model <= 3) return 0x19;  // K5
            if (model == 6 || model == 7) return 0x1A;  // K6
            if (model == 8) return 0x1B;  // K6-2
            if (model == 9 || model == 13) return 0x1C;  // K6-III
            return 0x01;
        case 6: return 0x1D;  // Athlon
        case 15: return 0x83;  // Athlon 64
        default: return 0x01;
        }
    }
    return 0x02;
}

std::string cpuidBrand() {
    std::string brand;
#if defined(__i386__) || defined(__x86_64__)
    constexpr unsigned kFirst = 0x80000002, kLast = 0x80000004;
    if (__get_cpuid_max(0x80000000, nullptr) < kLast) return brand;
    for (unsigned leaf = kFirst; leaf <= kLast; ++leaf) {
        unsigned r[4] = {};
        if (!__get_cpuid(leaf, &r[0], &r[1], &r[2], &r[3])) return {};
        for (unsigned v : r)
            for (int i = 0; i < 4; ++i) brand.push_back(static_cast<char>(v >> (8 * i)));
    }
    brand.resize(std::min(brand.find('\0'), brand.size()));
    const auto first = brand.find_first_not_of(' ');
    brand.erase(0, first == std::string::npos ? brand.size() : first);
    while (!brand.empty() && brand.back() == ' ') brand.pop_back();
#endif
    return brand;
}

std::uint16_t processorFamily(const CpuInfo& cpu, std::string_view brand) {
    std::uint16_t named = familyFromBrand(brand);
    // A virtual machine may give cpuid a brand of its own while the kernel names the processor.
    if (named == kFamilyOther && cpu.modelName != brand) named = familyFromBrand(cpu.modelName);
    if (named != kFamilyOther) return named;
    if (cpu.implementer >= 0) return armFamily(cpu.architecture);
    return familyCode(cpu.vendor, cpu.family, cpu.model);
}

std::optional<VisibleFacts> readVisibleFacts(const std::string& sysfsRoot, const std::string& cpuinfoPath,
                                             bool useCpuidBrand) {
    if (sysfsRoot.empty()) return std::nullopt;
    const std::filesystem::path dir = std::filesystem::path(sysfsRoot) / "class" / "dmi" / "id";
    std::error_code ec;
    VisibleFacts f;
    f.fromDmi = std::filesystem::is_directory(dir, ec);
    if (f.fromDmi) readDmiId(dir, f);
    const bool processorKnown = readProcessor(sysfsRoot, cpuinfoPath, useCpuidBrand, f);
    if (!f.fromDmi) {
        const std::filesystem::path base = std::filesystem::path(sysfsRoot) / "firmware" / "devicetree" / "base";
        const auto model = readProperty(base / "model");
        const auto compatible = readProperty(base / "compatible");
        const DeviceTreeBoard board = parseDeviceTree(ByteSpan(model.data(), model.size()),
                                                      ByteSpan(compatible.data(), compatible.size()));
        f.boardVendor = board.maker;
        f.boardName = board.name;
        if (!processorKnown && f.boardVendor.empty() && f.boardName.empty()) return std::nullopt;
    }
    return f;
}

Image windowFromFacts(const VisibleFacts& f) {
    TableWriter table;
    {
        StringSet s;
        std::vector<std::uint8_t> b(0x12, 0);
        b[0] = 0;
        b[4] = s.number(f.biosVendor);
        b[5] = s.number(f.biosVersion);
        b[8] = s.number(f.biosDate);
        b[10] = 0x08;  // characteristics not supported
        table.add(b, s.strings());
    }
    {
        StringSet s;
        std::vector<std::uint8_t> b(0x08, 0);
        b[0] = 2;
        b[4] = s.number(f.boardVendor);
        b[5] = s.number(f.boardName);
        b[6] = s.number(f.boardVersion);
        b[7] = s.number(f.boardSerial);
        table.add(b, s.strings());
    }
    {
        StringSet s;
        std::vector<std::uint8_t> b(0x09, 0);
        b[0] = 3;
        b[4] = s.number(f.chassisVendor);
        b[5] = f.chassisType;
        b[6] = s.number(f.chassisVersion);
        b[7] = s.number(f.chassisSerial);
        b[8] = s.number(f.chassisAsset);
        table.add(b, s.strings());
    }
    {
        StringSet s;
        // The layout of SMBIOS 2.6, whose Processor Family 2 names today's families.
        std::vector<std::uint8_t> b(0x2A, 0);
        b[0] = 4;
        b[5] = 0x03;  // central processor
        constexpr std::uint16_t kFamilyIn2 = 0xFE;
        b[6] = static_cast<std::uint8_t>(f.cpuFamilyCode < kFamilyIn2 ? f.cpuFamilyCode : kFamilyIn2);
        put16(b, 0x28, f.cpuFamilyCode);
        for (std::size_t cache : {0x1A, 0x1C, 0x1E}) put16(b, cache, 0xFFFF);  // no cache structures
        b[7] = s.number(f.cpuVendor);
        std::copy(std::begin(f.cpuId), std::end(f.cpuId), b.begin() + 8);
        b[0x10] = s.number(f.cpuModelName);
        put16(b, 0x16, f.cpuMhz);
        b[0x18] = 0x41;  // socket populated, enabled
        b[0x19] = 0x02;  // upgrade unknown
        table.add(b, s.strings());
    }
    table.add(std::vector<std::uint8_t>(4, 0x7F), {});
    Image image = windowAround(table.bytes(), table.count(), 0x20, f.fromDmi ? Source::SysfsId : Source::Kernel);
    return image;
}

Image chooseImage(const SourcePaths& paths) {
    if (!paths.imageFile.empty())
        if (auto image = loadImageFile(paths.imageFile)) return std::move(*image);
    if (!paths.sysfsRoot.empty()) {
        const std::filesystem::path tables = std::filesystem::path(paths.sysfsRoot) / "firmware" / "dmi" / "tables";
        const auto entry = platform::readFilePrefix((tables / "smbios_entry_point").string(), 64);
        const auto table = platform::readFilePrefix((tables / "DMI").string(), 0x100000);
        if (entry && table)
            if (auto image = windowFromFirmwareTables(*entry, *table)) return std::move(*image);
    }
    if (!paths.devMem.empty())
        if (auto image = loadDevMem(paths.devMem)) return std::move(*image);
    if (auto facts = readVisibleFacts(paths.sysfsRoot, paths.cpuinfo, paths.cpuidBrand)) return windowFromFacts(*facts);
    return Image{};
}

}  // namespace zorvdmi
