// Replaces a file whole: the new text goes to a fresh file beside it, is
// flushed to the disk and renamed over the old one. A kill, a full disk or a
// read-only folder leaves the old file as it was, never a part of the new.
#pragma once

#include <string>
#include <string_view>

namespace velmon {

// Empty when the file now holds text, else why not. A symbolic link is
// followed, so the file it names is replaced and the link stays. The mode of
// the old file is kept; a new one gets 0644 (what the umask leaves of it).
std::string replaceFileWhole(const std::string& path, std::string_view text);

// The temporary files of replaceFileWhole beside path that a killed run left.
void removeStaleTemporaries(const std::string& path);

}  // namespace velmon
