// SeaBIOS images cross-checked against dmidecode: every string and number the
// library answers must be what dmidecode reads from the same bytes, under the
// library's own rules (first structure of a type; slots cut to 29 or 39
// characters; the walk ends at a type it cannot pass; no SMBIOS 3 anchor).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "DmiFormat.h"
#include "LibraryRunner.h"

using namespace dmitest;

namespace {

struct Structure {
    int type = 0;
    std::vector<std::uint8_t> data;  // formatted area
    std::vector<std::string> strings;
};

struct Dump {
    bool smbios3 = false;
    std::vector<Structure> structures;
};

std::vector<std::uint8_t> hexBytes(const std::string& line, bool& ok) {
    std::istringstream in(line);
    std::vector<std::uint8_t> out;
    std::string tok;
    ok = true;
    while (in >> tok) {
        if (tok.size() != 2 || !std::isxdigit(static_cast<unsigned char>(tok[0])) ||
            !std::isxdigit(static_cast<unsigned char>(tok[1]))) {
            ok = false;
            return {};
        }
        out.push_back(static_cast<std::uint8_t>(std::stoul(tok, nullptr, 16)));
    }
    return out;
}

// Parses "dmidecode -u": each structure's hex formatted area and the hex
// bytes of each string (a string's last line ends in its zero; a line with
// its printable form follows).
Dump parseDump(const std::string& text) {
    Dump d;
    std::istringstream in(text);
    std::string line;
    enum { None, Data, Strings } state = None;
    bool skipNext = false;
    std::vector<std::uint8_t> pending;
    while (std::getline(in, line)) {
        if (line.rfind("SMBIOS 3", 0) == 0) d.smbios3 = true;
        int type = 0;
        if (std::sscanf(line.c_str(), "Handle 0x%*x, DMI type %d", &type) == 1) {
            d.structures.push_back({type, {}, {}});
            state = None;
            continue;
        }
        if (line.find("Header and Data:") != std::string::npos) {
            state = Data;
            continue;
        }
        if (line.find("Strings:") != std::string::npos) {
            state = Strings;
            skipNext = false;
            pending.clear();
            continue;
        }
        if (d.structures.empty() || line.empty()) {
            state = None;
            continue;
        }
        if (state == Data) {
            bool ok = false;
            const auto bytes = hexBytes(line, ok);
            if (ok) d.structures.back().data.insert(d.structures.back().data.end(), bytes.begin(), bytes.end());
        } else if (state == Strings) {
            if (skipNext) {
                skipNext = false;
                continue;
            }
            bool ok = false;
            const auto bytes = hexBytes(line, ok);
            if (!ok) continue;
            pending.insert(pending.end(), bytes.begin(), bytes.end());
            if (!pending.empty() && pending.back() == 0) {
                d.structures.back().strings.emplace_back(pending.begin(), pending.end() - 1);
                pending.clear();
                skipNext = true;
            }
        }
    }
    return d;
}

std::string run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe.get())) > 0) out.append(buf.data(), n);
    return out;
}

bool passable(int type) { return type <= 15 || type == 128; }

// The first structure of the type as the library's walk reaches it.
const Structure* first(const Dump& d, int type) {
    for (const Structure& s : d.structures) {
        if (s.type == type) return &s;
        if (!passable(s.type)) return nullptr;
    }
    return nullptr;
}

// The string a slot receives: string n cut to width - 1, empty for 0, for a
// number past the set, or when an earlier slot of the chain took the number.
std::string slot(const Structure* s, std::vector<std::size_t> chain, std::size_t index, std::size_t width = 30) {
    if (!s) return "";
    const std::uint8_t n = s->data.at(chain[index]);
    if (n == 0 || n > s->strings.size()) return "";
    for (std::size_t i = 0; i < index; ++i)
        if (s->data.at(chain[i]) == n) return "";
    return s->strings[n - 1].substr(0, width - 1);
}

unsigned byteOf(const Structure* s, std::size_t at) { return s && at < s->data.size() ? s->data[at] : 0; }
unsigned wordOf(const Structure* s, std::size_t at) { return byteOf(s, at) | (byteOf(s, at + 1) << 8); }

std::vector<std::string> images() {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dataDir(), ec))
        if (e.path().extension() == ".bin") out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

class SeaBiosImage : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST(SeaBiosImages, AreThere) { EXPECT_GE(images().size(), 6u); }

