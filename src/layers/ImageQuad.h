#pragma once
// The textured quad of the image layers and the rules that move it with the
// envelope.

#include <array>
#include <cstdint>

#include "render/RenderResources.h"

namespace vesta {

using QuadCorners = std::array<RenderVertex, 4>;

inline constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

// Corners at ±0.5 in triangle-strip order, white, texture coordinates 0..1.
QuadCorners UnitQuad();
// Corners at ±`half` in the same order, texture coordinates from `margin` to
// 1 - `margin` (kept off the border so that filtering stays inside).
QuadCorners CornerQuad(float half, float margin);

// Where the quad sits and how it enters and leaves.
struct ImagePlacement {
    float xOffset = 0.0f;
    float yOffset = 0.0f;
    float xScale = 1.0f;
    float yScale = 1.0f;
    float xOffsetStart = 0.0f;
    float yOffsetStart = 0.0f;
    float xScaleStart = 0.0f;
    float yScaleStart = 0.0f;
    float xOffsetEnd = 0.0f;
    float yOffsetEnd = 0.0f;
    float xScaleEnd = 0.0f;
    float yScaleEnd = 0.0f;
};

// A corner goes to x' = sx × x + tx, y' = sy × y + ty.
struct QuadPlace {
    float sx = 1.0f;
    float sy = 1.0f;
    float tx = 0.0f;
    float ty = 0.0f;
};

// Scale and offset applied once to the stored corners.
void ApplyPlacement(QuadCorners& corners, const ImagePlacement& placement);

// The envelope rule: while not falling the quad comes from the Start values
// (k = 1 − i), while falling it leaves by the End values (k = i − 1).
// XScale, YScale, XOffset and YOffset act here a second time on purpose:
// productions are laid out with that double action. `extraScale` is added to
// both scales, `endOffsetFactor` multiplies the End offsets.
QuadPlace EnvelopePlace(const ImagePlacement& placement, float intensity, bool falling,
                        float extraScale = 0.0f, float endOffsetFactor = 1.0f);

// Positions of `from` placed into `to`; colours and texture coordinates of
// `to` stay. `dz` is added to every z.
void PlaceCorners(const QuadCorners& from, QuadCorners& to, const QuadPlace& place,
                  float dz = 0.0f);

// The top byte of every corner colour.
void SetCornerAlpha(QuadCorners& corners, std::uint32_t alpha);
void SetCornerColor(QuadCorners& corners, std::uint32_t argb);

// One brightness as a material: every colour is (a 1, r g b = value), power 0.
RenderMaterial IntensityMaterial(float value);

// Integer part of a value for an 8-bit alpha, kept inside 0..255.
std::uint32_t AlphaByte(float value);

}  // namespace vesta
