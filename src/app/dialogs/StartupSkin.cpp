#include "app/dialogs/StartupSkin.h"

#include <cstdio>
#include <cstring>

#include "log/Log.h"
#include "render/image/PngReader.h"
#include "xml/XmlReader.h"

namespace vesta {
namespace {

constexpr const char* kPictureAttributes[] = {"Enabled", "Disabled", "Hover"};

// An absent attribute would otherwise surface as "Cannot open File []".
SkinPicture readPicture(const AdvXMLParser::XmlElement& element, const char* elementName,
                        const char* attribute) {
    const std::string& name = element.FindAttribute(attribute).Value();
    if (name.empty()) {
        RaiseAppError("SimpleStartup : [%s] names no %s picture", elementName, attribute);
    }
    SkinPicture picture;
    PngReader reader(false);
    reader.ShowAs(name);
    if (!reader.ReadHeader(name, picture.width, picture.height)) {
        RaiseAppError("SimpleStartup : cannot read the picture [%s] of [%s]", name.c_str(),
                      elementName);
    }
    reader.ReadImage(name, picture.rgb);
    return picture;
}

}  // namespace

std::uint32_t ParseKeyColour(const std::string& text) {
    unsigned int value = 0;
    return std::sscanf(text.c_str(), "%X", &value) == 1 ? value : 0;
}

StartupSkin LoadStartupSkin(const AdvXMLParser::XmlElement& element) {
    StartupSkin skin;
    skin.background = readPicture(element.FindChild("BackImage"), "BackImage", "Name");
    const SkinPicture map =
        readPicture(element.FindChild("ButtonMapping"), "ButtonMapping", "Name");
    const int width = skin.background.width, height = skin.background.height;
    if (map.width != width || map.height != height) {
        RaiseAppError("Error : ButtonMapping has not a correct size (is %dx%d, should be %dx%d)",
                      map.width, map.height, width, height);
    }
    for (std::size_t i = 0; i < kSkinButtonCount; ++i) {
        const char* name = kSkinButtonNames[i];
        const AdvXMLParser::XmlElement& button = element.FindChild(name);
        const std::uint32_t key = ParseKeyColour(button.FindAttribute("Color").Value());
        const std::optional<SkinRect> place = FindKeyRectangle(map.rgb, width, height, key);
        if (!place) {
            RaiseAppError("Could not find rectangle coordinates for button [%s], color: 0x%08X",
                          name, key);
        }
        skin.places[i] = *place;
        for (std::size_t kind = 0; kind < 3; ++kind) {
            SkinPicture picture = readPicture(button, name, kPictureAttributes[kind]);
            if (picture.width != place->Width() || picture.height != place->Height()) {
                RaiseAppError(
                    "Error : ButtonGFX [%s] has not a correct size (is %dx%d, should be %dx%d)",
                    button.FindAttribute(kPictureAttributes[kind]).Value().c_str(), picture.width,
                    picture.height, place->Width(), place->Height());
            }
            skin.pictures[i][kind] = std::move(picture);
        }
    }
    return skin;
}

std::vector<std::uint8_t> ComposeSkin(const StartupSkin& skin, const SkinButtonSet& buttons) {
    std::vector<std::uint8_t> frame = skin.background.rgb;
    const std::size_t stride = static_cast<std::size_t>(skin.background.width) * 3;
    for (int i = 0; i < kSkinButtonCount; ++i) {
        const SkinButton button = static_cast<SkinButton>(i);
        const SkinRect& place = skin.places[i];
        const SkinPicture& picture = skin.Picture(button, buttons.Shown(button));
        const std::size_t row = static_cast<std::size_t>(picture.width) * 3;
        for (int y = 0; y < picture.height; ++y) {
            std::memcpy(frame.data() + (place.top + y) * stride + place.left * 3,
                        picture.rgb.data() + y * row, row);
        }
    }
    return frame;
}

}  // namespace vesta
