// The hwmon source: the channel map is built once from the chips libsensors
// found; every read asks libsensors again.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "HwmonMap.h"
#include "HwmonSensors.h"
#include "Source.h"

namespace zorv::hwmon {

class HwmonSource final : public Source {
public:
    HwmonSource(std::unique_ptr<Backend> backend, const Config& config);
    std::int16_t read(Channel channel) override;
    // The channels whose map leads to a feature with a readable input.
    std::uint32_t channelMask() override;
    // From the limits of the features in the map and, for fans, their speed now.
    ChannelDefaults defaults() override;
    // libsensors missing, or no chip under /sys/class/hwmon.
    Trouble trouble() override;
    std::vector<SensorInfo> sensors() override;
    ChannelStates channelStates() override;
    [[nodiscard]] bool mapsSensors() const override { return true; }

    [[nodiscard]] const ResolvedMap& map() const { return map_; }
    [[nodiscard]] const Backend& backend() const { return *backend_; }

    // Every chip feature with its label and value, then the map in force and
    // what kept a channel from being read, then each channel's default: what a
    // user needs to write a map.
    [[nodiscard]] std::string listing(const Config& config);

private:
    std::unique_ptr<Backend> backend_;
    ResolvedMap map_;
    std::array<std::optional<int>, kChannelCount> inputs_{};
};

}  // namespace zorv::hwmon
