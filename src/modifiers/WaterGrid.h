#pragma once
// The grid a four-cornered mesh becomes to carry a water surface.

#include <array>
#include <cstdint>
#include <vector>

#include "scene/Mesh.h"

namespace vesta {

struct WaterGrid {
    std::vector<MeshVertex> vertices;  // row by row, `size` a row
    std::vector<MeshFace> faces;
    Vector3 normal;
};

// `size` x `size` vertices between the corners, all with the plane's
// normal, texture coordinates stepping by 1 / size from 0. The normal turns
// to the side the corners' own faces (if any) face; two triangles a cell run
// clockwise seen from there, or the other way round when `invertWinding`.
WaterGrid BuildWaterGrid(const std::array<Vector3, 4>& corners,
                         const std::vector<MeshFace>& cornerFaces, int size, bool invertWinding);

}  // namespace vesta
