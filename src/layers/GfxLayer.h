#pragma once
// "GFXLayer": one picture with an alpha mask on a quad that fades in and out
// with its envelope, moving, scaling, flickering, shaking or turning as its
// draw routine ("Effect" 0 to 8) makes it.

#include <array>
#include <vector>

#include "layers/ImageLayer.h"

namespace vesta {

class CGfxLayer : public CImageLayer {
public:
    static constexpr int kRoutineCount = 9;

    CGfxLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CGfxLayer"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

    int Routine() const { return m_routine; }
    Texture* GetTexture() const { return m_textureObject; }
    // The offset that the layers of routine 3 share while they rise.
    static void ResetSharedFlight();

private:
    using Draw = void (CGfxLayer::*)();
    static const std::array<Draw, kRoutineCount> kRoutines;

    void selectRoutine();
    void drawFrame();

    // The alpha and material of routine 0, with the flicker of Scintille.
    void flickerAlpha();
    void pulsedCopies(int copies, float zStep);

    void fadeRoutine();     // 0
    void sweepRoutine();    // 1
    void shatterRoutine();  // 2
    void flightRoutine();   // 3
    void swarmRoutine();    // 4
    void swayRoutine();     // 5
    void opaqueRoutine();   // 6
    void jerkRoutine();     // 7
    void tunnelRoutine();   // 8

    void buildShatter();
    void drawShatter(const QuadPlace& place);

    std::int32_t m_effect = 0;
    float m_rotate = 0.0f;
    float m_intensity = 1.0f;
    float m_quadCoefRise = 0.5f;
    float m_quadCoefFall = 0.5f;
    bool m_bilinear = true;

    int m_routine = 0;
    Texture* m_textureObject = nullptr;
    float m_stretchEnd = -1.0f;  // age at which the sideways jerk of routine 7 ends

    // Routine 2: the pieces as triangles, the centre of each, and what is drawn.
    std::vector<RenderVertex> m_pieces;
    std::vector<Vector3> m_pieceCentres;
    std::vector<RenderVertex> m_drawnPieces;
};

}  // namespace vesta
