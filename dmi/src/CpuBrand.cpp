#include "CpuBrand.h"

#include "platform/Files.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <vector>

namespace zorvdmi {
namespace {

constexpr std::size_t kMaxTokens = 32;

// Lower-case words of letters and digits; trademark marks are dropped.
std::vector<std::string> words(std::string_view brand) {
    brand = brand.substr(0, kBrandLimit);
    std::vector<std::string> out;
    std::string word;
    auto flush = [&] {
        if (!word.empty() && word != "r" && word != "tm" && out.size() < kMaxTokens) out.push_back(word);
        word.clear();
    };
    for (const char ch : brand) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) word.push_back(static_cast<char>(c));
        else if (c >= 'A' && c <= 'Z') word.push_back(static_cast<char>(c - 'A' + 'a'));
        else flush();
    }
    flush();
    return out;
}

class Words {
public:
    explicit Words(std::string_view brand) : w_(words(brand)) {}
    [[nodiscard]] std::optional<std::size_t> find(std::string_view word) const {
        for (std::size_t i = 0; i < w_.size(); ++i)
            if (w_[i] == word) return i;
        return std::nullopt;
    }
    [[nodiscard]] bool has(std::string_view word) const { return find(word).has_value(); }
    // The word n places after the first occurrence of word, or "".
    [[nodiscard]] std::string_view after(std::string_view word, std::size_t n = 1) const {
        const auto i = find(word);
        if (!i || *i + n >= w_.size()) return {};
        return w_[*i + n];
    }
    [[nodiscard]] const std::vector<std::string>& all() const { return w_; }

private:
    std::vector<std::string> w_;
};

// "3", "5", "7", "9" as 0..3; else none.
std::optional<std::uint16_t> tier(std::string_view w) {
    if (w == "3") return 0;
    if (w == "5") return 1;
    if (w == "7") return 2;
    if (w == "9") return 3;
    return std::nullopt;
}

std::uint16_t amdFamily(const Words& w) {
    if (w.has("ryzen") || w.has("epyc") || w.has("threadripper")) return 0x6B;  // Zen
    if (w.has("athlon")) {
        const std::string_view next = w.after("athlon");
        if (next == "64") return w.after("athlon", 2) == "x2" ? 0x88 : 0x83;
        if (next == "ii") return 0xED;
        if (next == "x2") return 0x8F;
        if (next == "x4") return 0x66;
        if (next == "xp") return 0xB6;
        if (next == "mp") return 0xB7;
        if (next == "dual") return 0xEA;
        return 0x1D;
    }
    if (w.has("opteron")) return 0x84;
    if (w.has("sempron")) return 0x85;
    if (w.has("duron")) return 0x18;
    if (w.has("phenom")) {
        if (w.after("phenom") == "ii") return 0xEC;
        return w.has("triple") ? 0xE7 : 0x8D;
    }
    if (w.has("turion")) {
        const std::string_view next = w.after("turion");
        if (next == "64") return w.after("turion", 2) == "x2" ? 0x89 : 0x86;
        if (next == "ii") return w.has("ultra") ? 0x38 : 0x39;
        if (next == "x2") return w.has("ultra") ? 0xE8 : 0xE9;
        return 0x86;
    }
    if (w.has("fx")) return 0x3F;
    for (const std::string& x : w.all()) {
        if (x == "a4" || x == "a6" || x == "a8" || x == "a9" || x == "a10" || x == "a12") return 0x48;
        if (x == "e" || x == "e1" || x == "e2") return 0x47;
        if (x == "c") return 0x46;
        if (x == "g" || x == "gx") return 0x49;
        if (x == "z") return 0x4A;
    }
    return kFamilyOther;
}

