// One script of INI reads and registry calls, built twice: natively it runs
// the project's own INI reader and registry stand-in, for Windows it runs
// GetPrivateProfileIntA and the registry (under Wine). The runner compares
// the two outputs line by line.
//   platform_crosscheck WORK_DIR      (the stand-in's root: $ZORV_REGISTRY)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/IniReader.h"
#include "platform/Registry.h"

namespace {

struct IniCase {
    const char* name;
    const char* text;  // nullptr: no file
    const char* section;
    const char* key;
};

// Read with the default 1, as the board's fan configuration is.
const IniCase kIniCases[] = {
    {"plain", "[Board]\nCPU=2\n", "Board", "CPU"},
    {"case-of-names", "[bOARD]\ncpu=3\n", "Board", "CPU"},
    {"blanks-around", "[Board]\n  CPU  =   4  \n", "Board", "CPU"},
    {"tab-before-value", "[Board]\nCPU=\t5\n", "Board", "CPU"},
    {"crlf", "[Board]\r\nCPU=6\r\n", "Board", "CPU"},
    {"minus", "[Board]\nCPU=-7\n", "Board", "CPU"},
    {"plus", "[Board]\nCPU=+8\n", "Board", "CPU"},
    {"blank-after-sign", "[Board]\nCPU=- 9\n", "Board", "CPU"},
    {"digits-then-text", "[Board]\nCPU=10abc\n", "Board", "CPU"},
    {"no-digits", "[Board]\nCPU=abc\n", "Board", "CPU"},
    {"hex-text", "[Board]\nCPU=0x1F\n", "Board", "CPU"},
    {"empty-value", "[Board]\nCPU=\n", "Board", "CPU"},
    {"blank-value", "[Board]\nCPU=   \n", "Board", "CPU"},
    {"past-16-bits", "[Board]\nCPU=70000\n", "Board", "CPU"},
    {"largest-32-bit", "[Board]\nCPU=2147483647\n", "Board", "CPU"},
    {"past-32-bits", "[Board]\nCPU=4294967297\n", "Board", "CPU"},
    {"below-32-bits", "[Board]\nCPU=-2147483649\n", "Board", "CPU"},
    {"quoted", "[Board]\nCPU=\"11\"\n", "Board", "CPU"},
    {"single-quoted", "[Board]\nCPU='12'\n", "Board", "CPU"},
    {"quote-unclosed", "[Board]\nCPU=\"13\n", "Board", "CPU"},
    {"missing-key", "[Board]\nPOWER=0\n", "Board", "CPU"},
    {"missing-section", "[Other]\nCPU=0\n", "Board", "CPU"},
    {"missing-file", nullptr, "Board", "CPU"},
    {"comment-line", "[Board]\n;CPU=0\nCPU=14\n", "Board", "CPU"},
    {"first-of-two", "[Board]\nCPU=15\nCPU=16\n", "Board", "CPU"},
    {"section-name-blanks", "[ Board ]\nCPU=17\n", "Board", "CPU"},
    {"key-before-any-section", "CPU=18\n[Board]\nPOWER=0\n", "Board", "CPU"},
    {"leading-zeros", "[Board]\nCPU=0019\n", "Board", "CPU"},
    {"hex-upper", "[Board]\nCPU=0X2a\n", "Board", "CPU"},
    {"hex-negative", "[Board]\nCPU=-0x10\n", "Board", "CPU"},
    {"hex-no-digits", "[Board]\nCPU=0xg\n", "Board", "CPU"},
    {"binary-prefix", "[Board]\nCPU=0b101\n", "Board", "CPU"},
    {"octal-prefix", "[Board]\nCPU=0o17\n", "Board", "CPU"},
    {"quoted-with-blanks", "[Board]\nCPU=\" 20 \"\n", "Board", "CPU"},
    {"key-blank-inside", "[Board]\nC PU=21\n", "Board", "C PU"},
    {"section-unclosed", "[Board\nCPU=22\n", "Board", "CPU"},
    {"asked-with-blanks", "[Board]\nCPU=23\n", " Board ", " CPU "},
    {"blanks-in-brackets-asked-so", "[ Board ]\nCPU=24\n", " Board ", "CPU"},
    {"long-value", "[Board]\nCPU=000000000000000000000000000000042\n", "Board", "CPU"},
    {"text-after-bracket", "[Board] x\nCPU=25\n", "Board", "CPU"},
    {"quoted-key-text", "[Board]\nCPU=\"26\" x\n", "Board", "CPU"},
    {"wrap-to-negative", "[Board]\nCPU=3000000000\n", "Board", "CPU"},
    {"plus-hex", "[Board]\nCPU=+0x11\n", "Board", "CPU"},
    {"same-section-twice", "[Board]\nPOWER=0\n[Board  ]\nCPU=27\n", "Board", "CPU"},
    {"same-section-twice-first", "[Board]\nCPU=28\n[board]\nCPU=29\n", "Board", "CPU"},
};

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char b[4];
    for (auto v : bytes) {
        std::snprintf(b, sizeof b, "%02X", v);
        out += b;
    }
    return out;
}

