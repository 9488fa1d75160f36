// vesta-showcase-gen FOLDER: writes every picture and tune of the
// showcase production into FOLDER.

#include <cstdio>
#include <exception>

#include "Catalogue.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesta-showcase-gen FOLDER\n");
        return 2;
    }
    try {
        vesta::showcase::AssetWriter out(argv[1]);
        vesta::showcase::MakeAll(out);
        std::printf("vesta-showcase-gen: %zu files in %s\n", out.Written().size(), argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vesta-showcase-gen: %s\n", error.what());
        return 1;
    }
    return 0;
}
