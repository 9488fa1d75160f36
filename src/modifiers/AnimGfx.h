#pragma once
// A flip-book on a material: every SpeedAnim seconds the material's texture
// becomes the next picture of the list (or, with Random, another one picked
// at random). The material gets its own texture back when the modifier goes.
// "AlphaType" is taken for the scripts that give it: the meshes wearing the
// material keep their own blending.

#include <string>
#include <vector>

#include "timeline/Modifier.h"

namespace vesta {

class CMaterial;
class Texture;

class CAnimGfx : public CModifier {
public:
    CAnimGfx(CScene* scene, RenderModule* renderModule, void* extra);

    // Raises "Unable to find material [%s]"; "Texture" and "AlphaTexture"
    // are lists split at commas, paired in order.
    void Start() override;
    void Release() override;
    const char* GetKindName() const override { return "MaterialAnim"; }
    const char* GetClassName() const override { return "CAnimGfx"; }
    void Render() override {}
    void PreRender() override;

    int Shown() const { return m_shown; }

private:
    void show(int frame);
    int nextFrame() const;

    int m_alphaType = 0;
    std::string m_alphaTexture;
    std::string m_texture;
    float m_speedAnim = 0.1f;
    std::string m_materialName;
    int m_random = 0;

    CMaterial* m_material = nullptr;
    Texture* m_ownTexture = nullptr;
    std::vector<Texture*> m_frames;
    int m_shown = -1;
    float m_lastChange = 0.0f;
};

}  // namespace vesta
