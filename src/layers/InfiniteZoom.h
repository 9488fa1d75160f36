#pragma once
// "InfiniteZoom": an endless zoom into a list of pictures. Each picture
// holds the next one at half its size in its middle; every SpeedAnim
// seconds the view doubles and the next picture takes the screen. "Effect"
// 0 nests the next picture over the current one; 1 dissolves the current
// picture into the next while both grow. The zoom starts when the layer is
// fully in; it shows the first picture while rising and the last one while
// falling. Rotate turns the whole view, Scintille flickers, Vibration shakes.

#include <cstdint>
#include <vector>

#include "layers/ImageLayer.h"

namespace vesta {

class CInfiniteZoom : public CImageLayer {
public:
    static constexpr int kRoutineCount = 2;
    static constexpr int kEffectIdentifier = 11400;
    // How much larger each picture is than the one it holds.
    static constexpr float kZoomStep = 2.0f;

    CInfiniteZoom(RenderModule* context, const std::vector<CLayerOperation>* children);

    // Pictures and alpha pictures are comma-separated lists; the n-th alpha
    // picture goes with the n-th picture, and pictures past the alpha list
    // have none.
    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CInfiniteZoom"; }
    void OnRising() override;
    void OnStable() override;
    void OnFalling() override;

    int Routine() const { return m_routine; }
    int Outer() const { return m_outer; }
    int Inner() const { return m_inner; }
    const std::vector<Texture*>& Textures() const { return m_textures; }

private:
    void drawFrame();
    // Zoom steps since the zoom began, and how far into the current one.
    float zoomPhase() const;
    void advanceTo(int steps);
    void drawPicture(int picture, float scale, float share);

    void nestRoutine(float progress);      // 0
    void dissolveRoutine(float progress);  // 1

    float m_speedAnim = 1.0f;
    float m_rotate = 0.0f;

    int m_routine = 0;
    int m_outer = 0;
    int m_inner = 0;
    int m_steps = 0;
    float m_zoomStart = 0.0f;
    float m_flicker = 0.0f;
    std::vector<Texture*> m_textures;
};

}  // namespace vesta
