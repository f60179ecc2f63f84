// Where the instance lock and the socket of a second start live: the
// session's $XDG_RUNTIME_DIR, or else a folder of this user's own. A name
// shared by every user (/tmp/Velmon.lock) would let one user's Velmon keep
// another's from starting.
#pragma once

#include <string>

namespace velmon {

struct RuntimeFolder {
    std::string path;
    std::string note;  // why a folder further down the list was taken; empty when none
};

// $XDG_RUNTIME_DIR when set; else ${TMPDIR:-/tmp}/velmon-UID, made with mode
// 0700 and taken only when it is a real folder owned by this user and open
// to no one else; else ${XDG_CACHE_HOME:-~/.cache}/Velmon under the same
// checks; else a fresh private folder of this run (no second start is seen).
RuntimeFolder runtimeFolder();

// The checks on their own: the folder exists or is made (mode 0700), is no
// symbolic link, belongs to uid and nobody else may enter it. Empty when it
// passes, else why not.
std::string claimPrivateFolder(const std::string& path, unsigned uid);

}  // namespace velmon
