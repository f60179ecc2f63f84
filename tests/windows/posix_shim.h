// The POSIX calls the shared test helpers make, on the C runtime of Windows.
#pragma once
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <stdlib.h>

inline char* mkdtemp(char* tmpl) {
    if (!_mktemp(tmpl) || _mkdir(tmpl) != 0) return nullptr;
    return tmpl;
}
inline int setenv(const char* name, const char* value, int) { return _putenv_s(name, value); }
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
#endif
