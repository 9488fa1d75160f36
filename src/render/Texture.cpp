// The part of a texture every render module shares: names and sharing key,
// the picture loaders, the alpha merge and the log lines of a load.

#include "log/Log.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "render/RenderModule.h"
#include "render/RenderResources.h"
#include "render/image/AlphaMerge.h"
#include "render/image/JpegReader.h"
#include "render/image/PngReader.h"

namespace vesta {
namespace {

// Scripts name pictures with Windows folders; the file system finds a picture
// by its bare name through the search folders, so the folder is dropped.
std::string reduceName(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    return AsciiLower(slash == std::string::npos ? file : file.substr(slash + 1));
}

std::string extensionOf(const std::string& file) {
    const std::size_t dot = file.find_last_of('.');
    return dot == std::string::npos ? std::string() : AsciiLower(file.substr(dot + 1));
}

bool loadPng(Texture& texture, const std::string& path, std::vector<std::uint8_t>& image,
             int& width, int& height) {
    PngReader reader(true);
    if (!reader.ReadHeader(path, width, height)) {
        return false;
    }
    image.assign(std::size_t(width) * height * 3, 0);
    reader.ReadImage(path, image);
    texture.PictureAlpha() = reader.Alpha();
    return true;
}

bool loadJpeg(Texture&, const std::string& path, std::vector<std::uint8_t>& image, int& width,
              int& height) {
    JpegReader reader;
    if (!reader.ReadHeader(path, width, height)) {
        return false;
    }
    image.assign(std::size_t(width) * height * 3, 0);
    reader.ReadImage(path, image, false);
    return true;
}

}  // namespace

Texture::Texture(RenderModule& module) : m_module(module) {
    m_loaders["png"] = &loadPng;
    m_loaders["jpg"] = &loadJpeg;
}

void Texture::SetAlphaMap(const std::string& file, std::uint8_t) {
    m_alphaName = reduceName(file);
}

bool Texture::Load(const std::string& file) {
    const double start = TimeNow();
    m_name = reduceName(file);
    if (IsShared(Key())) {
        Upload(nullptr, 0, 0, !m_alphaName.empty(), false);
        LogPrintf("Cached [ %s ] map.", m_name.c_str());
        if (!m_alphaName.empty()) {
            LogPrintf("Cached [ %s ] map.", m_alphaName.c_str());
        }
        return true;
    }
    std::vector<std::uint8_t> picture;
    if (!LoadImage(m_name, picture, m_width, m_height)) {
        return false;
    }
    bool hasAlpha = false;
    if (!m_alphaName.empty()) {
        std::vector<std::uint8_t> alpha;
        if (!LoadImage(m_alphaName, alpha, m_alphaWidth, m_alphaHeight)) {
            return false;
        }
        AlphaMerge(picture, m_width, m_height, alpha, m_alphaWidth, m_alphaHeight);
        LogPrintf("Loaded [ %s ] alphamap. (%dx%dx%d)", m_alphaName.c_str(), m_alphaWidth,
                  m_alphaHeight, m_module.BitsPerPixel());
        hasAlpha = true;
    } else if (!m_pictureAlpha.empty()) {
        // A separate alpha map wins; without one the picture's own alpha is used.
        AlphaMerge(picture, m_width, m_height, m_pictureAlpha, m_width, m_height, 1);
        hasAlpha = true;
    }
    m_pictureAlpha = {};
    Upload(picture.data(), m_width, m_height, hasAlpha, false);
    LogPrintf("Loaded [ %s ]. (%dx%dx%d)(%.2f secs)", m_name.c_str(), m_width, m_height,
              m_module.BitsPerPixel(), TimeNow() - start);
    return true;
}

bool Texture::LoadImage(const std::string& file, std::vector<std::uint8_t>& image, int& width,
                        int& height) {
    const std::string extension = extensionOf(file);
    const auto loader = m_loaders.find(extension);
    if (loader == m_loaders.end()) {
        RaiseError("LoadGFX : Unable to load file [%s], unsupported file type [%s]",
                   reduceName(file).c_str(), extension.c_str());
    }
    m_pictureAlpha.clear();
    return loader->second(*this, file, image, width, height);
}

}  // namespace vesta
