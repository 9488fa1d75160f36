#pragma once
// The scene loading entry: chooses the loader by the file's extension, fills
// the scene, runs the steps that follow a load, and logs the statistics.

#include <functional>
#include <string>
#include <string_view>

namespace vesta {

class CScene;

struct SceneLoadHooks {
    // The scene's post-load steps (names, materials, hierarchy, ...); run
    // after the file was read and before the statistics.
    std::function<void(CScene&)> afterLoad;
    // The render module's batch block counter, which the statistics show;
    // 0 without one.
    std::function<int()> batchBlocks;
};

// The text after the last "." (the whole path without one), in upper case.
std::string LoaderExtension(std::string_view path);

// Raises "Unable to find loader for [%s] filetype." for any extension but
// "VESTAMDL4", else the loader's messages (see CMdl4Loader).
void LoadScene(CScene& scene, std::string_view path, const SceneLoadHooks& hooks = {});

}  // namespace vesta