TEST_P(SeaBiosImage, AnswersWhatDmidecodeReads) {
    if (run("command -v dmidecode || ls /usr/sbin/dmidecode 2>/dev/null").empty()) GTEST_SKIP() << "no dmidecode";
    const std::string image = GetParam();
    TempDir dir;
    // dmidecode reads a dump as physical memory: the window at 0xF0000 of a megabyte.
    std::ifstream in(image, std::ios::binary);
    std::vector<char> window((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(window.size(), 0x10000u);
    std::vector<char> memory(0x100000, 0);
    std::copy(window.begin(), window.end(), memory.begin() + 0xF0000);
    const std::string full = dir.path() + "/memory.bin";
    std::ofstream(full, std::ios::binary).write(memory.data(), static_cast<std::streamsize>(memory.size()));
    const std::string text = run("PATH=$PATH:/usr/sbin dmidecode -u -d '" + full + "' 2>&1");
    const Dump d = parseDump(text);
    ASSERT_FALSE(d.structures.empty()) << text;

    const Answers a = answersFor(onlyImage(image, dir.path()));
    ASSERT_TRUE(a.loaded);
    // The same bytes as physical memory, through the /dev/mem source in flat mode.
    Env flat = onlyImage("", dir.path());
    flat.push_back({"ZORVDMI_DEVMEM", full});
    const Answers f = answersFor(flat);
    ASSERT_TRUE(f.loaded);

    if (d.smbios3) {
        // SeaBIOS writes only the 64-bit entry point there: no "_DMI_" anchor.
        EXPECT_FALSE(a.hasInfo);
        EXPECT_STREQ(a.mbProduct, "");
        EXPECT_EQ(a.clock, 0);
        EXPECT_FALSE(f.hasInfo);
        return;
    }

    const Structure* bios = first(d, 0);
    const Structure* board = first(d, 2);
    const Structure* chassis = first(d, 3);
    const Structure* cpu = first(d, 4);
    ASSERT_TRUE(bios && board && cpu);
    for (const Answers* x : {&a, &f}) {
        SCOPED_TRACE(x == &a ? "window" : "flat");
        EXPECT_EQ(x->biosVendor, slot(bios, {4, 5, 8}, 0));
        EXPECT_EQ(x->biosVersion, slot(bios, {4, 5, 8}, 1));
        const std::string date = slot(bios, {4, 5, 8}, 2, 40);
        EXPECT_EQ(x->biosDate, date);
        EXPECT_EQ(x->mbManufacturer, slot(board, {4, 5, 6, 7}, 0));
        EXPECT_EQ(x->mbProduct, slot(board, {4, 5, 6, 7}, 1));
        EXPECT_EQ(x->mbVersion, slot(board, {4, 5, 6, 7}, 2));
        EXPECT_EQ(x->mbSerial, slot(board, {4, 5, 6, 7}, 3));
        EXPECT_EQ(x->mbSocket, slot(cpu, {4, 7, 0x10}, 0));
        EXPECT_EQ(x->cpuVendor, slot(cpu, {4, 7, 0x10}, 1));
        EXPECT_EQ(x->cpuVersion, slot(cpu, {4, 7, 0x10}, 2));
        EXPECT_EQ(x->family, byteOf(cpu, 6));
        EXPECT_EQ(x->voltage, byteOf(cpu, 0x11));
        EXPECT_EQ(x->clock, wordOf(cpu, 0x16));
        for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(x->cpuid[i], byteOf(cpu, 8 + i)) << i;
        ASSERT_TRUE(x->hasInfo);
        EXPECT_EQ(x->info.processor_type, byteOf(cpu, 5));
        EXPECT_EQ(x->info.external_clock_mhz, wordOf(cpu, 0x12));
        EXPECT_EQ(x->info.max_speed_mhz, wordOf(cpu, 0x14));
        EXPECT_EQ(x->info.status, byteOf(cpu, 0x18));
        EXPECT_EQ(x->info.processor_upgrade, byteOf(cpu, 0x19));
        EXPECT_EQ(x->notebook, chassis && (byteOf(chassis, 5) & 0x7F) == 0x0A ? 1 : 0);
        // The date rule on dmidecode's text of the date.
        const auto field = [&](std::size_t at) { return at < date.size() ? std::atoi(date.substr(at, 2).c_str()) : 0; };
        const int month = field(0), day = field(3), year = date.size() > 6 ? field(6) : 0;
        const int expected = year != 97 ? (year > 97) : month != 9 ? (month > 9) : (day >= 22);
        EXPECT_EQ(x->dmi20, expected) << date;
    }
}

INSTANTIATE_TEST_SUITE_P(Captures, SeaBiosImage, ::testing::ValuesIn(images()),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                             std::string name = std::filesystem::path(p.param).stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
