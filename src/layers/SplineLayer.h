#pragma once
// "SplineLayer": NbSpline glowing heads that fly along closed Catmull-Rom
// splines through random points inside ±AmplitudeX, ±AmplitudeY and
// ±AmplitudeZ, each trailing TrailLenght sprites that shrink and fade
// behind it. Nearer points (z below 0) are drawn larger. Effect 0: a trail
// of sprites; 1: a ribbon that narrows to its tail. The textured sprites or
// ribbon are scaled by XScale and YScale and moved by XOffset and YOffset;
// AlphaType 1 adds them to what lies below; Intensity and the envelope set
// their brightness.

#include <vector>

#include "layers/PictureLayer.h"
#include "render/RenderTypes.h"

namespace vesta {

class CSplineLayer : public CPictureLayer {
public:
    static constexpr int kControlPoints = 6;
    static constexpr float kSpeed = 0.6f;       // control points a second
    static constexpr float kTrailStep = 0.03f;  // of a control segment
    static constexpr float kSpriteSize = 0.05f;
    // Four vertices a sprite must stay within the 16-bit indices of a draw.
    static constexpr int kMostTrail = 16000;

    CSplineLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CSplineLayer"; }

    // A point of spline `s` at parameter `t` (control points 0, 1, … at 0, 1, …).
    Vector3 PointOf(int s, float t) const;
    int SplineCount() const { return static_cast<int>(m_controls.size()); }

private:
    void draw() override;
    // Screen position and size factor of a spline point.
    void project(const Vector3& p, float& x, float& y, float& size) const;
    void drawSprites(int s, float brightness);
    void drawRibbon(int s, float brightness);
    std::uint32_t trailColour(float brightness, float along) const;

    FlatPicture m_picture;
    std::int32_t m_effect = 0;
    std::int32_t m_alphaType = 1;
    float m_intensity = 1.0f;
    std::int32_t m_splines = 3;
    std::int32_t m_trailLength = 30;
    float m_amplitudeX = 0.4f;
    float m_amplitudeY = 0.35f;
    float m_amplitudeZ = 0.5f;

    Texture* m_pictureTexture = nullptr;
    std::vector<std::vector<Vector3>> m_controls;
    std::vector<RenderVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