void iniChecks(const std::filesystem::path& work) {
    int n = 0;
    for (const IniCase& c : kIniCases) {
        const auto path = work / ("case" + std::to_string(n++) + ".ini");
        if (c.text) std::ofstream(path, std::ios::binary) << c.text;
        const std::int64_t v = platform::iniReadIntFromFile(path.string(), c.section, c.key, 1);
        std::printf("ini %s %lld\n", c.name, static_cast<long long>(v));
    }
}

void registryChecks() {
    namespace reg = platform::registry;
    auto line = [](const char* step, long rc, const std::string& more = "") {
        std::printf("reg %s %ld%s%s\n", step, rc, more.empty() ? "" : " ", more.c_str());
    };
    const std::uint8_t data[] = {1, 2, 3};
    reg::Key key;
    line("create", reg::Key::create("SOFTWARE\\ZORV\\CrossCheck", key));
    line("set-DATA", key.setValue("DATA", reg::kRegBinary, data, 3));
    line("set-Data-other-case", key.setValue("Data", reg::kRegBinary, data, 2));
    key.close();

    reg::Key other;
    line("open-other-case", reg::Key::open("software\\zorv\\crosscheck", other));
    std::vector<std::uint8_t> bytes;
    std::uint32_t type = 0;
    long rc = other.queryValue("data", bytes, &type);
    line("query-data-other-case", rc, hex(bytes) + " type " + std::to_string(type));
    std::uint8_t small[1] = {};
    std::uint32_t size = sizeof small;
    rc = other.queryValue("DATA", nullptr, small, &size);
    line("query-small-buffer", rc, "size " + std::to_string(size));
    size = 0;
    rc = other.queryValue("DATA", nullptr, nullptr, &size);
    line("query-size-only", rc, "size " + std::to_string(size));
    line("query-missing", other.queryValue("Nope", bytes));
    line("set-default-value", other.setValue("", reg::kRegBinary, data, 1));
    rc = other.queryValue("", bytes);
    line("query-default-value", rc, hex(bytes));
    line("set-backslash-name", other.setValue("a\\b", reg::kRegBinary, data, 3));
    rc = other.queryValue("A\\B", bytes);
    line("query-backslash-name", rc, hex(bytes));
    line("delete-DATA", other.deleteValue("dAtA"));
    line("delete-again", other.deleteValue("DATA"));
    line("close", other.close());
    line("close-again", other.close());

    reg::Key missing;
    line("open-missing-key", reg::Key::open("SOFTWARE\\ZORV\\Missing", missing));
    reg::Key trailing;
    line("open-trailing-backslash", reg::Key::open("SOFTWARE\\ZORV\\CrossCheck\\", trailing));
    reg::Key nested;
    line("create-nested", reg::Key::create("SOFTWARE\\ZORV\\CrossCheck\\A\\B", nested));
    line("open-nested-other-case", reg::Key::open("SOFTWARE\\zorv\\CROSSCHECK\\a\\b", nested));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: platform_crosscheck WORK_DIR\n");
        return 2;
    }
    const std::filesystem::path work = argv[1];
    std::filesystem::create_directories(work);
    iniChecks(work);
    registryChecks();
    return 0;
}
