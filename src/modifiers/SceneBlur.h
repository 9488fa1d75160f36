#pragma once
// "SceneBlur": the frame soft towards its borders. The scene is drawn once
// more into a small texture, whose magnified (hence blurred) picture is laid
// over the screen as a fan: clear at the centre, "BorderColor" at
// "BorderAlpha" in the corners.

#include <cstdint>

#include "modifiers/SelfNamingModifier.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class RenderModule;
class Texture;

class CSceneBlur : public CSelfNamingModifier {
public:
    static constexpr int kDefaultTextureSize = 128;

    CSceneBlur(CScene* scene, RenderModule* renderModule, void* extra);
    ~CSceneBlur() override;

    void Release() override;
    const char* GetKindName() const override { return "SceneBlur"; }
    const char* GetClassName() const override { return "CSceneBlur"; }
    void Render() override;

    Texture* Target() const { return m_target; }

protected:
    void Initialise() override;

private:
    // The texture over the screen, clear in the middle.
    void layOver(RenderModule& m);

    ParameterVector m_borderColour{255.0f, 255.0f, 255.0f, 0.0f};  // 0..255
    float m_borderAlpha = 1.0f;                                    // 0..1
    std::int32_t m_textureSize = kDefaultTextureSize;
    Texture* m_target = nullptr;
};

}  // namespace vesta
