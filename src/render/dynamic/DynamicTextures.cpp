// Textures becoming dynamic: the registry of effect kinds, the module's
// registry of dynamic textures by name, and the textures materials ask for.

#include "log/Log.h"
#include "platform/NameHash.h"
#include "render/RenderModule.h"
#include "render/dynamic/DynaFire.h"
#include "render/dynamic/DynaPlasma.h"

namespace vesta {
namespace {

template <class Effect>
std::unique_ptr<DynaTexture> create(Texture& texture) {
    return std::make_unique<Effect>(texture);
}

}  // namespace

const std::map<std::string, DynaTextureCreate, std::less<>>& DynaTextureEffects() {
    static const std::map<std::string, DynaTextureCreate, std::less<>> effects = {
        {"Fire", &create<DynaFire>},
        {"Plasma", &create<DynaPlasma>},
    };
    return effects;
}

DynaTexture& Texture::MakeDynamic(const std::string& name, const std::string& effect) {
    if (m_effect) {
        return *m_effect;
    }
    const auto& effects = DynaTextureEffects();
    const auto found = effects.find(effect);
    if (found == effects.end()) {
        std::string available;
        for (const auto& [effectName, create] : effects) {
            available += " - " + effectName + "\r\n";
        }
        RaiseError("Could not find DynaTexture [%s].\r\n Available are : \r\n%s", effect.c_str(),
                   available.c_str());
    }
    m_effect = found->second(*this);
    m_dynamicName = name;
    m_module.RegisterDynamicTexture(name, this);
    LogPrintf("Created dynamic texture [%s] with effect [%s]", name.c_str(), effect.c_str());
    return *m_effect;
}

void Texture::UpdateDynamic() {
    if (m_effect) {
        m_effect->Update();
    }
}

Texture* RenderModule::FindDynamicTexture(std::string_view name) const {
    const auto found = m_dynamicTextures.find(NameHash(name));
    return found == m_dynamicTextures.end() ? nullptr : found->second;
}

void RenderModule::RegisterDynamicTexture(std::string_view name, Texture* texture) {
    m_dynamicTextures[NameHash(name)] = texture;
}

void RenderModule::UnregisterDynamicTexture(std::string_view name) {
    m_dynamicTextures.erase(NameHash(name));
}

std::optional<DynamicMapName> ParseDynamicMapName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t equals = file.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return DynamicMapName{std::string(file.substr(0, equals)),
                          std::string(file.substr(equals + 1))};
}

Texture* CreateDynamicTexture(RenderModule& module, const DynamicMapName& name) {
    Texture* texture = module.CreateTexture();
    // Unnamed, so that it is nobody else's picture: the name is the effect's.
    const std::vector<std::uint8_t> black(std::size_t(3) * kDynamicMapSize * kDynamicMapSize, 0);
    texture->Upload(black.data(), kDynamicMapSize, kDynamicMapSize, false, true);
    texture->MakeDynamic(name.texture, name.effect);
    return texture;
}

}  // namespace vesta
