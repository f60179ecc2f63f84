#include "platform/Registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace platform::registry {
namespace fs = std::filesystem;
namespace {

constexpr const char* kTypesDir = ".types";

// Names never start with '.', so the sidecar folder of types cannot collide.
std::string escape(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '%' || c == '/' || c < 0x20 || (i == 0 && c == '.')) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (out.empty()) out = "%00default";
    return out;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

// Registry names ignore case: an entry that differs only in case is the same
// key or value. The exact spelling wins; a new entry keeps the caller's.
// Keys are looked for among folders, values among files.
enum class Entry { Key, Value };

fs::path entryIn(const fs::path& dir, const std::string& escapedName, Entry kind) {
    auto isKind = [kind](const fs::path& p) {
        std::error_code ec;
        return kind == Entry::Key ? fs::is_directory(p, ec) : fs::is_regular_file(p, ec);
    };
    const fs::path exact = dir / escapedName;
    if (isKind(exact)) return exact;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (sameIgnoringCase(it->path().filename().string(), escapedName) && isKind(it->path())) return it->path();
    }
    return exact;
}

fs::path keyPath(const std::string& subKey) {
    fs::path p = localMachineRoot();
    std::string part;
    auto flush = [&] {
        if (!part.empty()) p = entryIn(p, escape(part), Entry::Key);
        part.clear();
    };
    for (char c : subKey) {
        if (c == '\\' || c == '/') flush();
        else part += c;
    }
    flush();
    return p;
}

long errnoToStatus(int e) {
    switch (e) {
        case ENOENT:
        case ENOTDIR: return kFileNotFound;
        case EACCES:
        case EPERM:
        case EROFS: return kAccessDenied;
        default: return kAccessDenied;
    }
}

bool writeAtomically(const fs::path& target, const std::uint8_t* data, std::size_t size) {
    std::string tmpl = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            ::unlink(name.data());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        ::unlink(name.data());
        return false;
    }
    if (std::rename(name.data(), target.c_str()) != 0) {
        ::unlink(name.data());
        return false;
    }
    return true;
}

}  // namespace

fs::path localMachineRoot() {
    if (const char* r = std::getenv("ZORV_REGISTRY"); r && *r) return fs::path(r);
    fs::path base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) base = x;
    else if (const char* h = std::getenv("HOME"); h && *h) base = fs::path(h) / ".local/share";
    else base = "/tmp";
    return base / "zorv/registry/HKEY_LOCAL_MACHINE";
}

std::string valueFileName(const std::string& valueName) { return escape(valueName); }

long Key::open(const std::string& subKey, Key& out) {
    out.path_.clear();
    const fs::path p = keyPath(subKey);
    std::error_code ec;
    const auto st = fs::status(p, ec);
    if (ec || !fs::is_directory(st)) return kFileNotFound;
    if (::access(p.c_str(), R_OK | X_OK) != 0) return kAccessDenied;
    out.path_ = p;
    return kSuccess;
}

long Key::create(const std::string& subKey, Key& out) {
    out.path_.clear();
    const fs::path p = keyPath(subKey);
    std::error_code ec;
    fs::create_directories(p, ec);
    if (ec) return errnoToStatus(ec.value());
    if (!fs::is_directory(p, ec)) return kAccessDenied;
    out.path_ = p;
    return kSuccess;
}

long Key::queryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) const {
    if (!isOpen()) return kInvalidHandle;
    if (data && !size) return kInvalidParameter;
    std::vector<std::uint8_t> bytes;
    std::uint32_t t = kRegNone;
    if (const long rc = queryValue(name, bytes, &t); rc != kSuccess) return rc;
    if (type) *type = t;
    const auto need = static_cast<std::uint32_t>(bytes.size());
    if (!size) return kSuccess;
    if (!data) {
        *size = need;
        return kSuccess;
    }
    if (*size < need) {
        *size = need;
        return kMoreData;
    }
    if (need) std::memcpy(data, bytes.data(), need);
    *size = need;
    return kSuccess;
}

long Key::queryValue(const std::string& name, std::vector<std::uint8_t>& out, std::uint32_t* type) const {
    out.clear();
    if (!isOpen()) return kInvalidHandle;
    const fs::path file = entryIn(path_, escape(name), Entry::Value);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return kFileNotFound;
    const auto size = fs::file_size(file, ec);
    if (ec) return kAccessDenied;
    if (size > 0xFFFFFFFFull) return kInvalidParameter;
    std::ifstream in(file, std::ios::binary);
    if (!in) return errnoToStatus(errno);
    out.resize(static_cast<std::size_t>(size));
    if (size && !in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size))) {
        out.clear();
        return kAccessDenied;
    }
    if (type) {
        *type = kRegBinary;
        std::ifstream t(path_ / kTypesDir / file.filename());
        std::uint32_t v = 0;
        if (t >> v) *type = v;
    }
    return kSuccess;
}

long Key::setValue(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) const {
    if (!isOpen()) return kInvalidHandle;
    if (size && !data) return kInvalidParameter;
    const fs::path file = entryIn(path_, escape(name), Entry::Value);
    std::error_code ec;
    fs::create_directories(path_ / kTypesDir, ec);
    const std::string typeText = std::to_string(type) + "\n";
    // The type first: a crash between the two leaves the old data readable.
    if (!ec)
        writeAtomically(path_ / kTypesDir / file.filename(), reinterpret_cast<const std::uint8_t*>(typeText.data()),
                        typeText.size());
    if (!writeAtomically(file, data, size)) return errnoToStatus(errno);
    return kSuccess;
}

long Key::deleteValue(const std::string& name) const {
    if (!isOpen()) return kInvalidHandle;
    const fs::path file = entryIn(path_, escape(name), Entry::Value);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return kFileNotFound;
    if (!fs::remove(file, ec)) return errnoToStatus(ec.value());
    fs::remove(path_ / kTypesDir / file.filename(), ec);
    return kSuccess;
}

long Key::close() {
    if (!isOpen()) return kInvalidHandle;
    path_.clear();
    return kSuccess;
}

}  // namespace platform::registry
