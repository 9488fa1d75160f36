#pragma once
// How modifiers find the scene objects their parameters name, with the
// messages a wrong name ends in.

#include <string_view>

namespace vesta {

class CCamera;
class CLight;
class CMaterial;
class CMeshe;
class CScene;
class C3DObject;

// Raise "Cannot find object [%s]", "Cannot find light [%s]" and "Cannot
// find camera [%s]" for a name the scene lacks (exact comparison).
CMeshe& FindMeshOrRaise(const CScene& scene, std::string_view name);
C3DObject& FindObjectOrRaise(const CScene& scene, std::string_view name);
CLight& FindLightOrRaise(const CScene& scene, std::string_view name);
CCamera& FindCameraOrRaise(const CScene& scene, std::string_view name);

// Null for a name the scene lacks, for kinds that carry on without the object.
CMeshe* FindMesh(const CScene& scene, std::string_view name);
// The same, logging "Unable to find [%s]" for a name the scene lacks.
CMeshe* FindMeshOrLog(const CScene& scene, std::string_view name);
CLight* FindLight(const CScene& scene, std::string_view name);
CMaterial* FindMaterial(const CScene& scene, std::string_view name);

}  // namespace vesta
