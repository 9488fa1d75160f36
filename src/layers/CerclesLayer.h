#pragma once
// "CerclesLayer": rings that spread from a centre like ripples on a pond.
// A new ring leaves the centre every Ecart seconds, grows Speed screen
// heights a second, is Length thick, and fades out over During seconds;
// NBCercles rings take turns, so at most that many show at once. The
// texture runs round each ring (four times) and across its thickness.

#include <vector>

#include "layers/PictureLayer.h"

namespace vesta {

class CCerclesLayer : public CPictureLayer {
public:
    static constexpr int kSegments = 64;

    CCerclesLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CCerclesLayer"; }

    struct Ring {
        float radius;
        float alpha;  // before the envelope
    };
    // The rings alive at `age`, oldest first.
    std::vector<Ring> RingsAt(float age) const;

private:
    void draw() override;
    void drawRing(const Ring& ring, float intensity);

    std::int32_t m_count = 5;
    FlatPicture m_picture;
    float m_speed = 0.3f;
    float m_ecart = 0.4f;
    float m_length = 0.03f;
    float m_during = 2.0f;

    Texture* m_pictureTexture = nullptr;
    std::vector<RenderVertex> m_strip;
};

}  // namespace vesta
