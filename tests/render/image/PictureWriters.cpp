#include "PictureWriters.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>

namespace vesta::test {
namespace {

// The writers are given only valid pictures; libpng's default error path
// (abort without a jump buffer) is enough for them.
void appendBytes(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

int channelsOf(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

// One byte per sample below 8 bits (libpng packs them), big-endian pairs at 16.
std::vector<png_byte> rowBytes(const PngPicture& picture, int y) {
    const int channels = channelsOf(picture.colorType);
    const std::size_t perRow = std::size_t(picture.width) * channels;
    std::vector<png_byte> row;
    for (std::size_t i = 0; i < perRow; ++i) {
        const std::uint16_t sample = picture.samples[y * perRow + i];
        if (picture.bitDepth == 16) {
            row.push_back(static_cast<png_byte>(sample >> 8));
        }
        row.push_back(static_cast<png_byte>(sample & 0xFF));
    }
    return row;
}

void writeTransparency(png_structp png, png_infop info, const PngPicture& picture) {
    if (!picture.paletteAlpha.empty()) {
        png_set_tRNS(png, info, picture.paletteAlpha.data(),
                     static_cast<int>(picture.paletteAlpha.size()), nullptr);
    }
    if (picture.greyKey) {
        png_color_16 key{};
        key.gray = *picture.greyKey;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PngPicture& picture) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty()) {
        std::vector<png_color> colors;
        for (const auto& entry : picture.palette) {
            colors.push_back({entry[0], entry[1], entry[2]});
        }
        png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
    }
    writeTransparency(png, info, picture);
    png_write_info(png, info);
    if (picture.bitDepth < 8) {
        png_set_packing(png);
    }
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < picture.height; ++y) {
        rows.push_back(rowBytes(picture, y));
    }
    for (auto& row : rows) {
        pointers.push_back(row.data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& pixels, int width, int height,
                                     int components, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(pixels.data() +
                                         std::size_t(info.next_scanline) * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

std::vector<std::uint8_t> SimplePng(int width, int height) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colorType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < width * height; ++i) {
        picture.samples.push_back(static_cast<std::uint16_t>((i * 40) & 0xFF));
        picture.samples.push_back(static_cast<std::uint16_t>((255 - i * 40) & 0xFF));
        picture.samples.push_back(128);
    }
    return EncodePng(picture);
}

std::vector<std::uint8_t> GlowPng() {
    PngPicture picture;
    picture.width = picture.height = 16;
    picture.colorType = 6;  // RGBA
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(x - 7.5f, y - 7.5f) / 8.0f;
            const auto alpha = static_cast<std::uint16_t>(std::max(0.0f, 1.0f - d) * 255.0f);
            picture.samples.insert(picture.samples.end(), {255, 255, 255, alpha});
        }
    }
    return EncodePng(picture);
}

}  // namespace vesta::test
