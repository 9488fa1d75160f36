#pragma once
// "TrouDuVers": a worm hole flown through. The tunnel's spine is the path
// the model's first camera takes over the whole animation of MDLFile; a
// tube of textured rings is built around it once, and each frame the view
// is that camera's at the model player's frame rate, so the camera flies
// inside the tube. The texture wraps twice around and repeats along the
// tube in squares, scrolling towards the viewer; the walls fade to black
// with distance and with the envelope. With an AlphaTexture the walls are
// blended by it, otherwise they are opaque. The radius is the camera's user
// parameter "Radius" when its model gives one, else a twentieth of the
// spine's length. A model without cameras is reported and draws nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "render/RenderTypes.h"
#include "scene/Scene.h"
#include "timeline/EnvelopeLayer.h"

namespace vesta {

class Texture;

class CTrouDuVers : public CEnvelopeLayer {
public:
    static constexpr int kSides = 16;
    static constexpr int kMaxRings = 256;
    // Walls are black this many radii ahead.
    static constexpr float kFadeRadii = 12.0f;

    CTrouDuVers(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CTrouDuVers() override;

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CTrouDuVers"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

    float Radius() const { return m_radius; }
    const std::vector<Vector3>& Spine() const { return m_spine; }

private:
    void buildSpine();
    void buildTube();
    void drawFrame();

    std::string m_modelFile;
    std::string m_alphaTexture;
    std::string m_texture;

    CScene m_scene;
    const CCamera* m_camera = nullptr;
    Texture* m_textureObject = nullptr;
    float m_radius = 1.0f;
    std::vector<Vector3> m_spine;
    std::vector<RenderVertex> m_tube;  // as built
    std::vector<RenderVertex> m_drawn;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
