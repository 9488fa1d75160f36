#pragma once
// "AnimGFXLayer": a flip-book of pictures on the quad of the image layers,
// the next picture every SpeedAnim seconds, with three draw routines.

#include <array>
#include <string>
#include <vector>

#include "layers/ImageLayer.h"

namespace vesta {

class CAnimGfxLayer : public CImageLayer {
public:
    static constexpr int kRoutineCount = 3;
    static constexpr int kTrailLength = 4;
    static constexpr int kEffectIdentifier = 10300;

    // A picture shown at an age; a negative time marks an empty record.
    struct TrailRecord {
        float time = -1.0f;
        int picture = 0;
        bool operator==(const TrailRecord&) const = default;
    };

    CAnimGfxLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CAnimGfxLayer"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

    int Routine() const { return m_routine; }
    int Picture() const { return m_picture; }
    const std::vector<Texture*>& Textures() const { return m_textures; }
    const std::array<TrailRecord, kTrailLength>& Trail() const { return m_trail; }

private:
    void drawFrame();
    bool changeDue() const { return Age() - m_lastChange > m_speedAnim; }
    void advancePicture();
    void showPicture(int picture);

    void flipRoutine();   // 0
    void trailRoutine();  // 1
    void blendRoutine();  // 2
    void drawTrail();

    float m_speedAnim = 0.0f;
    std::int32_t m_animDuringFade = 0;
    std::int32_t m_fadeOutOff = 0;

    int m_routine = 0;
    int m_picture = 0;
    float m_lastChange = 0.0f;
    std::vector<Texture*> m_textures;
    std::array<TrailRecord, kTrailLength> m_trail{};
};

}  // namespace vesta
