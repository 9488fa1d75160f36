#include "layers/ImageQuad.h"

#include <cmath>

namespace vesta {

QuadCorners UnitQuad() {
    const auto corner = [](float x, float y, float u, float v) {
        return RenderVertex{x, y, 0.0f, 0.0f, 0.0f, 0.0f, kOpaqueWhite, u, v, 0.0f, 0.0f};
    };
    return {corner(0.5f, -0.5f, 1.0f, 1.0f), corner(0.5f, 0.5f, 1.0f, 0.0f),
            corner(-0.5f, -0.5f, 0.0f, 1.0f), corner(-0.5f, 0.5f, 0.0f, 0.0f)};
}

QuadCorners CornerQuad(float half, float margin) {
    QuadCorners corners = UnitQuad();
    for (RenderVertex& corner : corners) {
        corner.x = corner.x > 0.0f ? half : -half;
        corner.y = corner.y > 0.0f ? half : -half;
        corner.u0 = corner.u0 == 0.0f ? margin : 1.0f - margin;
        corner.v0 = corner.v0 == 0.0f ? margin : 1.0f - margin;
    }
    return corners;
}

void ApplyPlacement(QuadCorners& corners, const ImagePlacement& placement) {
    for (RenderVertex& corner : corners) {
        corner.x = corner.x * placement.xScale + placement.xOffset;
        corner.y = corner.y * placement.yScale + placement.yOffset;
    }
}

QuadPlace EnvelopePlace(const ImagePlacement& p, float intensity, bool falling, float extraScale,
                        float endOffsetFactor) {
    QuadPlace place;
    if (!falling) {
        const float k = 1.0f - intensity;
        place.sx = p.xScale + extraScale + k * p.xScaleStart;
        place.sy = p.yScale + extraScale + k * p.yScaleStart;
        place.tx = p.xOffset + k * p.xOffsetStart;
        place.ty = p.yOffset + k * p.yOffsetStart;
    } else {
        const float k = intensity - 1.0f;
        place.sx = p.xScale + extraScale + k * p.xScaleEnd;
        place.sy = p.yScale + extraScale + k * p.yScaleEnd;
        place.tx = p.xOffset + endOffsetFactor * k * p.xOffsetEnd;
        place.ty = p.yOffset + endOffsetFactor * k * p.yOffsetEnd;
    }
    return place;
}

void PlaceCorners(const QuadCorners& from, QuadCorners& to, const QuadPlace& place, float dz) {
    for (std::size_t n = 0; n < from.size(); ++n) {
        to[n].x = place.sx * from[n].x + place.tx;
        to[n].y = place.sy * from[n].y + place.ty;
        to[n].z = from[n].z + dz;
    }
}

void SetCornerAlpha(QuadCorners& corners, std::uint32_t alpha) {
    for (RenderVertex& corner : corners) {
        corner.diffuse = (corner.diffuse & 0x00FFFFFFu) | ((alpha & 0xFFu) << 24);
    }
}

void SetCornerColor(QuadCorners& corners, std::uint32_t argb) {
    for (RenderVertex& corner : corners) {
        corner.diffuse = argb;
    }
}

RenderMaterial IntensityMaterial(float value) {
    const ColorArgb color{1.0f, value, value, value};
    RenderMaterial material;
    material.diffuse = color;
    material.ambient = color;
    material.emissive = color;
    material.specular = color;
    material.specularLevel = 1.0f;
    material.power = 0.0f;
    return material;
}

std::uint32_t AlphaByte(float value) {
    // NaN and values outside the byte would be undefined as integers.
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value >= 255.0f) {
        return 255;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace vesta
