#pragma once
// "TextLayer": the line(s) of Text in the system font, a tenth of the screen
// high at scale 1, letters spaced Tracking line heights further apart,
// placed at (XOffset, YOffset) by its top-left corner or, with Center, by its
// middle. While it rises it comes from the Start placement, while it falls
// it leaves by the End one (offsets, scales, and ZOffset as depth: a text
// further away, z above 0, is smaller). Effect 0: the whole text fades with
// the envelope; 1: it is typed in letter by letter as it rises and taken
// back from the end as it falls; 2: its letters bob on a running wave.
// Texture (with AlphaTexture) fills the letters; BlurryMap (with
// AlphaBlurMap) glows behind each of them. AlphaType 1 adds the text to what
// lies below. File, when given, is played as a 3D sample placed where the
// text is, at the envelope's volume, once or, with Loop, over and over.

#include <vector>

#include "layers/ImageQuad.h"
#include "layers/PictureLayer.h"
#include "sound/SoundSystem.h"

namespace vesta {

struct GlyphAtlas;

class CTextLayer : public CPictureLayer {
public:
    static constexpr int kEffectCount = 3;
    static constexpr float kLineHeight = 0.1f;  // screen heights
    // The listener stands this far before the screen; a screen width is two units.
    static constexpr float kListenerDistance = 2.0f;
    // Letters beyond this are not drawn: four vertices each must stay within
    // the 16-bit indices of one draw.
    static constexpr std::size_t kMostLetters = 16000;

    CTextLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CTextLayer"; }

    // A letter's box in line heights from the text's top-left corner, y down.
    struct Letter {
        float x0, y0, x1, y1;
        float u0, v0, u1, v1;
    };
    // The letters of Text as the glyph atlas lays them out, and the size of
    // the whole text in line heights.
    std::vector<Letter> Layout(float& width, float& height) const;
    int Effect() const { return m_effect; }
    SoundHandle Channel() const { return m_channel; }

private:
    void draw() override;
    void loadSample();
    void placeSound(float x, float y, float z);
    void printWithoutAtlas(float x, float y);
    // The screen position of a point of the text given in line heights.
    void toScreen(float lx, float ly, float& x, float& y) const;
    float letterAlpha(std::size_t n, std::size_t count) const;

    std::string m_blurryMap;
    std::int32_t m_effect = 0;
    std::int32_t m_alphaType = 0;
    std::string m_alphaTexture;
    std::string m_texture;
    std::string m_text;
    std::string m_alphaBlurMap;
    ImagePlacement m_placement;
    float m_zOffset = 0.0f;
    float m_zOffsetStart = 0.0f;
    float m_zOffsetEnd = 0.0f;
    float m_tracking = 0.0f;
    bool m_center = false;
    bool m_loop = false;
    std::string m_file;

    const GlyphAtlas* m_atlas = nullptr;
    Texture* m_glyphs = nullptr;
    Texture* m_fill = nullptr;
    Texture* m_glow = nullptr;
    SoundHandle m_sample = 0;
    SoundHandle m_channel = 0;

    // The frame's placement, read by toScreen.
    QuadPlace m_place;
    float m_depthScale = 1.0f;
    float m_originX = 0.0f;
    float m_originY = 0.0f;
    std::vector<RenderVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
