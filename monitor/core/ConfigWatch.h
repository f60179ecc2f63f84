// Notices a file replaced, edited, made or removed, by its status: an edit
// of zorv.conf by hand takes effect at the next look, as a rename does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmon {

class ConfigWatch {
public:
    // The file's state now is the one changes are measured from.
    void watch(const std::string& path);
    [[nodiscard]] const std::string& path() const { return path_; }
    // True once for each change since the last look.
    bool changed();

private:
    struct Stamp {
        bool exists = false;
        std::uint64_t inode = 0, size = 0;
        std::int64_t seconds = 0, nanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    [[nodiscard]] Stamp stampNow() const;

    std::string path_;
    Stamp last_;
};

}  // namespace velmon
