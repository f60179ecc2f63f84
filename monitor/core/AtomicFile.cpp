#include "AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace velmon {
namespace {

constexpr std::string_view kTemporaryMark = ".saving-";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string target(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;  // a dangling link is replaced by the file
}

}  // namespace

void removeStaleTemporaries(const std::string& path) {
    const std::string real = target(path);
    const std::string folder = folderOf(real);
    const std::string prefix = real.substr(real.rfind('/') + 1) + std::string(kTemporaryMark);
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr) return;
    while (const dirent* e = ::readdir(d)) {
        if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) == 0 &&
            std::strlen(e->d_name) == prefix.size() + 6) {
            ::unlink((folder + "/" + e->d_name).c_str());
        }
    }
    ::closedir(d);
}

std::string replaceFileWhole(const std::string& path, std::string_view text) {
    const std::string real = target(path);
    std::string name = real + std::string(kTemporaryMark) + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(name.c_str());
        return std::string(std::strerror(error));
    };
    struct stat old {};
    const mode_t mode = ::stat(real.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (::fchmod(fd, mode) != 0) return abandon(errno);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        // A short write is followed by another, which says why it stops.
        if (n <= 0) return abandon(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.c_str());
        return std::strerror(error);
    }
    if (::rename(name.c_str(), real.c_str()) != 0) {
        const int error = errno;
        ::unlink(name.c_str());
        return std::strerror(error);
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(folderOf(real).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace velmon
