// The hwmon source: the channel map is built from the chips libsensors
// found, by chip name and bus address; every read asks libsensors again. When
// a read fails or the hwmon folder changes (resume, a driver reloaded, the
// chips numbered anew), the chips are detected again and mapped by name.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "HwmonMap.h"
#include "HwmonSensors.h"
#include "Source.h"

namespace zorv::hwmon {

// What identifies the entries of a hwmon class folder: each name with its
// link target and inode, sorted. Empty when the folder cannot be read.
std::string hwmonSignature(const std::string& folder);

class HwmonSource final : public Source {
public:
    // A new libsensors session (the old one is gone by then).
    using Opener = std::function<std::unique_ptr<Backend>()>;
    // The hwmon folder's signature; a change means the chips must be found again.
    using Watch = std::function<std::string()>;

    // Without an opener the chips found first are the chips for good.
    HwmonSource(std::unique_ptr<Backend> backend, const Config& config, Opener reopen = {}, Watch watch = {},
                Clock clock = {});
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

    // How often the chips have been detected anew.
    [[nodiscard]] int redetections() const { return redetections_; }

private:
    void mapChannels();
    // Detects the chips again; refused (false) within a second of the last
    // time unless forced, so a chip that stays away costs one scan a second.
    bool redetect(bool force);
    void followHwmonChanges();

    std::unique_ptr<Backend> backend_;
    UserMap user_;
    Opener reopen_;
    Watch watch_;
    Clock clock_;
    ResolvedMap map_;
    std::array<std::optional<int>, kChannelCount> inputs_{};
    std::uint32_t measured_ = 0;  // the channels found at the start: the ones that can fail
    std::string signature_;
    double lastDetect_ = 0, lastWatch_ = 0;
    int redetections_ = 0;
};

}  // namespace zorv::hwmon
