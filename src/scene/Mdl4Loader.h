#pragma once
// Fills a scene from one MDL4 file: walks its chunks parent first, children
// in file order, and hands each chunk with a handler to it.
//
// The handlers keep a current mesh, animation, bone and object, each
// replaced when a chunk of its kind is read; a chunk that needs one before
// any exists makes the file invalid. After the walk every face index is
// checked against its mesh's vertex count (an index outside rejects the
// file) and skin weights of vertices the mesh lacks are dropped.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "scene/Mdl4ChunkReader.h"
#include "scene/ObjectAnim.h"

namespace vesta {

class C3DObject;
class CBone;
class CMeshe;
class CScene;

class CMdl4Loader {
public:
    explicit CMdl4Loader(CScene& scene);

    // Raises through RaiseError with the reader's messages, and "Unable to
    // open MDLV4 file [%s]" when nothing was opened (an empty path).
    void Run(std::string_view path);
    // The same on bytes held by the caller; `name` is what messages call them.
    void RunOnBytes(std::string_view name, std::span<const std::uint8_t> bytes);

private:
    using Handler = void (CMdl4Loader::*)();
    using KeyConversion = float (*)(float);

    void walk();
    void finish();
    void handle(std::int64_t kind);
    CMeshe& currentMesh() const;
    C3DObjectAnim& currentAnim() const;
    CBone& currentBone() const;
    // Attaches to an object created before, else keeps the name for later.
    void attachToParent(C3DObject& object, const std::string& parentName) const;
    // Appends to the scene's list of all objects.
    void addObject(C3DObject* object);
    CBone* findBone(const std::string& name) const;
    void readKeys(AnimTrack& track, int values, KeyConversion convert = nullptr);

    // Object chunks (Mdl4Loader.cpp).
    void onScene();
    void onMesh();
    void onCamera();
    void onLight();
    void onMaterial();
    void onPoint();
    void onUserText();
    void onAnim();
    void onBone();
    // Mesh data and tracks (Mdl4MeshChunks.cpp).
    void onVertices();
    void onNormals();
    void onTexCoords();
    void onFaces();
    void onColours();
    void onSkin();
    void onPosKeys();
    void onRotKeys();
    void onScaleKeys();
    void onFovKeys();
    void onRollKeys();
    void onColourKeys();
    void onOuterConeKeys();
    void onInnerConeKeys();
    void onBonePosKeys();
    void onBoneRotKeys();

    CScene& m_scene;
    Mdl4ChunkReader m_reader;
    std::unordered_map<std::uint32_t, Handler> m_handlers;
    CMeshe* m_mesh = nullptr;
    C3DObjectAnim* m_anim = nullptr;
    CBone* m_bone = nullptr;
    C3DObject* m_object = nullptr;
    // The first object and the first bone of the current mesh of each name:
    // the scene's own look-ups walk their lists, which a file of many objects
    // would turn quadratic.
    std::unordered_map<std::string, C3DObject*> m_objectsByName;
    std::unordered_map<std::string, CBone*> m_bonesByName;
};

}  // namespace vesta
