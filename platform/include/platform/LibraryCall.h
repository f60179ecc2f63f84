// The calling convention of the functions the libraries export and bind by
// name: stdcall on 32-bit Windows, as the system's callers expect there; the
// platform's default elsewhere.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define VELMON_LIBCALL __stdcall
#else
#define VELMON_LIBCALL
#endif
