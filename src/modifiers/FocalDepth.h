#pragma once
// "FocalDepth": a depth of field split at the distance "Middle". What lies
// beyond Middle is drawn into a small texture ("TextureSize" texels square)
// and laid over the whole screen, soft from its magnification; the player's
// own render then draws what lies nearer than Middle sharp over it.

#include <cstdint>

#include "modifiers/SelfNamingModifier.h"

namespace vesta {

class Texture;

class CFocalDepth : public CSelfNamingModifier {
public:
    static constexpr int kDefaultTextureSize = 128;
    static constexpr float kDefaultMiddle = 100.0f;

    CFocalDepth(CScene* scene, RenderModule* renderModule, void* extra);
    ~CFocalDepth() override;

    void Release() override;
    const char* GetKindName() const override { return "FocalDepth"; }
    const char* GetClassName() const override { return "CFocalDepth"; }
    // Draws the far part and leaves the planes set for the near one.
    void PreRender() override;
    // Puts the planes and the scene's culling back.
    void Render() override;

    Texture* Target() const { return m_target; }

protected:
    void Initialise() override;

private:
    std::int32_t m_textureSize = kDefaultTextureSize;
    float m_middle = kDefaultMiddle;
    Texture* m_target = nullptr;
    float m_nearPlane = 1.0f;
    float m_farPlane = 4000.0f;
    // The pre-render changed the planes this frame.
    bool m_split = false;
};

}  // namespace vesta
