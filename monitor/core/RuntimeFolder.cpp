#include "RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velmon {
namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? std::string(v) : std::string();
}

}  // namespace

std::string claimPrivateFolder(const std::string& path, unsigned uid) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return path + ": " + std::strerror(errno);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return path + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return path + " is not a folder";
    if (st.st_uid != uid) return path + " belongs to another user";
    // Our own folder, left open by someone's umask or chmod: closed again.
    if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) {
        return path + " is open to other users and cannot be closed: " + std::strerror(errno);
    }
    return {};
}

RuntimeFolder runtimeFolder() {
    if (std::string runtime = env("XDG_RUNTIME_DIR"); !runtime.empty()) return {runtime, {}};
    const unsigned uid = ::getuid();
    std::string tmp = env("TMPDIR");
    if (tmp.empty()) tmp = "/tmp";
    const std::string own = tmp + "/velmon-" + std::to_string(uid);
    const std::string why = claimPrivateFolder(own, uid);
    if (why.empty()) return {own, {}};

    std::string cache = env("XDG_CACHE_HOME");
    if (cache.empty() && !env("HOME").empty()) cache = env("HOME") + "/.cache";
    if (!cache.empty()) {
        ::mkdir(cache.c_str(), 0700);
        const std::string inCache = cache + "/Velmon";
        if (claimPrivateFolder(inCache, uid).empty()) return {inCache, why + "; the instance lock is in " + inCache};
    }
    std::string fresh = tmp + "/velmon-" + std::to_string(uid) + "-XXXXXX";
    if (::mkdtemp(fresh.data()) != nullptr) {
        return {fresh, why + "; the instance lock is in " + fresh + ", where a second start does not see it"};
    }
    return {{}, why + "; there is no folder for the instance lock"};
}

}  // namespace velmon
