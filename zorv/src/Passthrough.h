#pragma once

#include <cstdint>
#include <string>

namespace zorv {

// A shared library opened by file name at first use: next to libzorv first,
// then wherever the dynamic loader looks. Each symbol is looked up once.
class LateBoundLibrary {
public:
    LateBoundLibrary(std::string fileName, std::string preferredDir);
    LateBoundLibrary(const LateBoundLibrary&) = delete;
    LateBoundLibrary& operator=(const LateBoundLibrary&) = delete;
    ~LateBoundLibrary();

    // The symbol's address, or null when the library or the symbol is missing.
    void* symbol(const char* name);

private:
    bool tryOpen();
    std::string fileName_;
    std::string preferredDir_;
    void* handle_ = nullptr;
    bool tried_ = false;
};

// Answers for the DMI and CPU-name exports, through libzorvdmi.so and libzorvahd.so.
class Passthrough {
public:
    explicit Passthrough(const std::string& libraryDir);

    // Each writes a NUL-terminated string of at most size - 1 bytes into out (size >= 1).
    void mbProduct(char* out, std::size_t size);
    void mbManufacturer(char* out, std::size_t size);
    void biosVendor(char* out, std::size_t size);
    void biosVersion(char* out, std::size_t size);
    bool cpuName(char* out, std::size_t size);
    std::uint16_t mbClock();

private:
    void dmiString(const char* function, char* out, std::size_t size);
    LateBoundLibrary dmi_;
    LateBoundLibrary ahd_;
    bool lookupDone_ = false;
};

}  // namespace zorv
