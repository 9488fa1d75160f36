#pragma once
// "DotEffect": the picture redrawn as a halftone of round dots, one per
// cell of a 48 × 36 grid, each in the colour of the picture under it and
// the larger the brighter that colour is (and the more opaque AlphaTexture
// is there). While the layer rises the dots gather from a scatter into the
// picture, while it holds a slow swell runs across them, while it falls
// they drop away.

#include <vector>

#include "layers/PictureLayer.h"

namespace vesta {

class CDotEffect : public CPictureLayer {
public:
    static constexpr int kColumns = 48;
    static constexpr int kRows = 36;
    static constexpr int kDotPixels = 32;

    CDotEffect(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CDotEffect"; }

    struct Dot {
        float x, y;    // where it lies in the picture
        float radius;  // screen heights, before the swell
        std::uint8_t red, green, blue;
        float angle, speed;  // of its scatter
    };
    const std::vector<Dot>& Dots() const { return m_dots; }

private:
    void draw() override;
    void sampleDots(const std::vector<std::uint8_t>& bgr, int width, int height,
                    const std::vector<std::uint8_t>& alpha, int alphaWidth, int alphaHeight);

    std::string m_texture;
    std::string m_alphaTexture;

    Texture* m_disc = nullptr;
    std::vector<Dot> m_dots;
    std::vector<RenderVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
