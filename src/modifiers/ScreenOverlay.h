#pragma once
// Pictures of the scene drawn into a texture and laid back over the screen:
// the render targets, the screen-space quads and the flat drawing states
// the modifiers that work on the whole frame share.

#include <array>
#include <cstdint>

#include "render/RenderTypes.h"

namespace vesta {

class RenderModule;
class Texture;

// A square render target of `edge` texels, kept between 16 and the module's
// largest texture; its colour starts black.
Texture* CreateSceneTarget(RenderModule& module, int edge);
// Gives the texture back and forgets it; nothing for null.
void GiveBackTexture(RenderModule& module, Texture*& texture);
// Clears colour and depth of the current target to transparent black,
// leaving the module's clear colour as it was.
void ClearToBlack(RenderModule& module);
// Where a world point lands in the screen coordinates of ScreenVertex.
Vector3 ProjectToScreen(const Vector3& point, const Matrix4& viewProjection);

// A point of the screen under SetOrthographic(1, 1, 1, -1): x and y from
// -0.5 (left, bottom) to 0.5, with the target's texel that lies there.
RenderVertex ScreenVertex(float x, float y, std::uint32_t diffuse);
// The whole screen as a triangle strip.
std::array<RenderVertex, 4> ScreenQuad(std::uint32_t diffuse);

// Stage 0 gives the texture times the vertex colour, in colour and alpha;
// without a texture the vertex colour alone. Stage 1 is off.
void UseTextureTimesColour(RenderModule& module, Texture* texture);

// For its lifetime: screen-space projection, lighting, fog, depth test and
// culling off, stage 0 giving the texture times the vertex colour (alpha
// likewise); the caller chooses blending. At its end the fog is as it was,
// the stage empty, blending off and the depth test on, as the scene expects.
class ScreenDrawing {
public:
    ScreenDrawing(RenderModule& module, Texture* texture);
    ~ScreenDrawing();
    ScreenDrawing(const ScreenDrawing&) = delete;
    ScreenDrawing& operator=(const ScreenDrawing&) = delete;

private:
    RenderModule& m_module;
    bool m_fog;
};

// A8R8G8B8 from an alpha of 0..1 and a colour of 0..255 per channel.
std::uint32_t PackColour(float alpha, float red, float green, float blue);

}  // namespace vesta
