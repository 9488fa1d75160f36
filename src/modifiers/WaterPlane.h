#pragma once
// A four-cornered mesh tagged ".UserModif" turned into a rippling water
// surface: rebuilt as a grid whose vertices ride the heights of a ripple
// simulation, stepped every UpdateFrequency seconds and blended in between,
// with a peak dropped every PeakFrequency seconds.

#include <memory>
#include <string>
#include <vector>

#include "modifiers/WaterRipples.h"
#include "scene/Mesh.h"
#include "timeline/Modifier.h"

namespace vesta {

class CWaterPlane : public CModifier {
public:
    static constexpr int kSmallestSquare = 6;   // rows and columns for a peak away from the border
    static constexpr int kLargestSquare = 256;  // vertices within the 16-bit indices

    CWaterPlane(CScene* scene, RenderModule* renderModule, void* extra);
    ~CWaterPlane() override;

    // Raises for a missing mesh, one without the tag or without exactly four
    // vertices, and for a SquareSize outside 6..256.
    void Start() override;
    void Release() override {}
    const char* GetKindName() const override { return "WaterPlane"; }
    const char* GetClassName() const override { return "CWaterPlane"; }
    void Render() override {}
    void PreRender() override;

    const WaterRipples* Ripples() const { return m_ripples.get(); }

private:
    void rebuildMesh();
    void advance(float time);
    void placeVertices(float time);

    std::string m_objectName;
    int m_squareSize = 32;
    float m_updateFrequency = 0.15f;
    float m_peakFrequency = 8.0f;
    float m_peakSize = 50.0f;
    float m_density = 100.0f;
    bool m_alreadyMoving = false;
    bool m_invertNormals = false;

    CMeshe* m_mesh = nullptr;
    Vector3 m_normal;
    std::vector<Vector3> m_rest;
    std::unique_ptr<WaterRipples> m_ripples;
    float m_lastUpdate = 0.0f;
    float m_lastPeak = 0.0f;
};

}  // namespace vesta
