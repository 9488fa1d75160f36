#pragma once
// Effects that rewrite a texture's pixels over time ("Fire", "Plasma"). An
// effect is made and owned by the texture it draws into:
//
//     Texture* lava = module.CreateTexture();
//     lava->Upload(black.data(), 128, 128, false, false);
//     lava->MakeDynamic("lava", "Fire").Set("UpdateInterval", "0.04");
//     ...
//     lava->UpdateDynamic();   // every frame; the effect keeps its own pace

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/dynamic/DynaPalette.h"

namespace vesta {

class RenderModule;
class Texture;

class DynaTexture {
public:
    explicit DynaTexture(Texture& texture);
    virtual ~DynaTexture();
    DynaTexture(const DynaTexture&) = delete;
    DynaTexture& operator=(const DynaTexture&) = delete;

    // A parameter from script text ("UpdateInterval" in seconds here). A name
    // the effect does not know is left to the caller: the result is false.
    virtual bool Set(std::string_view name, std::string_view value);
    // A new picture once UpdateInterval seconds of presentation time have
    // passed since the last one; until then nothing happens.
    virtual void Update();

    float UpdateInterval() const { return m_updateInterval; }

protected:
    // One new picture at `now` seconds.
    virtual void drawFrame(double now) = 0;

    Texture& target() const { return m_texture; }

private:
    Texture& m_texture;
    double m_lastUpdate = 0.0;
    float m_updateInterval = 0.001f;
};

// Both kinds compute 8-bit indices and show them through a palette.
class PaletteDynaTexture : public DynaTexture {
public:
    explicit PaletteDynaTexture(Texture& texture);

    // "Palette" rebuilds the palette at once (see DynaPalette::SetFromText).
    bool Set(std::string_view name, std::string_view value) override;

    const DynaPalette& Palette() const { return m_palette; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

protected:
    // Width() x Height() indices, rows top first.
    std::vector<std::uint8_t>& indices() { return m_indices; }
    // Every pixel of the texture becomes the palette entry of its index.
    void present(const std::vector<std::uint8_t>& indices);

private:
    int m_width;
    int m_height;
    DynaPalette m_palette;
    std::vector<std::uint8_t> m_indices;
};

// The effect kinds by name, in name order.
using DynaTextureCreate = std::function<std::unique_ptr<DynaTexture>(Texture& texture)>;
const std::map<std::string, DynaTextureCreate, std::less<>>& DynaTextureEffects();

// Where a material's map is named "name=Effect": the name (folders dropped,
// case kept, for scripts to find it by) and the effect.
struct DynamicMapName {
    std::string texture;
    std::string effect;
};
std::optional<DynamicMapName> ParseDynamicMapName(std::string_view path);

// The side of the square picture a material's dynamic texture draws.
constexpr int kDynamicMapSize = 128;

// A black kDynamicMapSize² texture driven by the named effect; an effect that
// is not registered ends the run (Texture::MakeDynamic).
Texture* CreateDynamicTexture(RenderModule& module, const DynamicMapName& name);

}  // namespace vesta
