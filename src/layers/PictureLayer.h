#pragma once
// The base of the flat effect layers that draw their own meshes: pictures
// loaded with their alpha maps and given back at Release, accessor
// parameters bound to members, and the frame step on the 1 × 1 screen
// (−0.5 to 0.5 both ways, y up) with the render states handed back after.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layers/ImageQuad.h"
#include "layers/SavedLayerState.h"
#include "render/RenderResources.h"
#include "timeline/EnvelopeLayer.h"

namespace vesta {

// One picture laid on the flat screen: the parameters most flat layers share.
struct FlatPicture {
    std::string alphaTexture;
    std::string texture;
    float xOffset = 0.0f;
    float yOffset = 0.0f;
    float xScale = 1.0f;
    float yScale = 1.0f;
};

class CPictureLayer : public CEnvelopeLayer {
public:
    CPictureLayer(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CPictureLayer() override;

    // Gives back every picture the layer loaded or made.
    void Release() override;

    // One routine for the three phases of the envelope.
    void OnRising() override { draw(); }
    void OnStable() override { draw(); }
    void OnFalling() override { draw(); }

protected:
    virtual void draw() = 0;

    RenderModule& module() const { return *Context(); }

    // Accessor parameters read and written as text: floats as "%.2f".
    void addFloatAccessor(std::string_view name, float* member);
    void addIntAccessor(std::string_view name, std::int32_t* member);
    void addTextAccessor(std::string_view name, std::string* member);

    // AlphaTexture, Texture, XOffset, YOffset, XScale and YScale, in that
    // order, as accessor parameters or as typed ones.
    enum class Registration { Accessors, Typed };
    void addPictureParameters(FlatPicture& picture, Registration registration);

    // Envelope start and the saved render state; derived Starts call it first.
    void startLayer();
    // startLayer, and the picture loaded.
    Texture* startWithPicture(const FlatPicture& picture);
    // A picture with its alpha picture when `alphaFile` is not empty; null
    // when `file` is empty. Released with the layer.
    Texture* holdPicture(const std::string& file, const std::string& alphaFile);
    // A picture made in memory from B, G, R, A rows.
    Texture* holdPixels(const std::vector<std::uint8_t>& bgra, int width, int height);
    // The pixels of a picture file as B, G, R bytes, rows top-down, through
    // the texture manager's loaders; false when it cannot be read.
    bool readPicture(const std::string& file, std::vector<std::uint8_t>& bgr, int& width,
                     int& height);

    // Stage 0 texture × diffuse (the diffuse alone without a texture), blending (additive: one +
    // one), no depth, fog or lighting, the flat screen and the identity world.
    void beginFlat(Texture* texture, bool additive);
    void endFlat();
    void drawQuad(const QuadCorners& corners);
    // The unit quad placed by `place`, all corners of colour `argb`.
    void drawPlacedQuad(const QuadPlace& place, std::uint32_t argb);
    // Height ÷ width of the screen: x times this keeps circles round.
    float aspect() const;

private:
    std::vector<Texture*> m_textures;
    std::unique_ptr<SavedLayerState> m_savedState;
    int m_nextIdentifier = 1;
};

// A8R8G8B8 with every colour channel `rgb` and the alpha `alpha`, both 0..1
// (clamped).
std::uint32_t GreyArgb(float alpha, float rgb);
// The colour of B, G, R bytes with the alpha `alpha` (0..1).
std::uint32_t ColourArgb(float alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// A quad of half-size `w` × `h` centred on (x, y), texture 0..1 across it,
// appended as two triangles of an indexed list.
void AppendSprite(std::vector<RenderVertex>& vertices, std::vector<std::uint16_t>& indices, float x,
                  float y, float w, float h, std::uint32_t argb);

inline RenderVertex FlatVertex(float x, float y, std::uint32_t diffuse, float u, float v) {
    return RenderVertex{x, y, 0.0f, 0.0f, 0.0f, 0.0f, diffuse, u, v, 0.0f, 0.0f};
}

}  // namespace vesta
