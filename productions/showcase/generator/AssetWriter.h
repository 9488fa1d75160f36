#pragma once
// Writes the pictures of the production into one folder and remembers their
// names. Every failure throws std::runtime_error naming the file.

#include <filesystem>
#include <string>
#include <vector>

#include "Canvas.h"

namespace vesta::showcase {

class AssetWriter {
public:
    explicit AssetWriter(std::filesystem::path folder);

    // 24-bit RGB PNG: the layout every picture reader takes.
    void Picture(const std::string& name, const Canvas& canvas);
    // 8-bit grey PNG, for alpha maps.
    void Alpha(const std::string& name, const Mask& mask);
    void Jpeg(const std::string& name, const Canvas& canvas);
    // Any other file, such as the music.
    void Bytes(const std::string& name, const std::vector<unsigned char>& bytes);

    const std::vector<std::string>& Written() const { return m_written; }

private:
    std::filesystem::path pathOf(const std::string& name);

    std::filesystem::path m_folder;
    std::vector<std::string> m_written;
};

// 0..1 to a byte, rounded; values outside are clipped.
unsigned char Quantise(float value);

}  // namespace vesta::showcase
