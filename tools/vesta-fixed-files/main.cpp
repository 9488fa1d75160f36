// Makes the pictures the engine itself names, for productions that carry
// none of their own, and writes them as a C++ source of byte arrays:
//
//   vesta-fixed-files OUTPUT.cpp
//
// Run at build time; the engine's file lookup falls back on them last.

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/image/ImageFiles.h"

namespace {

namespace fs = std::filesystem;

struct Picture {
    std::string name;
    std::vector<unsigned char> bytes;
};

std::vector<unsigned char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> flat(int width, int height, int channels, unsigned char value) {
    return std::vector<unsigned char>(static_cast<std::size_t>(width * height * channels), value);
}

// A chrome reflection: a pale sky darkening towards a bright horizon, a dark
// ground below it, and soft bands that a curved surface bends into
// highlights.
std::vector<unsigned char> chrome(int size) {
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(size * size * 3));
    for (int y = 0; y < size; ++y) {
        const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(size);
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(size);
            const float band = 0.08f * std::sin(u * 6.2831853f * 2.0f + v * 9.0f);
            float r, g, b;
            if (v < 0.5f) {
                const float t = v / 0.5f;  // 0 at the top, 1 at the horizon
                r = 0.55f + 0.45f * t;
                g = 0.65f + 0.35f * t;
                b = 0.85f + 0.15f * t;
            } else {
                const float t = (v - 0.5f) / 0.5f;  // 0 at the horizon, 1 at the bottom
                const float ground = 0.35f * std::exp(-6.0f * t) + 0.08f;
                r = ground + 0.05f;
                g = ground + 0.03f;
                b = ground;
            }
            for (float c : {r, g, b}) {
                const float value = std::fmin(std::fmax(c + band, 0.0f), 1.0f);
                rgb.push_back(static_cast<unsigned char>(std::lround(value * 255.0f)));
            }
        }
    }
    return rgb;
}

std::vector<Picture> makePictures(const fs::path& folder) {
    std::vector<Picture> pictures;
    const auto jpeg = [&](const std::string& name, int size,
                          const std::vector<unsigned char>& rgb) {
        vesta::WriteJpeg(folder / name, size, size, rgb);
        pictures.push_back({name, readAll(folder / name)});
    };
    const auto grey = [&](const std::string& name, unsigned char value) {
        vesta::WritePng(folder / name, 8, 8, 1, flat(8, 8, 1, value));
        pictures.push_back({name, readAll(folder / name)});
    };
    jpeg("white.NoDither.jpg", 16, flat(16, 16, 3, 255));
    jpeg("chromic.jpg", 128, chrome(128));
    grey("white.png", 255);
    grey("black.png", 0);
    return pictures;
}

void writeSource(const fs::path& output, const std::vector<Picture>& pictures) {
    std::ofstream out(output);
    out << "// Made by vesta-fixed-files at build time.\n"
           "#include \"fs/FixedFiles.h\"\n\nnamespace vesta {\nnamespace {\n";
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        out << "const unsigned char kFile" << i << "[] = {";
        for (std::size_t b = 0; b < pictures[i].bytes.size(); ++b) {
            out << (b % 16 == 0 ? "\n    " : " ") << static_cast<int>(pictures[i].bytes[b]) << ",";
        }
        out << "\n};\n";
    }
    out << "}  // namespace\n\nconst std::vector<FixedFile>& FixedFiles() {\n"
           "    static const std::vector<FixedFile> files = {\n";
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        out << "        {\"" << pictures[i].name << "\", {kFile" << i << ", sizeof kFile" << i
            << "}},\n";
    }
    out << "    };\n    return files;\n}\n\n}  // namespace vesta\n";
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + output.string());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesta-fixed-files OUTPUT.cpp\n");
        return 2;
    }
    try {
        const fs::path output = argv[1];
        const fs::path folder = output.parent_path() / "fixed-files";
        fs::create_directories(folder);
        writeSource(output, makePictures(folder));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vesta-fixed-files: %s\n", error.what());
        return 1;
    }
    return 0;
}
