#pragma once
// The independent reference: the same scene through Mesa's own fixed-function
// OpenGL (glLight, glMaterial, glFog, glTexEnv GL_COMBINE) on the
// compatibility context, with the Direct3D conventions put into the
// projection (depth 0..1 to -1..1, rows top-down, pixel centres).
//
// Known differences from Direct3D, which the tests avoid or compare against
// hand-computed values instead: GL spot lights have no inner cone (a power of
// the cosine inside one cut-off), GL lights have no range, GL fog is computed
// per fragment from the interpolated distance (Direct3D vertex fog
// interpolates the factor), and a GL unit without a texture passes the
// previous colour on (Direct3D reads white).

#include <vector>

#include "GlTestSupport.h"

namespace vesta::test {

struct TexelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // A8R8G8B8, top row first
};

// Renders `vertices` with `state` into a size x size target and returns the
// picture; the stages' texture names are ignored, `textures` give their texels.
// Leaves the core context current.
Image RenderLegacy(const gl::PipelineState& state, PrimitiveType primitive,
                   const std::vector<RenderVertex>& vertices, int size,
                   const TexelImage* textures[2], std::uint32_t clearArgb = 0xFF000000);

}  // namespace vesta::test
