// Where the library's image of the BIOS area comes from on Linux. Each
// loader only produces bytes for the format logic; none of them interprets
// a table beyond what it needs to place it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CpuBrand.h"
#include "DmiFormat.h"

namespace zorvdmi {

// Kernel: a machine without DMI, described by its processor and device tree.
enum class Source { None, ImageFile, FirmwareTables, DevMem, SysfsId, Kernel };

struct Image {
    std::vector<std::uint8_t> bytes;
    Mode mode = Mode::Window;
    Source source = Source::None;

    [[nodiscard]] MemoryView view() const { return {platform::ByteSpan(bytes.data(), bytes.size()), mode}; }
};

// Where each source looks; empty paths switch a source off.
struct SourcePaths {
    std::string imageFile;   // $ZORVDMI_IMAGE
    std::string sysfsRoot;   // $ZORVDMI_SYSFS_ROOT, default /sys
    std::string devMem;      // $ZORVDMI_DEVMEM, default /dev/mem
    std::string cpuinfo;     // $ZORVDMI_CPUINFO, default /proc/cpuinfo
    // A cpuinfo named by $ZORVDMI_CPUINFO stands for the whole processor, so
    // this processor's own brand string is not asked then.
    bool cpuidBrand = true;

    static SourcePaths fromEnvironment();
};

// A captured BIOS area (window mode); the first 0xFFFF bytes count.
std::optional<Image> loadImageFile(const std::string& path);

// A window holding a "_DMI_" entry point and the published table after it.
// The entry point may be an SMBIOS 2 ("_SM_"), legacy ("_DMI_") or SMBIOS 3
// ("_SM3_") one; an SMBIOS 3 table has its structures counted.
std::optional<Image> windowFromFirmwareTables(const std::vector<std::uint8_t>& entryPoint,
                                              const std::vector<std::uint8_t>& table);

// The number of structures up to and including the first type 127, by the
// standard's layout (formatted area, then strings ending in two zeros).
std::uint16_t countStructures(const std::vector<std::uint8_t>& table);

// Physical memory's first megabyte read from a /dev/mem-like file (flat
// mode); used only when it holds an entry point with its table inside.
std::optional<Image> loadDevMem(const std::string& path);

// Facts an ordinary user can read, as types 0, 2, 3 and 4.
struct VisibleFacts {
    bool fromDmi = true;  // false: no class/dmi/id; the board is the device tree's
    std::string biosVendor, biosVersion, biosDate;
    std::string boardVendor, boardName, boardVersion, boardSerial;
    std::string chassisVendor, chassisVersion, chassisSerial, chassisAsset;
    std::uint8_t chassisType = 2;  // unknown
    std::string cpuVendor, cpuModelName;
    std::uint16_t cpuFamilyCode = kFamilyUnknown;  // a Processor Family 2 value
    std::uint8_t cpuId[8] = {};
    std::uint16_t cpuMhz = 0;
};

// The processor family code of the standard for what /proc/cpuinfo says;
// 0x01 (other) for a known maker's family without a code, 0x02 (unknown)
// for an unknown maker.
std::uint8_t familyCode(const std::string& vendor, int family, int model);

// The processor's brand string from cpuid leaves 0x80000002-0x80000004,
// without its leading blanks; empty where cpuid has none.
std::string cpuidBrand();

// The family for the processor record: the one the brand string names, else
// the one cpuinfo's model name names, else an Arm processor's by its
// architecture, else familyCode's.
std::uint16_t processorFamily(const CpuInfo& cpu, std::string_view brand);

// Reads the facts from sysfs (class/dmi/id) and cpuinfo. Without that folder
// the board comes from the device tree (firmware/devicetree/base) and the
// BIOS stays empty; none when neither the processor nor the device tree
// says anything. The brand string is cpuid's when useCpuidBrand and cpuid
// has one, else cpuinfo's model name.
std::optional<VisibleFacts> readVisibleFacts(const std::string& sysfsRoot, const std::string& cpuinfoPath,
                                             bool useCpuidBrand = true);

// The window built from such facts.
Image windowFromFacts(const VisibleFacts& facts);

// The first source that works, in the order documented in zorvdmi.h.
Image chooseImage(const SourcePaths& paths);

}  // namespace zorvdmi
