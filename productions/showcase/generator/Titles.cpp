// Text pictures: each title is a colour picture and an alpha map. The alpha
// holds the letters and a soft halo around them; the colour fills the
// letters with a vertical gradient and tints the halo.

#include "Catalogue.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

struct Title {
    const char* name;  // files name.png and name_alpha.png
    const char* text;
    bool bold;
    int height;  // of the picture: 128 for titles, 64 for lines
    int pixels;  // text size
    float tracking;
    std::vector<Colour> fill;  // top to bottom
    Colour halo;
};

void makeTitle(AssetWriter& out, const Fonts& fonts, const Title& title) {
    constexpr int kWidth = 512;
    Mask letters(kWidth, title.height);
    const TextRenderer& font = title.bold ? fonts.bold : fonts.regular;
    font.Draw(letters, title.text, title.pixels, kWidth / 2.0f, title.height / 2.0f,
              title.tracking);
    Mask halo = letters;
    SoftBlur(halo, title.height / 16);

    Canvas colour(kWidth, title.height);
    Mask alpha(kWidth, title.height);
    for (int y = 0; y < title.height; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float cover = letters.At(x, y);
            const Colour fill = Ramp(title.fill, (y + 0.5f) / title.height);
            colour.At(x, y) = Mix(title.halo, fill, cover);
            alpha.At(x, y) = std::max(cover, Clamp01(halo.At(x, y) * 1.6f) * 0.75f);
        }
    }
    out.Picture(std::string(title.name) + ".png", colour);
    out.Alpha(std::string(title.name) + "_alpha.png", alpha);
}

}  // namespace

void MakeTitles(AssetWriter& out, const Fonts& fonts) {
    using namespace palette;
    const std::vector<Colour> fire{kIvory, kGold, kEmber, kCrimson};
    const std::vector<Colour> ice{kIvory, kCyan, kDeepSea * 3.0f};
    const std::vector<Colour> warm{kIvory, kGold};
    const Title titles[] = {
        {"title_vesta", "VESTA", true, 128, 104, 22, fire, kEmber * 0.8f},
        {"title_hearth", "HEARTH", true, 128, 92, 14, fire, kCrimson},
        {"title_orbit", "ORBIT", true, 128, 96, 20, ice, kCyan * 0.6f},
        {"title_forge", "FORGE", true, 128, 96, 16, fire, kCrimson},
        {"title_embers", "EMBERS", true, 128, 92, 14, fire, kEmber * 0.8f},
        {"line_player", "a real-time presentation player", false, 64, 34, 1, warm, kEmber * 0.5f},
        {"line_code", "every picture is made by code", false, 64, 34, 1, warm, kEmber * 0.5f},
        {"line_seeds", "at build time, from fixed seeds", false, 64, 34, 1, warm, kCrimson},
        {"line_layers", "nine routines, one stack", false, 64, 36, 2, ice, kCyan * 0.4f},
        {"line_trails", "pictures that leave trails", false, 64, 36, 2, ice, kCyan * 0.4f},
        {"line_forge", "a model scene, lit as it plays", false, 64, 34, 1, warm, kEmber * 0.5f},
        {"line_bones", "flames that morph, iron that twists", false, 64, 32, 1, warm, kCrimson},
        {"line_thanks", "thank you for watching", false, 64, 36, 2, warm, kEmber * 0.5f},
        {"line_made", "made with vesta", true, 64, 40, 6, fire, kCrimson},
    };
    for (const Title& title : titles) {
        makeTitle(out, fonts, title);
    }
}

}  // namespace vesta::showcase
