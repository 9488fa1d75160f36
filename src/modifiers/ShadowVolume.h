#pragma once
// The sides of the shadow a mesh casts from a point light: every edge where
// a face turned to the light meets one turned away (or none) is drawn out
// away from the light into a quad. Without caps, for counting the sides in
// front of each pixel; the quads keep one turning so that the sides facing
// the viewer and those facing away can be told apart by culling.

#include <vector>

#include "render/RenderTypes.h"
#include "scene/Mesh.h"

namespace vesta {

// Triangles in world space, three vertices each; `length` is how far the
// sides reach beyond the mesh.
std::vector<RenderVertex> BuildShadowVolume(const CMeshe& mesh, const Vector3& light, float length);

}  // namespace vesta
