#pragma once
// A rectangle of the flat screen cut into cells: (columns + 1) × (rows + 1)
// vertices, row 0 at the top, drawn as one indexed triangle list. The
// layers that bend, warp or ripple a picture move its vertices each frame.

#include <cstdint>
#include <vector>

#include "render/RenderTypes.h"

namespace vesta {

class RenderModule;

struct LayerGrid {
    // Centred on (x, y), `width` × `height` screen units; texture
    // coordinates 0..1 across it, v down.
    LayerGrid(int columns, int rows, float x, float y, float width, float height);

    int columns;
    int rows;
    std::vector<RenderVertex> rest;      // where the vertices lie undisturbed
    std::vector<RenderVertex> vertices;  // what is drawn
    std::vector<std::uint16_t> indices;

    std::size_t Index(int column, int row) const {
        return static_cast<std::size_t>(row * (columns + 1) + column);
    }
    void Draw(RenderModule& module) const;
};

}  // namespace vesta
