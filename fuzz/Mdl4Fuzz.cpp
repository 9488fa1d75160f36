// Any bytes as a model file: the load must end in a scene or in the reader's
// engine error, never in a crash, a read outside the bytes or an unbounded
// allocation; and a loaded scene's indices must name what its arrays hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "log/Log.h"
#include "scene/Mdl4Loader.h"
#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"

namespace {

void checkIndices(const vesta::CScene& scene) {
    for (const vesta::CMeshe* mesh : scene.meshes) {
        const std::size_t count = mesh->vertices.size();
        for (const vesta::MeshFace& face : mesh->faces) {
            if (face.a >= count || face.b >= count || face.c >= count) {
                std::abort();
            }
        }
        for (const auto& bone : mesh->bones) {
            for (const vesta::BoneWeight& weight : bone->weights) {
                if (weight.vertex >= count) {
                    std::abort();
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vesta::CScene scene;
    try {
        vesta::CMdl4Loader(scene).RunOnBytes("fuzz.vestamdl4", {data, size});
    } catch (const vesta::CUserException&) {
        return 0;
    }
    checkIndices(scene);
    // What was loaded can be written again (or is refused for 32-bit indices).
    try {
        volatile std::size_t written = vesta::mdl4::WriteScene(scene).size();
        (void)written;
    } catch (const vesta::CAppError&) {
    }
    return 0;
}
