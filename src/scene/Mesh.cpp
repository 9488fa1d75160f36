#include "scene/Mesh.h"

namespace vesta {

void CMeshe::SetBoxFromFile(const Vector3& cornerA, const Vector3& cornerB) {
    box.cornerA = {cornerA.x - position.x, cornerA.y - position.y, cornerA.z - position.z};
    box.cornerB = {cornerB.x - position.x, cornerB.y - position.y, cornerB.z - position.z};
    const Vector3& a = box.cornerA;
    const Vector3& b = box.cornerB;
    box.centre = {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f};
    for (std::size_t i = 0; i < box.points.size(); ++i) {
        box.points[i] = {(i & 1) ? b.x : a.x, (i & 2) ? b.y : a.y, (i & 4) ? b.z : a.z};
    }
}

CBone* CMeshe::FindBone(std::string_view boneName) const {
    for (const auto& bone : bones) {
        if (bone->Name() == boneName) {
            return bone.get();
        }
    }
    return nullptr;
}

}  // namespace vesta
