// Writes the exposition text of every known state into DIR/<name>.prom, for
// promtool to judge: exposition_samples DIR
#include <cstdio>
#include <fstream>

#include "ExpositionCases.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: exposition_samples DIR\n", stderr);
        return 2;
    }
    for (const auto& c : velmon::test::expositionCases()) {
        const std::string path = std::string(argv[1]) + "/" + c.name + ".prom";
        std::ofstream out(path, std::ios::binary);
        out << velmon::expositionText(c.snapshot);
        if (!out) {
            std::fprintf(stderr, "exposition_samples: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
