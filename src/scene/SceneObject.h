#pragma once
// The base every object of a scene shares: meshes, cameras and their
// targets, lights, point objects and bones.

#include <string>
#include <string_view>
#include <vector>

#include "scene/SceneMath.h"

namespace vesta {

class C3DObjectAnim;

// One "key = value" pair of an object's user text, in the order given.
struct UserParameter {
    std::string name;
    std::string value;
    bool operator==(const UserParameter&) const = default;
};

class C3DObject {
public:
    explicit C3DObject(const char* className = "C3DObject") : m_className(className) {}
    virtual ~C3DObject() = default;
    C3DObject(const C3DObject&) = delete;
    C3DObject& operator=(const C3DObject&) = delete;

    virtual void SetName(std::string name) { m_name = std::move(name); }
    const std::string& Name() const { return m_name; }
    const char* GetClassName() const { return m_className; }

    // The modelling package's user-defined properties: lines split at CR LF,
    // each split at its first "=", key and value trimmed of blanks; a pair
    // with both parts goes to SetParameter.
    virtual void SetUserText(std::string_view text);
    // Kept in order for the parameter system to apply once scene objects
    // have parameter sets; names that are no parameter are its business.
    virtual void SetParameter(std::string_view name, std::string_view value);

    // Also sets the child's parent; the child must have none yet.
    void AttachChild(C3DObject* child);

    // Translation of the world matrix: where the object is this frame.
    Vector3 WorldPosition() const {
        return {worldMatrix.m[3][0], worldMatrix.m[3][1], worldMatrix.m[3][2]};
    }

    Vector4 position;          // pivot of a mesh, else the object's position
    Vector4 animatedPosition;  // the position track's value this frame
    Matrix4 worldMatrix;
    bool visited = false;  // evaluated this frame
    C3DObject* parent = nullptr;
    std::vector<C3DObject*> children;  // not owned, in attachment order
    std::string pendingParentName;     // a parent named before it existed
    C3DObjectAnim* anim = nullptr;     // bound after the load, not owned
    std::vector<UserParameter> userParameters;

private:
    std::string m_name;
    const char* m_className;
};

}  // namespace vesta
