#pragma once
// The steps that run once after a model file is read: lights, materials,
// animation binding, hierarchy, draw lists, particles, morphs, moving
// objects, LOD, mirrors and the device resources of each mesh.

namespace vesta {

class CScene;
class CMeshe;
class RenderModule;

// Raises "Morph Meshes [%s] and [%s] must have the same number of vertices
// (Is %d and %d).", "Can't find destination morph meshe for [%s]." and
// "Cannot find LOD level for meshe [%s]"; logs the warnings of the
// materials, particle sources, LOD roots and morph prefixes.
void RunPostLoadSteps(CScene& scene);

// The scene's default states and each mesh's own, recorded as state blocks
// (SceneStates.cpp).
void RecordDefaultStates(CScene& scene, RenderModule& module);
void RecordMeshStates(CMeshe& mesh, RenderModule& module);

}  // namespace vesta
