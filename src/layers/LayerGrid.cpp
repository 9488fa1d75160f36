#include "layers/LayerGrid.h"

#include "layers/ImageQuad.h"
#include "render/RenderModule.h"

namespace vesta {

LayerGrid::LayerGrid(int columns_, int rows_, float x, float y, float width, float height)
    : columns(columns_), rows(rows_) {
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const float u = static_cast<float>(c) / static_cast<float>(columns);
            const float v = static_cast<float>(r) / static_cast<float>(rows);
            rest.push_back(RenderVertex{x + (u - 0.5f) * width, y + (0.5f - v) * height, 0.0f, 0.0f,
                                        0.0f, 0.0f, kOpaqueWhite, u, v, u, v});
        }
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const auto a = static_cast<std::uint16_t>(Index(c, r));
            const auto b = static_cast<std::uint16_t>(Index(c + 1, r));
            const auto d = static_cast<std::uint16_t>(Index(c, r + 1));
            const auto e = static_cast<std::uint16_t>(Index(c + 1, r + 1));
            indices.insert(indices.end(), {a, b, d, b, e, d});
        }
    }
    vertices = rest;
}

void LayerGrid::Draw(RenderModule& module) const {
    module.DrawIndexed(PrimitiveType::TriangleList, vertices, indices);
}

}  // namespace vesta
