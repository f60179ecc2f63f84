#include "Store.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <limits>
#include <new>

#include "platform/ModulePath.h"
#include "platform/Registry.h"

namespace cpudata {
namespace reg = platform::registry;
namespace {

#ifdef _WIN32
// Opened without sharing, an existing file only; sized before it is read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> result;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= std::numeric_limits<std::uint32_t>::max()) {
        try {
            result.emplace(static_cast<std::size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            result.reset();
        }
        // A short read keeps the bytes that arrived; the rest stay zero.
        std::size_t done = 0;
        while (result && done < result->size()) {
            DWORD n = 0;
            if (!ReadFile(file, result->data() + done, static_cast<DWORD>(result->size() - done), &n, nullptr) || n == 0)
                break;
            done += n;
        }
    }
    CloseHandle(file);
    return result;
}
#else
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_;
};

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) return std::nullopt;
    // The registry layer takes sizes of 32 bits.
    if (static_cast<unsigned long long>(st.st_size) > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    // A short read keeps the bytes that arrived; the rest stay zero, as the size promised them.
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

#endif

}  // namespace

std::string dataFilePathFor(const std::string& modulePath) {
    if (modulePath.empty()) return {};
    return platform::joinPath(platform::directoryOf(modulePath), kDataFileName);
}

bool copyFileIntoStore(const std::string& path) {
    const auto bytes = readWholeFile(path);
    if (!bytes) return false;
    reg::Key key;
    if (reg::Key::create(kStoreKey, key) == reg::kSuccess) {
        key.setValue(kStoreValue, reg::kRegBinary, bytes->data(), static_cast<std::uint32_t>(bytes->size()));
        key.close();
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> readStore() {
    reg::Key key;
    if (reg::Key::open(kStoreKey, key) != reg::kSuccess) return std::nullopt;
    std::uint32_t size = 0;
    if (key.queryValue(kStoreValue, nullptr, nullptr, &size) != reg::kSuccess) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    // The value may have changed size between the two calls; then it is read again whole.
    long rc = key.queryValue(kStoreValue, nullptr, bytes.data(), &size);
    if (rc == reg::kMoreData) {
        try {
            bytes.resize(size);
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
        rc = key.queryValue(kStoreValue, nullptr, bytes.data(), &size);
    }
    if (rc != reg::kSuccess) return std::nullopt;
    bytes.resize(size);
    return bytes;
}

}  // namespace cpudata
