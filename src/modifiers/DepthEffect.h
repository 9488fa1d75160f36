#pragma once
// "DepthEffect": glowing discs standing in the scene's depth at the mesh
// "ObjetName", dimmer the farther they are. Its sprites (see
// CSpriteModifier) are drawn before the scene with depth test and depth
// writes on, their picture's faint rim cut off by the alpha test, so that
// the scene's nearer faces cover them and they cover what lies behind
// them. A sprite's brightness falls from MaxIntensity at the eye to nothing
// at the distance "MaxZ".

#include "modifiers/SpriteModifier.h"

namespace vesta {

class CDepthEffect : public CSpriteModifier {
public:
    static constexpr float kDefaultMaxZ = 1000.0f;

    CDepthEffect(CScene* scene, RenderModule* renderModule, void* extra);

    const char* GetKindName() const override { return "DepthEffect"; }
    const char* GetClassName() const override { return "CDepthEffect"; }
    void PreRender() override;
    void Render() override {}

protected:
    // A mesh the scene lacks is only logged; the modifier then draws nothing.
    void Initialise() override;

private:
    float m_maxZ = kDefaultMaxZ;
};

}  // namespace vesta