std::uint16_t intelFamily(const Words& w) {
    if (w.has("xeon")) return 0xB3;
    if (w.has("core")) {
        const std::string_view next = w.after("core");
        if (next == "ultra") {
            if (const auto t = tier(w.after("core", 2))) return static_cast<std::uint16_t>(0x304 + *t);
        }
        if (next == "i3") return 0xCE;
        if (next == "i5") return 0xCD;
        if (next == "i7") return 0xC6;
        if (next == "i9") return 0xCF;
        if (const auto t = tier(next)) return static_cast<std::uint16_t>(0x300 + *t);
        if (next == "2") {
            const std::string_view kind = w.after("core", 2);
            if (kind == "solo") return 0xC0;
            if (kind == "extreme") return 0xC1;
            if (kind == "quad") return 0xC2;
            return 0xBF;  // Duo, and the first ones that said only "Core 2"
        }
        if (next == "m") return 0x2C;
        if (next == "m3") return 0x2D;
        if (next == "m5") return 0x2E;
        if (next == "m7") return 0x2F;
        if (next == "duo") return 0x28;
        if (next == "solo") return 0xBD;
    }
    if (w.has("atom")) return 0x2B;
    if (w.has("celeron")) {
        const std::string_view next = w.after("celeron");
        if (next == "m") return 0x14;
        if (next == "d") return 0xBA;
        return 0x0F;
    }
    if (w.has("pentium")) {
        const std::string_view next = w.after("pentium");
        if (next == "4") return 0xB2;
        if (next == "m") return 0xB9;
        if (next == "d") return 0xBB;
        if (next == "iii") return 0x11;
        if (next == "ii") return 0x0D;
        if (next == "pro") return 0x0C;
        if (next == "mmx") return 0x0E;
        if (next == "extreme") return 0xBC;
        return 0x0B;
    }
    return kFamilyOther;
}

std::uint16_t viaFamily(const Words& w) {
    if (w.has("nano")) return 0xD9;
    if (w.has("eden")) return 0xD5;
    if (w.has("c7")) {
        const std::string_view next = w.after("c7");
        if (next == "m") return 0xD2;
        if (next == "d") return 0xD3;
        return 0xD4;
    }
    return kFamilyOther;
}

// A decimal or 0x-hex number at the start of text, or -1.
int number(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (ec != std::errc() || end == text.data() || v < 0) return -1;
    return v;
}

}  // namespace

std::uint16_t familyFromBrand(std::string_view brand) {
    const Words w(brand);
    const bool amd = w.has("amd") || w.has("ryzen") || w.has("epyc") || w.has("athlon") || w.has("opteron") ||
                     w.has("sempron") || w.has("duron") || w.has("phenom") || w.has("turion");
    if (amd) return amdFamily(w);
    if (w.has("via") || w.has("centaur")) return viaFamily(w);
    return intelFamily(w);
}

CpuInfo parseCpuInfo(std::string_view text) {
    text = text.substr(0, kCpuInfoLimit);
    CpuInfo info;
    bool seen = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        const std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            if (seen && platform::trimBlanks(line).empty()) break;
            continue;
        }
        seen = true;
        const std::string_view key = platform::trimBlanks(line.substr(0, colon));
        const std::string_view value = platform::trimBlanks(line.substr(colon + 1));
        if (key == "vendor_id") info.vendor = std::string(value);
        else if (key == "model name") info.modelName = std::string(value);
        else if (key == "cpu family") info.family = number(value);
        else if (key == "model") info.model = number(value);
        else if (key == "cpu MHz") info.mhz = std::strtod(std::string(value.substr(0, 32)).c_str(), nullptr);
        else if (key == "CPU implementer") info.implementer = number(value);
        else if (key == "CPU architecture") info.architecture = number(value);
        else if (key == "CPU variant") info.variant = number(value);
        else if (key == "CPU part") info.part = number(value);
        else if (key == "CPU revision") info.revision = number(value);
    }
    return info;
}

std::uint16_t armFamily(int architecture) {
    switch (architecture) {
    case 7: return kFamilyArmV7;
    case 8: return kFamilyArmV8;
    case 9: return kFamilyArmV9;
    default: return kFamilyOther;
    }
}

std::uint32_t armMainId(const CpuInfo& cpu) {
    if (cpu.implementer < 0 || cpu.part < 0) return 0;
    const auto field = [](int v, unsigned bits) { return static_cast<std::uint32_t>(v < 0 ? 0 : v) & ((1u << bits) - 1); };
    // Architecture 0xF: the ID scheme of every processor the kernel names by these fields.
    return field(cpu.implementer, 8) << 24 | field(cpu.variant, 4) << 20 | 0xFu << 16 | field(cpu.part, 12) << 4 |
           field(cpu.revision, 4);
}

}  // namespace zorvdmi
