// Puts velmon.prom into a directory the way node_exporter's textfile
// collector needs it: written to a temporary file beside it and renamed, so a
// scrape never sees half a file. A failure is reported once per cause, not
// once per write, and never stops the caller.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velmon {

inline constexpr const char* kMetricsFileName = "velmon.prom";

class TextfileWriter {
public:
    using Report = std::function<void(const std::string&)>;

    // report receives one line per distinct failure, and one when writing
    // works again after a failure.
    TextfileWriter(std::string directory, Report report);

    // Replaces velmon.prom with text. False when it could not.
    bool write(std::string_view text);

    [[nodiscard]] const std::string& path() const { return path_; }

private:
    bool fail(const char* step, int error);

    std::string directory_;
    std::string path_;
    std::string temporaryPattern_;
    Report report_;
    std::string lastCause_;
};

}  // namespace velmon
