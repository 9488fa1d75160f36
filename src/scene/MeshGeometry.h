#pragma once
// The per-frame changes of a mesh's vertices.

#include "scene/Mesh.h"

namespace vesta {

// Every normal the mean of the faces around its vertex, each face's pointing
// out of its drawn (clockwise) side.
void RecomputeNormals(CMeshe& mesh);
// Texture coordinates set 1 from each normal through `m` (its products scaled
// by `scale`), for reflections.
void MapEnvironment(CMeshe& mesh, const Matrix4& m, float scale);
// Positions between two morph slots at `frame`; none in range leaves them.
void Morph(CMeshe& mesh, float frame);
// Positions from the rest copy through each bone's rest matrix and its
// rotation at `frame`, weighted.
void SkinMesh(CMeshe& mesh, float frame);

}  // namespace vesta
