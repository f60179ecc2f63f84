# Warnings and sanitizers live on interface targets; every target of the
# project links velmon::options instead of setting flags of its own.
add_library(velmon_options INTERFACE)
add_library(velmon::options ALIAS velmon_options)

target_compile_options(velmon_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2
  $<$<CONFIG:>:-O2>)

if(VELMON_SANITIZE)
  target_compile_options(velmon_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(velmon_options INTERFACE -fsanitize=address,undefined)
endif()

# Fuzz builds instrument all of the project's code, so the fuzzers see the
# branches of the libraries they drive, not only their own.
if(VELMON_FUZZ)
  target_compile_options(velmon_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -g)
  target_link_options(velmon_options INTERFACE -fsanitize=address,undefined)
endif()

# Shared libraries of the project export only their public C names.
function(velmon_c_library target mapfile)
  set_target_properties(${target} PROPERTIES
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    LINK_DEPENDS ${mapfile})
  target_link_options(${target} PRIVATE "LINKER:--version-script=${mapfile}")
  # clang leaves the sanitizer runtime to the executable, so instrumented
  # libraries have undefined symbols by design.
  if(NOT VELMON_FUZZ)
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endif()
endfunction()

# Fuzz targets: clang with libFuzzer. velmon_fuzz_target(name seconds corpus-dir sources…)
# registers each with its time budget and seed corpus for scripts/fuzz.
function(velmon_fuzz_target name seconds corpus)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -g)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE velmon::options)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz/bin)
  set_property(GLOBAL APPEND PROPERTY VELMON_FUZZ_TARGETS "${name}:${seconds}:${corpus}")
endfunction()
