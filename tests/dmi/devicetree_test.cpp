// The board of a machine without DMI tables, from its device tree's model and
// compatible properties as the kernel shows them (NUL-terminated strings).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeviceTree.h"

using namespace zorvdmi;

namespace {

platform::ByteSpan span(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// Literals that hold NULs keep them: "a\0b" would stop at the first one.
template <std::size_t N>
std::string bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

struct Case {
    const char* label;
    std::string model, compatible;
    const char* maker;
    const char* name;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.label; }

class DeviceTreeBoards : public ::testing::TestWithParam<Case> {};

TEST_P(DeviceTreeBoards, NameTheBoardAndItsMaker) {
    const Case& c = GetParam();
    const DeviceTreeBoard b = parseDeviceTree(span(c.model), span(c.compatible));
    EXPECT_EQ(b.maker, c.maker);
    EXPECT_EQ(b.name, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, DeviceTreeBoards,
    ::testing::Values(
        Case{"RaspberryPi", bytes("Raspberry Pi 4 Model B Rev 1.4\0"), bytes("raspberrypi,4-model-b\0brcm,bcm2711\0"),
             "Raspberry Pi", "Raspberry Pi 4 Model B Rev 1.4"},
        Case{"Pine64", bytes("Pine64 RockPro64 v2.1\0"),
             bytes("pine64,rockpro64-v2.1\0pine64,rockpro64\0rockchip,rk3399\0"), "Pine64", "Pine64 RockPro64 v2.1"},
        Case{"Hardkernel", bytes("Hardkernel ODROID-N2Plus\0"),
             bytes("hardkernel,odroid-n2-plus\0amlogic,s922x\0amlogic,g12b\0"), "Hardkernel",
             "Hardkernel ODROID-N2Plus"},
        Case{"OrangePi", bytes("Xunlong Orange Pi 5\0"), bytes("xunlong,orangepi-5\0rockchip,rk3588s\0"), "Orange Pi",
             "Xunlong Orange Pi 5"},
        Case{"Nvidia", bytes("NVIDIA Jetson Nano Developer Kit\0"), bytes("nvidia,p3450-0000\0nvidia,tegra210\0"),
             "NVIDIA", "NVIDIA Jetson Nano Developer Kit"},
        // The maker is the first entry's, not the chip's further down the list.
        Case{"FirstEntryCounts", bytes("Banana Pi BPI-M5\0"), bytes("sinovoip,bpi-m5\0amlogic,sm1\0"), "Banana Pi",
             "Banana Pi BPI-M5"},
        // A prefix without a readable name is shown as it stands.
        Case{"UnknownPrefix", bytes("linux,dummy-virt\0"), bytes("linux,dummy-virt\0"), "linux", "linux,dummy-virt"},
        Case{"UnknownMaker", bytes("Homebrew Board\0"), bytes("acme-labs,homebrew\0"), "acme-labs", "Homebrew Board"},
        // Blanks around the model are not part of the name; an only-blank model is none.
        Case{"PaddedModel", bytes("  Padded Board  \0"), bytes("radxa,rock-5b\0"), "Radxa", "Padded Board"},
        Case{"BlankModel", bytes("   \0"), bytes("radxa,rock-5b\0"), "Radxa", ""},
        // A property written without its NUL is still read, to its end.
        Case{"NoNul", "Unterminated Board", "ti,am335x-bone-black", "Texas Instruments", "Unterminated Board"},
        // Only the first string of the model counts.
        Case{"FirstModelString", bytes("First\0Second\0"), bytes("fsl,imx8mq-evk\0"), "NXP", "First"},
        // Missing properties, and a first entry without a vendor prefix.
        Case{"Missing", "", "", "", ""},
        Case{"NoVendorPrefix", bytes("Board\0"), bytes("simple-board\0vendor,board\0"), "", "Board"},
        Case{"EmptyPrefix", bytes("Board\0"), bytes(",no-vendor\0"), "", "Board"},
        Case{"EmptyFirstEntry", bytes("\0"), bytes("\0raspberrypi,4-model-b\0"), "", ""},
        // Bytes that are not printable text name nothing.
        Case{"ControlBytes", bytes("Bad\x01Name\0"), bytes("rock\xff" "chip,rk3399\0"), "", ""},
        Case{"NonAscii", bytes("Caf\xc3\xa9 Board\0"), bytes("qcom\n,sdm845\0"), "", ""},
        Case{"NewlineInModel", bytes("Line\n\0"), bytes("google,kevin\0"), "Google", ""}),
    [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.label); });

TEST(DeviceTree, APropertyLargerThanTheLimitNamesNothing) {
    std::string model(kDeviceTreePropertyLimit - 1, 'M');
    model.push_back('\0');
    std::string compatible = "raspberrypi,4-model-b";
    compatible.append(kDeviceTreePropertyLimit - compatible.size(), '\0');
    DeviceTreeBoard b = parseDeviceTree(span(model), span(compatible));
    EXPECT_EQ(b.name, std::string(kDeviceTreePropertyLimit - 1, 'M'));
    EXPECT_EQ(b.maker, "Raspberry Pi");

    model.push_back('\0');
    compatible.push_back('\0');
    b = parseDeviceTree(span(model), span(compatible));
    EXPECT_EQ(b.name, "");
    EXPECT_EQ(b.maker, "");
}

TEST(DeviceTree, MakersOfCommonPrefixesHaveReadableNames) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"raspberrypi", "Raspberry Pi"}, {"rockchip", "Rockchip"},
        {"allwinner", "Allwinner"},      {"amlogic", "Amlogic"},
        {"brcm", "Broadcom"},            {"nvidia", "NVIDIA"},
        {"qcom", "Qualcomm"},            {"fsl", "NXP"},
        {"nxp", "NXP"},                  {"ti", "Texas Instruments"},
        {"hardkernel", "Hardkernel"},    {"pine64", "Pine64"},
        {"radxa", "Radxa"},              {"friendlyarm", "FriendlyElec"},
        {"friendlyelec", "FriendlyElec"}, {"xunlong", "Orange Pi"},
        {"sinovoip", "Banana Pi"},       {"libretech", "Libre Computer"},
        {"beagle", "BeagleBoard.org"},   {"beagleboard", "BeagleBoard.org"},
        {"apple", "Apple"},              {"google", "Google"},
        {"arm", "Arm"},
        // Prefixes are compared whole and as they are written.
        {"armx", "armx"},                {"Raspberrypi", "Raspberrypi"},
        {"", ""},
    };
    for (const auto& [prefix, name] : cases) EXPECT_EQ(makerName(prefix), name) << prefix;
}

}  // namespace
