# Warnings and sanitizers live on interface targets; every target of the
# project links velmon::options instead of setting flags of its own.
add_library(velmon_options INTERFACE)
add_library(velmon::options ALIAS velmon_options)

target_compile_options(velmon_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2
  $<$<CONFIG:>:-O2>)

# Windows DLLs carry the C and C++ runtime inside, so they need nothing
# beyond the system's own DLLs.
if(WIN32)
  target_link_options(velmon_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# float-cast-overflow is named on its own: gcc leaves it out of "undefined",
# and a float threshold or reading too large for an int is a fault here.
if(VELMON_SANITIZE)
  target_compile_options(velmon_options INTERFACE
    -fsanitize=address,undefined,float-cast-overflow
    -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer)
  target_link_options(velmon_options INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()

# Fuzz builds instrument all of the project's code, so the fuzzers see the
# branches of the libraries they drive, not only their own.
if(VELMON_FUZZ)
  target_compile_options(velmon_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -g
    -fno-sanitize-recover=float-cast-overflow)
  target_link_options(velmon_options INTERFACE -fsanitize=address,undefined)
endif()

# Shared libraries of the project export only their public C names: a
# version script on Linux, a module-definition file (the .def beside the
# .map, checked to name the same functions) on Windows.
function(velmon_c_library target mapfile)
  set_target_properties(${target} PROPERTIES
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(WIN32)
    string(REGEX REPLACE "\\.map$" ".def" deffile "${mapfile}")
    velmon_check_def_matches_map(${deffile} ${mapfile})
    # The names the .def lists are the undecorated ones; the stdcall
    # functions are defined as _Name@N and bound to them by the linker.
    target_sources(${target} PRIVATE ${deffile})
    target_link_options(${target} PRIVATE "LINKER:--enable-stdcall-fixup" "LINKER:--kill-at"
                        "LINKER:--no-undefined")
    set_target_properties(${target} PROPERTIES PREFIX "" LINK_DEPENDS ${deffile})
    return()
  endif()
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    LINK_DEPENDS ${mapfile})
  target_link_options(${target} PRIVATE "LINKER:--version-script=${mapfile}")
  # clang leaves the sanitizer runtime to the executable, so instrumented
  # libraries have undefined symbols by design.
  if(NOT VELMON_FUZZ AND NOT (VELMON_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endif()
endfunction()

# The exported names a version script (global: part) or a module-definition
# file (EXPORTS part) lists, sorted.
function(velmon_export_names file out)
  file(READ ${file} text)
  string(REGEX REPLACE ";[^\n]*\n" "\n" text_nocomments "${text}")
  if(file MATCHES "\\.def$")
    string(REGEX REPLACE ".*EXPORTS" "" body "${text_nocomments}")
  else()
    string(REGEX REPLACE ".*global:" "" body "${text}")
    string(REGEX REPLACE "local:.*" "" body "${body}")
  endif()
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" names "${body}")
  list(SORT names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

function(velmon_check_def_matches_map deffile mapfile)
  velmon_export_names(${deffile} def_names)
  velmon_export_names(${mapfile} map_names)
  if(NOT def_names STREQUAL map_names)
    message(FATAL_ERROR "${deffile} exports ${def_names}\nbut ${mapfile} exports ${map_names}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${deffile} ${mapfile})
endfunction()

# Fuzz targets: clang with libFuzzer. velmon_fuzz_target(name seconds corpus-dir sources…)
# registers each with its time budget and seed corpus for scripts/fuzz.
function(velmon_fuzz_target name seconds corpus)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -g -fno-sanitize-recover=float-cast-overflow)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE velmon::options)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz/bin)
  set_property(GLOBAL APPEND PROPERTY VELMON_FUZZ_TARGETS "${name}:${seconds}:${corpus}")
endfunction()
