#pragma once
// Pictures the engine names itself (the white of a flash, the chrome of a
// focal model, the black and white of a camera fade), built into it: found
// when no search folder, archive or resource holds a file of that name, so
// a production need not carry them.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vesta {

struct FixedFile {
    std::string_view name;
    std::span<const unsigned char> data;
};

// Made at build time (tools/vesta-fixed-files).
const std::vector<FixedFile>& FixedFiles();

// The built-in file of that name, whatever its case; null when none.
const FixedFile* FindFixedFile(std::string_view name);

}  // namespace vesta
