# 32-bit Windows DLLs, as the system is.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELMON_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
