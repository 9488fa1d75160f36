#include "fs/FixedFiles.h"

#include <algorithm>
#include <cctype>

namespace vesta {

const FixedFile* FindFixedFile(std::string_view name) {
    const auto sameLetters = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    };
    for (const FixedFile& file : FixedFiles()) {
        if (sameLetters(file.name, name)) {
            return &file;
        }
    }
    return nullptr;
}

}  // namespace vesta
