#pragma once
// The render module's vocabularies as OpenGL enumerants (values of GLenum;
// this header needs no GL header).

#include <cstdint>

#include "render/RenderTypes.h"

namespace vesta::gl {

std::uint32_t GlBlendFactor(BlendFactor factor);
std::uint32_t GlComparison(Comparison comparison);
std::uint32_t GlStencilOp(StencilOp op);
// Mirror once needs GL_MIRROR_CLAMP_TO_EDGE; `mirrorClampAvailable` says
// whether the context has it (else clamp to edge is used).
std::uint32_t GlTextureAddress(TextureAddress mode, bool mirrorClampAvailable);
std::uint32_t GlPrimitive(PrimitiveType type);
std::uint32_t GlPolygonMode(FillMode mode);

// Direct3D's primitive count for `count` vertices (or indices): point list
// n, line list n/2, line strip n-1, triangle list n/3, strip and fan n-2;
// never below 0.
int PrimitiveCount(PrimitiveType type, int count);
// How many of the vertices (or indices) GL is asked to draw so that exactly
// PrimitiveCount primitives come out.
int VerticesDrawn(PrimitiveType type, int count);

}  // namespace vesta::gl
