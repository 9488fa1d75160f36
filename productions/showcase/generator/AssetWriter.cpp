#include "AssetWriter.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "render/image/ImageFiles.h"

namespace vesta::showcase {

unsigned char Quantise(float value) {
    return static_cast<unsigned char>(Clamp01(value) * 255.0f + 0.5f);
}

AssetWriter::AssetWriter(std::filesystem::path folder) : m_folder(std::move(folder)) {
    std::filesystem::create_directories(m_folder);
}

std::filesystem::path AssetWriter::pathOf(const std::string& name) {
    m_written.push_back(name);
    return m_folder / name;
}

void AssetWriter::Picture(const std::string& name, const Canvas& canvas) {
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(canvas.Width()) * canvas.Height() * 3);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Colour& c = canvas.At(x, y);
            rgb.insert(rgb.end(), {Quantise(c.r), Quantise(c.g), Quantise(c.b)});
        }
    }
    WritePng(pathOf(name), canvas.Width(), canvas.Height(), 3, rgb);
}

void AssetWriter::Alpha(const std::string& name, const Mask& mask) {
    std::vector<unsigned char> grey;
    grey.reserve(static_cast<std::size_t>(mask.Width()) * mask.Height());
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            grey.push_back(Quantise(mask.At(x, y)));
        }
    }
    WritePng(pathOf(name), mask.Width(), mask.Height(), 1, grey);
}

void AssetWriter::Jpeg(const std::string& name, const Canvas& canvas) {
    std::vector<unsigned char> rgb;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Colour& c = canvas.At(x, y);
            rgb.insert(rgb.end(), {Quantise(c.r), Quantise(c.g), Quantise(c.b)});
        }
    }
    WriteJpeg(pathOf(name), canvas.Width(), canvas.Height(), rgb);
}

void AssetWriter::Bytes(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::filesystem::path path = pathOf(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace vesta::showcase
