// vesta-guide: writes the generated reference of the author's guide
// (docs/reference.md) from the engine's registries.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "ReferenceMarkdown.h"

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || argv[1][0] == '-'))) {
        std::fprintf(stderr, "usage: vesta-guide [FILE]\n"
                             "Writes the effect reference (every layer and modifier kind with\n"
                             "its parameters) to FILE, or to standard output.\n");
        return argc == 2 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    const vesta::guide::ReferenceInput input = vesta::guide::EngineReferenceInput();
    const std::vector<std::string> problems = vesta::guide::NoteProblems(input);
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "vesta-guide: %s\n", problem.c_str());
    }
    if (!problems.empty()) {
        return 1;
    }
    const std::string text = vesta::guide::ReferenceMarkdown(input);
    if (argc == 1) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    std::ofstream file(argv[1], std::ios::binary);
    file << text;
    if (!file.flush()) {
        std::fprintf(stderr, "vesta-guide: cannot write [%s]\n", argv[1]);
        return 1;
    }
    return 0;
}
