#pragma once
// "ToonShade.vso": cel shading by a lookup. The vertex's lighting term
// N.L against a point light, in world space, becomes the first texture
// coordinate, so that a ramp texture on stage 0 turns the smooth term into
// bands; the colour is one constant for the whole mesh.

#include <cstdint>
#include <vector>

namespace vesta::vsasm {

// Constant registers the shader reads.
inline constexpr int kToonTransform = 0;  // c0..c3: (world x view x projection) transposed
inline constexpr int kToonLight = 4;      // the light's world position
// (0, 0.5, scale, bias): the ramp coordinate is N.L * scale + bias, so that
// a ramp can keep its ends off the texture's border.
inline constexpr int kToonNumbers = 5;
inline constexpr int kToonColour = 6;  // the diffuse colour, 0..1
inline constexpr int kToonWorld = 7;   // c7..c9: the world matrix's first three columns
inline constexpr int kToonConstantCount = 10;

// The file's bytes (vs.1.1).
std::vector<std::uint8_t> ToonShadeShader();

}  // namespace vesta::vsasm
