#include "TextfileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velmon {

TextfileWriter::TextfileWriter(std::string directory, Report report)
    : directory_(std::move(directory)), report_(std::move(report)) {
    while (directory_.size() > 1 && directory_.back() == '/') directory_.pop_back();
    const std::string prefix = directory_ == "/" ? directory_ : directory_ + "/";
    path_ = prefix + kMetricsFileName;
    // The collector reads only names ending in .prom; this one never does.
    temporaryPattern_ = prefix + "." + kMetricsFileName + ".XXXXXX";
}

bool TextfileWriter::fail(const char* step, int error) {
    std::string cause = std::string("velmon: cannot write the metrics file ") + path_ + ": " + step + ": " +
                        std::strerror(error);
    if (cause != lastCause_ && report_) report_(cause);
    lastCause_ = std::move(cause);
    return false;
}

bool TextfileWriter::write(std::string_view text) {
    std::string name = temporaryPattern_;
    // mkstemp: a fresh name, opened exclusively, so nothing planted in a
    // shared directory is written through.
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return fail("cannot create a file in the directory", errno);
    const auto abandon = [&](const char* step) {
        const int error = errno;
        ::close(fd);
        ::unlink(name.data());
        return fail(step, error);
    };
    // node_exporter runs as a user of its own and must be able to read it.
    if (::fchmod(fd, 0644) != 0) return abandon("cannot make the file readable");
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon("cannot write the file");
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.data());
        return fail("cannot write the file", error);
    }
    if (::rename(name.data(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(name.data());
        return fail("cannot replace the file", error);
    }
    if (!lastCause_.empty()) {
        lastCause_.clear();
        if (report_) report_("velmon: the metrics file " + path_ + " is written again");
    }
    return true;
}

}  // namespace velmon
