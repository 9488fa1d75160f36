#pragma once
// What the picture layers share: the quad, its placement and alpha
// parameters, the frame's camera and render states, and the helpers of their
// draw routines.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layers/ImageQuad.h"
#include "layers/SavedLayerState.h"
#include "timeline/EnvelopeLayer.h"

namespace vesta {

// A texture from the texture manager, with its alpha picture when
// `alphaFile` is not empty; given back with RenderModule::ReleaseTexture.
Texture* LoadLayerTexture(RenderModule& module, const std::string& file,
                          const std::string& alphaFile);
// Over what lies below (source alpha), or adding to it (one + one).
void SetLayerBlend(RenderModule& module, bool additive);

class CImageLayer : public CEnvelopeLayer {
public:
    // Camera of the frame step: the perspective routines draw through it.
    static constexpr float kCameraDistance = 7.0f;
    static constexpr float kFieldOfView = 1.4765486f;
    static constexpr float kNearPlane = 0.01f;
    static constexpr float kFarPlane = 30.0f;

    CImageLayer(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CImageLayer() override;

    // The corners as Start transformed them.
    const QuadCorners& BaseCorners() const { return m_base; }
    float PreviousIntensity() const { return m_previousIntensity; }

protected:
    // Envelope start, the corner transform and the saved render state.
    void startQuad();
    void releaseState() { m_savedState.reset(); }
    // A loaded texture, with its alpha picture when `alphaFile` is not empty.
    Texture* loadTexture(const std::string& file, const std::string& alphaFile);

    // The frame step around a draw routine.
    void beginFrame(Texture* texture, float rotation, bool bilinear);
    void endFrame(bool bilinear);

    bool falling() const { return m_previousIntensity > Intensity(); }
    bool additive() const { return m_alphaType == 1; }
    void rememberIntensity() { m_previousIntensity = Intensity(); }

    // The 1 × 1 screen of the flat routines, −0.5 to 0.5 both ways.
    void flatProjection();
    // Replaces the world matrix by a random shake of amplitude Vibration.
    void shake();
    void setMaterial(float value);
    void drawQuad(const QuadCorners& corners);
    // Places m_corners by `place` from the base corners and draws them.
    void drawPlaced(const QuadPlace& place, float dz = 0.0f);

    RenderModule& module() const { return *Context(); }

    ImagePlacement m_placement;
    std::int32_t m_alphaType = 0;
    std::string m_texture;
    std::string m_alphaTexture;
    float m_scintille = 0.0f;
    float m_vibration = 0.0f;

    QuadCorners m_base = UnitQuad();
    // What is drawn; colours written by a routine stay for the next frames.
    QuadCorners m_corners = UnitQuad();

private:
    float m_previousIntensity = 0.0f;
    std::unique_ptr<SavedLayerState> m_savedState;
};

}  // namespace vesta
