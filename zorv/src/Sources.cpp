#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Source.h"

namespace zorv {
namespace {

class ZeroSource final : public Source {
public:
    std::int16_t read(Channel) override { return 0; }
};

std::uint64_t simSeed() {
    if (const char* s = std::getenv("ZORV_SIM_SEED"); s && *s) return std::strtoull(s, nullptr, 10);
    return 1998;
}

std::string readSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string buf(64 * 1024, '\0');
    in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
    buf.resize(static_cast<std::size_t>(in.gcount()));
    return buf;
}

}  // namespace

std::unique_ptr<Source> makeSource(const std::string& spec, const Config& config) {
    if (spec == "sim") return std::make_unique<SimSource>(simSeed(), steadyClock());
    if (spec.rfind("sim:", 0) == 0)
        return std::make_unique<SimSource>(simSeed(), steadyClock(), parseScenario(readSmallFile(spec.substr(4))));
    if (spec.rfind("file:", 0) == 0) return std::make_unique<FileSource>(spec.substr(5));
    if (spec == "hwmon") return makeHwmonSource(config);
    return std::make_unique<ZeroSource>();
}

}  // namespace zorv
