# 64-bit Windows DLLs: for running the tests under a 64-bit-only Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELMON_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
