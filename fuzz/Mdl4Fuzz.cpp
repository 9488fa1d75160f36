// Any bytes as a model file: the load and the steps after it must end in a
// scene or in an engine error, never in a crash, a read outside the bytes or
// an unbounded allocation; a loaded scene's indices must name what its
// arrays hold, and it must draw at any frame.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "log/Log.h"
#include "render/RecordingModule.h"
#include "scene/Mdl4Loader.h"
#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"
#include "scene/ScenePostLoad.h"

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

vesta::RecordingModule& recorder() {
    static vesta::RecordingModule* module = [] {
        auto* made = new vesta::RecordingModule;
        made->Initialize(nullptr, false, 64, 48, 32);
        return made;
    }();
    return *module;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vesta::SetLogSink([](void*, const char*) {}, nullptr);
    vesta::RecordingModule& module = recorder();
    vesta::CScene scene(&module);
    try {
        vesta::CMdl4Loader(scene).RunOnBytes("fuzz.vestamdl4", {data, size});
        checkIndices(scene);
        vesta::RunPostLoadSteps(scene);
    } catch (const vesta::CUserException&) {
        scene.ReleaseResources();
        return 0;
    }
    scene.showBoundingBoxes = true;
    for (const float frame : {0.0f, 17.5f, static_cast<float>(scene.lastFrame), -3.0f}) {
        scene.Render(frame);
        module.ClearCalls();
    }
    scene.SetDrawMode(true, 1.0f, 2);
    scene.Render(vesta::CScene::kRenderAgain);
    module.ClearCalls();
    scene.ReleaseResources();
    // What was loaded can be written again (or is refused for 32-bit indices).
    try {
        volatile std::size_t written = vesta::mdl4::WriteScene(scene).size();
        (void)written;
    } catch (const vesta::CAppError&) {
    }
    return 0;
}
