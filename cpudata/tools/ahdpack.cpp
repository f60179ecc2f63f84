// Builds the shipped data file from the readable processor table:
//   ahdpack <table.csv> <Zorv.ahd>
// A malformed row fails with a message naming its line, so the build stops.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <variant>

#include "AhdTable.h"

namespace {
// Reserved records ahead of the processor records; the lookup only skips them.
constexpr std::uint16_t kOtherRecords = 2;
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ahdpack <table.csv> <output>\n");
        return 2;
    }
    const std::string in = argv[1];
    const std::filesystem::path out = argv[2];
    std::ifstream f(in, std::ios::binary);
    if (!f) {
        std::fprintf(stderr, "%s: cannot be read\n", in.c_str());
        return 1;
    }
    std::ostringstream text;
    text << f.rdbuf();
    const auto parsed = cpudata::parseProcessorTable(text.str());
    if (const auto* err = std::get_if<cpudata::TableError>(&parsed)) {
        std::fprintf(stderr, "%s:%zu: %s\n", in.c_str(), err->line, err->message.c_str());
        return 1;
    }
    const auto bytes = cpudata::buildDataFile(std::get<std::vector<cpudata::ProcessorRow>>(parsed), kOtherRecords);
    const std::filesystem::path tmp = out.string() + ".tmp";
    {
        std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
        o.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!o.flush()) {
            std::fprintf(stderr, "%s: cannot be written\n", tmp.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, out, ec);
    if (ec) {
        std::fprintf(stderr, "%s: %s\n", out.c_str(), ec.message().c_str());
        return 1;
    }
    return 0;
}
