#include "render/gl/GlEnums.h"

#include <algorithm>
#include <epoxy/gl.h>

namespace vesta::gl {

std::uint32_t GlBlendFactor(BlendFactor factor) {
    switch (factor) {
    case BlendFactor::Zero:
        return GL_ZERO;
    case BlendFactor::One:
        return GL_ONE;
    case BlendFactor::SrcColor:
        return GL_SRC_COLOR;
    case BlendFactor::InvSrcColor:
        return GL_ONE_MINUS_SRC_COLOR;
    case BlendFactor::SrcAlpha:
        return GL_SRC_ALPHA;
    case BlendFactor::InvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DestAlpha:
        return GL_DST_ALPHA;
    case BlendFactor::InvDestAlpha:
        return GL_ONE_MINUS_DST_ALPHA;
    case BlendFactor::DestColor:
        return GL_DST_COLOR;
    case BlendFactor::InvDestColor:
        return GL_ONE_MINUS_DST_COLOR;
    case BlendFactor::SrcAlphaSat:
        return GL_SRC_ALPHA_SATURATE;
    }
    return GL_ONE;
}

std::uint32_t GlComparison(Comparison comparison) {
    switch (comparison) {
    case Comparison::Never:
        return GL_NEVER;
    case Comparison::Less:
        return GL_LESS;
    case Comparison::Equal:
        return GL_EQUAL;
    case Comparison::LessEqual:
        return GL_LEQUAL;
    case Comparison::Greater:
        return GL_GREATER;
    case Comparison::NotEqual:
        return GL_NOTEQUAL;
    case Comparison::GreaterEqual:
        return GL_GEQUAL;
    case Comparison::Always:
        return GL_ALWAYS;
    }
    return GL_ALWAYS;
}

std::uint32_t GlStencilOp(StencilOp op) {
    switch (op) {
    case StencilOp::Keep:
        return GL_KEEP;
    case StencilOp::Zero:
        return GL_ZERO;
    case StencilOp::Replace:
        return GL_REPLACE;
    case StencilOp::IncrementSat:
        return GL_INCR;
    case StencilOp::DecrementSat:
        return GL_DECR;
    case StencilOp::Invert:
        return GL_INVERT;
    case StencilOp::Increment:
        return GL_INCR_WRAP;
    case StencilOp::Decrement:
        return GL_DECR_WRAP;
    }
    return GL_KEEP;
}

std::uint32_t GlTextureAddress(TextureAddress mode, bool mirrorClampAvailable) {
    switch (mode) {
    case TextureAddress::Wrap:
        return GL_REPEAT;
    case TextureAddress::Mirror:
        return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp:
        return GL_CLAMP_TO_EDGE;
    case TextureAddress::Border:
        return GL_CLAMP_TO_BORDER;
    case TextureAddress::MirrorOnce:
        return mirrorClampAvailable ? GL_MIRROR_CLAMP_TO_EDGE : GL_CLAMP_TO_EDGE;
    }
    return GL_REPEAT;
}

std::uint32_t GlPrimitive(PrimitiveType type) {
    switch (type) {
    case PrimitiveType::PointList:
        return GL_POINTS;
    case PrimitiveType::LineList:
        return GL_LINES;
    case PrimitiveType::LineStrip:
        return GL_LINE_STRIP;
    case PrimitiveType::TriangleList:
        return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip:
        return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan:
        return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

std::uint32_t GlPolygonMode(FillMode mode) {
    switch (mode) {
    case FillMode::Point:
        return GL_POINT;
    case FillMode::Wireframe:
        return GL_LINE;
    case FillMode::Solid:
        return GL_FILL;
    }
    return GL_FILL;
}

int PrimitiveCount(PrimitiveType type, int count) {
    switch (type) {
    case PrimitiveType::PointList:
        return std::max(count, 0);
    case PrimitiveType::LineList:
        return std::max(count / 2, 0);
    case PrimitiveType::LineStrip:
        return std::max(count - 1, 0);
    case PrimitiveType::TriangleList:
        return std::max(count / 3, 0);
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
        return std::max(count - 2, 0);
    }
    return 0;
}

int VerticesDrawn(PrimitiveType type, int count) {
    const int primitives = PrimitiveCount(type, count);
    if (primitives == 0) {
        return 0;
    }
    switch (type) {
    case PrimitiveType::PointList:
        return primitives;
    case PrimitiveType::LineList:
        return primitives * 2;
    case PrimitiveType::LineStrip:
        return primitives + 1;
    case PrimitiveType::TriangleList:
        return primitives * 3;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
        return primitives + 2;
    }
    return 0;
}

}  // namespace vesta::gl
