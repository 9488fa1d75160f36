#pragma once
// "DepthEffect": a halo behind the mesh "ObjetName" that fades with depth.
// Its sprites (see CSpriteModifier) are drawn before the scene, without
// writing depth, so the scene covers them and they shine around it; each
// sprite's strength falls from MaxIntensity at the eye to nothing at the
// distance "MaxZ".

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
