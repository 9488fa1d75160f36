#pragma once
// "OndesRadio": radio waves leaving an object of the scene. NBOndes rings
// grow out of the object's centre one after another, each taking two seconds
// to reach XScale by YScale (the radii across and up its plane) while it
// fades out, Width thick. The rings lie in the x-y plane turned by RotateX,
// then RotateY, then RotateZ (degrees), and are added to the frame in the
// colours of Texture / AlphaTexture (u around the ring, v across it). An
// ObjetName the scene lacks is logged ("Unable to find [%s]").

#include <string>
#include <vector>

#include "modifiers/ModifierSprites.h"
#include "modifiers/SelfNamingModifier.h"

namespace vesta {

class COndesRadio : public CSelfNamingModifier {
public:
    static constexpr float kWaveSeconds = 2.0f;

    COndesRadio(CScene* scene, RenderModule* renderModule, void* extra);

    const char* GetKindName() const override { return "OndesRadio"; }
    const char* GetClassName() const override { return "COndesRadio"; }
    void Release() override;
    void Render() override;

    // How far wave `index` has grown at `time`: 0 at its start, 1 when gone.
    float WaveProgress(int index, float time) const;

protected:
    void Initialise() override;

private:
    Matrix4 ringTurn() const;

    std::string m_objectName;
    std::string m_alphaTexture;
    std::string m_texture;
    float m_xScale = 30.0f;
    float m_yScale = 30.0f;
    std::int32_t m_count = 3;
    float m_width = 2.0f;
    float m_rotate[3] = {0.0f, 0.0f, 0.0f};

    C3DObject* m_object = nullptr;
    ModifierPicture m_picture;
    std::vector<RenderVertex> m_strip;
};

}  // namespace vesta
