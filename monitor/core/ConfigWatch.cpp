#include "ConfigWatch.h"

#include <sys/stat.h>

namespace velmon {

void ConfigWatch::watch(const std::string& path) {
    path_ = path;
    last_ = stampNow();
}

ConfigWatch::Stamp ConfigWatch::stampNow() const {
    struct stat st {};
    if (path_.empty() || ::stat(path_.c_str(), &st) != 0) return {};
    return {true, static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec), static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

bool ConfigWatch::changed() {
    if (path_.empty()) return false;
    const Stamp now = stampNow();
    if (now == last_) return false;
    last_ = now;
    return true;
}

}  // namespace velmon
