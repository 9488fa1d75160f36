#include "scene/SceneLoad.h"

#include <algorithm>

#include "log/Log.h"
#include "platform/Clock.h"
#include "scene/Mdl4Format.h"
#include "scene/Mdl4Loader.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

std::string fileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

int asCount(std::size_t count) {
    return static_cast<int>(count);
}

void logStatistics(const CScene& scene, int batchBlocks, double seconds) {
    LogPrintf("Statistics for [%s]: ", scene.name.c_str());
    LogPrintf("Meshes          : %d", asCount(scene.meshes.size()));
    LogPrintf("Cameras         : %d", asCount(scene.cameras.size()));
    LogPrintf("Lights          : %d", asCount(scene.lights.size()));
    LogPrintf("Total Faces     : %d", static_cast<int>(scene.totalFaces));
    LogPrintf("Total Vertices  : %d", static_cast<int>(scene.totalVertices));
    LogPrintf("Batch Blocks    : %d", batchBlocks);
    LogPrintf("Loading time    : %.3f", seconds);
}

}  // namespace

std::string LoaderExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    std::string extension(dot == std::string_view::npos ? path : path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return extension;
}

void LoadScene(CScene& scene, std::string_view path, const SceneLoadHooks& hooks) {
    LogPrintf("-- Loading MDL ------------------");
    const double start = TimeNow();
    const std::string extension = LoaderExtension(path);
    if (extension != mdl4::kExtension) {
        RaiseError("Unable to find loader for [%s] filetype.", extension.c_str());
    }
    scene.name = fileNameOf(path);
    {
        CMdl4Loader loader(scene);
        loader.Run(path);
    }
    if (hooks.afterLoad) {
        hooks.afterLoad(scene);
    }
    logStatistics(scene, hooks.batchBlocks ? hooks.batchBlocks() : 0, TimeNow() - start);
}

}  // namespace vesta
