#include <cstdlib>

#include "Source.h"

namespace zorv {
namespace {

class ZeroSource final : public Source {
public:
    std::int16_t read(Channel) override { return 0; }
    std::uint32_t channelMask() override { return 0; }
};

std::uint64_t simSeed() {
    if (const char* s = std::getenv("ZORV_SIM_SEED"); s && *s) return std::strtoull(s, nullptr, 10);
    return 1998;
}


}  // namespace

std::unique_ptr<Source> makeSource(const std::string& name, const Config& config) {
    if (name == "sim") return std::make_unique<SimSource>(simSeed(), steadyClock());
    if (name.rfind("sim:", 0) == 0)
        return std::make_unique<SimSource>(simSeed(), steadyClock(), parseScenario(readSmallFile(name.substr(4))));
    if (name.rfind("file:", 0) == 0) return std::make_unique<FileSource>(name.substr(5));
    if (name == "hwmon") return makeHwmonSource(config);
    return std::make_unique<ZeroSource>();
}

}  // namespace zorv
