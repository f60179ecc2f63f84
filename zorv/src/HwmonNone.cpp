// Where the system has no hwmon (Windows), the "hwmon" source reads no chip:
// every channel 0, which callers take for a board without sensors.
#include "Source.h"

namespace zorv {
namespace {

class NoChip final : public Source {
public:
    std::int16_t read(Channel) override { return 0; }
    std::uint32_t channelMask() override { return 0; }  // nothing is measured here
};

}  // namespace

std::unique_ptr<Source> makeHwmonSource(const Config&) { return std::make_unique<NoChip>(); }

}  // namespace zorv
