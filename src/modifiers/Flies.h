#pragma once
// "Flies": NBFlies small sprites buzzing around an object of the scene. Each
// fly circles the object's centre on its own tilted orbit, between ZoneMin
// and ZoneMax from it, its distance breathing in and out, with a quick
// jitter laid over the flight. The sprites are XScale by YScale half-sizes,
// blended by the alpha of Texture / AlphaTexture. An ObjetName the scene
// lacks is logged ("Unable to find [%s]") and the flies stay away.

#include <string>

#include "modifiers/ModifierSprites.h"
#include "modifiers/SelfNamingModifier.h"

namespace vesta {

class CFlies : public CSelfNamingModifier {
public:
    CFlies(CScene* scene, RenderModule* renderModule, void* extra);

    const char* GetKindName() const override { return "Flies"; }
    const char* GetClassName() const override { return "CFlies"; }
    void Release() override;
    void Render() override;

    // Where fly `index` is, `time` seconds in, around `centre`.
    Vector3 FlyPosition(int index, float time, const Vector3& centre) const;

protected:
    void Initialise() override;

private:
    std::string m_objectName;
    std::string m_alphaTexture;
    std::string m_texture;
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    std::int32_t m_count = 20;
    float m_zoneMin = 10.0f;
    float m_zoneMax = 20.0f;

    C3DObject* m_object = nullptr;
    ModifierPicture m_picture;
    SpriteBatch m_batch;
};

}  // namespace vesta
