#pragma once
// Scenes made in code, as a model file would describe them: objects placed
// in the scene's lists in file order, ready for the model writer.
//
//     CScene scene;
//     scene.lastFrame = 100;
//     CMeshe& box = AddBox(scene, "Crate", {0, 0, 0}, {10, 10, 10}, "Wood");
//     AddCamera(scene, "Camera01", {0, 20, -80}, {0, 0, 0}, 0.8f);
//     AddLight(scene, "Sun.Dyna", {30, 60, -40}, {1, 1, 1});
//     AddMaterial(scene, "Wood", {0.8f, 0.6f, 0.4f}).maps = {{"Diffuse", "wood.png"}};

#include <string>

#include "scene/Scene.h"

namespace vesta {

// A mesh without geometry, its pivot at `pivot`, below `parent` when given.
CMeshe& AddMesh(CScene& scene, const std::string& name, const Vector3& pivot,
                const std::string& materialName = "", C3DObject* parent = nullptr);
// An axis-aligned box of `size` centred on its pivot, 24 vertices with face
// normals and texture coordinates, each face turned towards the outside.
CMeshe& AddBox(CScene& scene, const std::string& name, const Vector3& pivot, const Vector3& size,
               const std::string& materialName = "", C3DObject* parent = nullptr);
// A grid of (columns + 1) x (rows + 1) vertices in the x-y plane around the
// pivot, facing -z (towards a camera in front of it).
CMeshe& AddGrid(CScene& scene, const std::string& name, const Vector3& pivot, float width,
                float height, int columns, int rows, const std::string& materialName = "");
// The box is taken from the vertices (relative to the pivot).
void FitBox(CMeshe& mesh);
// Counts the scene's faces and vertices as a load would.
void CountGeometry(CScene& scene);

// `fov` in radians.
CCamera& AddCamera(CScene& scene, const std::string& name, const Vector3& position,
                   const Vector3& target, float fov);
CLight& AddLight(CScene& scene, const std::string& name, const Vector3& position,
                 const Vector3& colour);
CMaterial& AddMaterial(CScene& scene, const std::string& name, const Vector3& colour);
// An animation named after the object it animates.
C3DObjectAnim& AddAnimation(CScene& scene, const std::string& objectName);
void AddKey(AnimTrack& track, std::uint32_t frame, const Vector3& value);
void AddKey(AnimTrack& track, std::uint32_t frame, float value);

}  // namespace vesta
