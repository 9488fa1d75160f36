// Textures: names and sharing key, the picture loaders, the alpha merge and
// the log lines of a load, and the device texture behind them.

#include "log/Log.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "render/RenderModule.h"
#include "render/RenderResources.h"
#include "render/dynamic/DynaTexture.h"
#include "render/image/AlphaMerge.h"
#include "render/image/JpegReader.h"
#include "render/image/PixelConvert.h"
#include "render/image/PngReader.h"
#include "render/image/TextureSize.h"

namespace vesta {
namespace {

std::string reduceName(const std::string& file) {
    return PictureLookupName(file);
}

std::string extensionOf(const std::string& file) {
    const std::size_t dot = file.find_last_of('.');
    return dot == std::string::npos ? std::string() : AsciiLower(file.substr(dot + 1));
}

bool loadPng(Texture& texture, const std::string& path, std::vector<std::uint8_t>& image,
             int& width, int& height) {
    PngReader reader(true);
    reader.ShowAs(texture.ShownName());
    if (!reader.ReadHeader(path, width, height)) {
        return false;
    }
    image.assign(std::size_t(width) * height * 3, 0);
    reader.ReadImage(path, image);
    texture.PictureAlpha() = reader.Alpha();
    return true;
}

bool loadJpeg(Texture& texture, const std::string& path, std::vector<std::uint8_t>& image,
              int& width, int& height) {
    JpegReader reader;
    reader.ShowAs(texture.ShownName());
    if (!reader.ReadHeader(path, width, height)) {
        return false;
    }
    image.assign(std::size_t(width) * height * 3, 0);
    reader.ReadImage(path, image, false);
    return true;
}

}  // namespace

// Scripts name pictures with Windows folders; the file system finds a picture
// by its bare name through the search folders, so the folder is dropped.
std::string PictureLookupName(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    return AsciiLower(slash == std::string::npos ? file : file.substr(slash + 1));
}

Texture::Texture(RenderModule& module) : m_module(module) {
    m_loaders["png"] = &loadPng;
    m_loaders["jpg"] = &loadJpeg;
}

void Texture::SetAlphaMap(const std::string& file, std::uint8_t) {
    m_alphaName = reduceName(file);
    m_alphaSpelt = file;
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
    m_shownName = file;
    if (!LoadImage(m_name, picture, m_width, m_height)) {
        return false;
    }
    bool hasAlpha = false;
    if (!m_alphaName.empty()) {
        std::vector<std::uint8_t> alpha;
        m_shownName = m_alphaSpelt;
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

void Texture::LoadOrRaise(const std::string& file) {
    if (!Load(file)) {
        RaiseError("LoadGFX : Unable to load file [%s]", file.c_str());
    }
}

bool Texture::LoadImage(const std::string& file, std::vector<std::uint8_t>& image, int& width,
                        int& height) {
    const std::string extension = extensionOf(file);
    const auto loader = m_loaders.find(extension);
    if (m_shownName.empty()) {
        m_shownName = file;
    }
    if (loader == m_loaders.end()) {
        RaiseError("LoadGFX : Unable to load file [%s], unsupported file type [%s]",
                   m_shownName.c_str(), extension.c_str());
    }
    m_pictureAlpha.clear();
    const bool loaded = loader->second(*this, file, image, width, height);
    m_shownName.clear();
    return loaded;
}

}  // namespace vesta

namespace vesta {

Texture::~Texture() {
    // Only this texture's own entry: a later one may have taken the name.
    if (m_effect && m_module.FindDynamicTexture(m_dynamicName) == this) {
        m_module.UnregisterDynamicTexture(m_dynamicName);
    }
    releaseDevice();
}

void Texture::releaseDevice() {
    if (!m_device) {
        return;
    }
    // A shared device texture goes with its last user.
    if (!m_shared || m_module.SharedTextures().Release(m_sharedKey)) {
        m_module.freeDeviceTexture(m_device);
    }
    m_device = {};
    m_shared = false;
    m_sharedKey.clear();
}

void Texture::hold(const SharedTexture& device, const std::string& key) {
    if (m_device.id == device.handle && m_shared) {
        return;
    }
    releaseDevice();
    m_device = TextureHandle{device.handle};
    m_width = device.width;
    m_height = device.height;
    m_bitsPerPixel = device.bits;
    // A texture without a name is nobody else's: sharing it under the empty
    // key would hand one picture to every unnamed texture.
    if (!key.empty()) {
        m_module.SharedTextures().Register(key, device);
        m_sharedKey = key;
        m_shared = true;
    }
}

bool Texture::IsShared(const std::string& key) const {
    return !key.empty() && m_module.SharedTextures().Find(key) != nullptr;
}

bool Texture::Upload(const std::uint8_t* pixels, int width, int height, bool hasAlpha, bool) {
    const std::string key = Key();
    if (const SharedTexture* shared =
            IsShared(key) ? m_module.SharedTextures().Find(key) : nullptr) {
        hold(*shared, key);
        return true;
    }
    if (!pixels) {
        return false;
    }
    const TextureSize size = ChooseTextureSize(width, height, m_module.GetMaxTextureSize());
    if (size.resized) {
        LogPrintf("%s", PowerOfTwoWarning(m_name, width, height, size.width, size.height).c_str());
    }
    const int channels = hasAlpha ? 4 : 3;
    std::vector<std::uint8_t> scaled;
    if (size.width != width || size.height != height) {
        scaled = Resample(pixels, width, height, channels, size.width, size.height);
        pixels = scaled.data();
    }
    std::vector<std::uint8_t> opaque;
    if (!hasAlpha) {
        opaque = BgrToBgra(pixels, static_cast<std::size_t>(size.width) * size.height);
        pixels = opaque.data();
    }
    const DeviceTextureDesc desc{size.width, size.height, DeviceTextureKind::Picture};
    const TextureHandle device = m_module.allocateDeviceTexture(desc, pixels);
    if (!device) {
        RaiseError("Unable to create Texture (%dx%dx%d)", desc.width, desc.height, 32);
    }
    // Textures take the desktop's 32-bit format whatever the frame's depth.
    hold({device.id, desc.width, desc.height, 32, 0}, key);
    return true;
}

bool Texture::CreateRenderTarget(int size, const char* sharedName, std::uint32_t flags) {
    if (flags & 1) {
        const TextureHandle cube =
            m_module.allocateDeviceTexture({size, size, DeviceTextureKind::CubeTarget}, nullptr);
        if (!cube) {
            RaiseError("Cannot Cubemap texture.");
        }
        hold({cube.id, size, size, 32, 0}, "");
        m_cube = true;
        return true;
    }
    const std::string name = sharedName ? sharedName : "";
    if (const SharedTexture* shared =
            IsShared(name) ? m_module.SharedTextures().Find(name) : nullptr) {
        hold(*shared, name);
        return true;
    }
    const TextureHandle target =
        m_module.allocateDeviceTexture({size, size, DeviceTextureKind::RenderTarget}, nullptr);
    if (!target) {
        RaiseError("Cannot create Renderable texture (1)");
    }
    hold({target.id, size, size, 32, 0}, name);
    return true;
}

void Texture::SetCubeFace(int face) {
    if (!m_cube) {
        RaiseError("Cannot set CubeMap level on standard texture.");
    }
    m_module.drawIntoCubeFace(m_device, face);
}

std::uint8_t* Texture::LockPixels(int) {
    m_locked.assign(static_cast<std::size_t>(m_width) * m_height * 4, 0);
    if (m_device && !m_cube) {
        m_module.fetchDeviceTexture(m_device, m_locked.data());
    }
    return m_locked.data();
}

void Texture::UnlockPixels() {
    if (m_device && !m_cube && !m_locked.empty()) {
        m_module.updateDeviceTexture(m_device, m_locked.data());
    }
}

bool Texture::DitherTo16(std::uint8_t* buffer, bool maskOrder) {
    vesta::DitherTo16(buffer, m_width, m_height,
                      {m_module.RedMask(), m_module.GreenMask(), m_module.BlueMask()}, maskOrder);
    return true;
}

}  // namespace vesta
