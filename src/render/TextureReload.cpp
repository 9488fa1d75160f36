// A picture file changed on disk while its textures live: the new pixels go
// into the device textures already made, so nothing that draws with them
// needs to know.

#include <set>

#include "log/Log.h"
#include "render/RenderModule.h"
#include "render/RenderResources.h"
#include "render/image/AlphaMerge.h"
#include "render/image/PixelConvert.h"
#include "render/image/TextureSize.h"

namespace vesta {

bool Texture::ReloadPicture() {
    const DeviceTextureDesc* device = m_module.DeviceTexture(m_device);
    if (!device || device->kind != DeviceTextureKind::Picture || m_effect || m_name.empty()) {
        return false;
    }
    std::vector<std::uint8_t> picture;
    int width = 0, height = 0;
    m_shownName = m_name;
    if (!LoadImage(m_name, picture, width, height)) {
        return false;
    }
    bool hasAlpha = false;
    if (!m_alphaName.empty()) {
        std::vector<std::uint8_t> alpha;
        int alphaWidth = 0, alphaHeight = 0;
        m_shownName = m_alphaSpelt;
        if (!LoadImage(m_alphaName, alpha, alphaWidth, alphaHeight)) {
            return false;
        }
        AlphaMerge(picture, width, height, alpha, alphaWidth, alphaHeight);
        hasAlpha = true;
    } else if (!m_pictureAlpha.empty()) {
        AlphaMerge(picture, width, height, m_pictureAlpha, width, height, 1);
        hasAlpha = true;
    }
    m_pictureAlpha = {};
    const int channels = hasAlpha ? 4 : 3;
    const std::uint8_t* pixels = picture.data();
    std::vector<std::uint8_t> scaled;
    if (width != device->width || height != device->height) {
        scaled = Resample(pixels, width, height, channels, device->width, device->height);
        pixels = scaled.data();
    }
    std::vector<std::uint8_t> opaque;
    if (!hasAlpha) {
        opaque = BgrToBgra(pixels, static_cast<std::size_t>(device->width) * device->height);
        pixels = opaque.data();
    }
    m_module.updateDeviceTexture(m_device, pixels);
    return true;
}

int RenderModule::ReloadPictures(const std::string& lookupName) {
    std::set<std::uint32_t> reloaded;
    m_textures.ForEach([&](Texture& texture) {
        const bool madeFromIt =
            texture.Name() == lookupName || texture.AlphaMapName() == lookupName;
        if (!madeFromIt || reloaded.count(texture.Handle().id) != 0) {
            return;
        }
        if (texture.ReloadPicture()) {
            reloaded.insert(texture.Handle().id);
        } else {
            LogPrintf("*** Warning : [ %s ] could not be read again.", texture.Name().c_str());
        }
    });
    return static_cast<int>(reloaded.size());
}

}  // namespace vesta
