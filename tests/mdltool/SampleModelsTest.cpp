// Every sample model of Debian's assimp-testmodels in the formats that
// matter most goes through the converter, the writer and the engine's
// reader. A file assimp refuses is reported with assimp's reason (many of
// the samples are broken on purpose); a file assimp reads must convert,
// write and load.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "ModelConverter.h"
#include "TestSupport.h"
#include "log/Log.h"
#include "scene/Mdl4Loader.h"
#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"

namespace vesta::test {
namespace {

namespace fs = std::filesystem;

// Every sample in these folders is below 2 MB and the whole sweep takes a
// few seconds; the cap keeps a future package from making it slow.
constexpr std::uintmax_t kMaxFileSize = 4u << 20;
const char* const kFolders[] = {"glTF2", "OBJ", "3DS", "FBX", "Collada"};
const std::set<std::string> kExtensions = {".gltf", ".glb", ".obj", ".3ds", ".fbx", ".dae"};

fs::path modelsFolder() {
    for (const char* candidate : {"/usr/share/assimp/models", "/usr/share/assimp-testmodels"}) {
        if (fs::is_directory(candidate)) {
            return candidate;
        }
    }
    return {};
}

std::string lowerExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// assimp's reasons name files, objects and offsets; without them (quoted
// text and numbers blanked) the same fault reads the same in every file.
std::string reasonGroup(const std::string& reason) {
    std::string group;
    bool quoted = false;
    for (char c : reason.substr(0, reason.find('\n'))) {
        if (c == '"') {
            quoted = !quoted;
            group += quoted ? "\"..." : "\"";
        } else if (!quoted && std::isdigit(static_cast<unsigned char>(c))) {
            if (group.empty() || group.back() != '#') {
                group += '#';
            }
        } else if (!quoted) {
            group += c;
        }
    }
    return group.substr(0, 100);
}

TEST(SampleModelsTest, EveryModelAssimpReadsConvertsAndLoads) {
    const fs::path root = modelsFolder();
    if (root.empty()) {
        GTEST_SKIP() << "assimp-testmodels is not installed (scripts/test-data installs it)";
    }
    std::vector<fs::path> files;
    for (const char* folder : kFolders) {
        if (!fs::is_directory(root / folder)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.is_regular_file() && kExtensions.count(lowerExtension(entry.path())) &&
                entry.file_size() <= kMaxFileSize) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());

    const auto start = std::chrono::steady_clock::now();
    std::map<std::string, std::vector<std::string>> refusedByAssimp;
    std::vector<std::string> ourFailures;
    std::size_t converted = 0, meshes = 0, animated = 0, skinned = 0, texturesWritten = 0;
    TempDir textures;  // for the textures that models carry inside
    for (const fs::path& file : files) {
        const std::string shown = fs::relative(file, root).string();
        CScene scene;
        try {
            mdltool::ConvertOptions options;
            options.textureFolder = textures.Path().string();
            options.textureStem = std::to_string(converted);
            texturesWritten +=
                mdltool::ConvertModel(file.string(), scene, options).texturesWritten.size();
        } catch (const mdltool::ImportError& error) {
            const std::string text = error.what();
            const std::size_t colon = text.find("': ");
            refusedByAssimp[reasonGroup(text.substr(colon + 3))].push_back(shown);
            continue;
        }
        try {
            const std::vector<std::uint8_t> bytes = mdl4::WriteScene(scene);
            CScene loaded;
            CMdl4Loader(loaded).RunOnBytes(shown, bytes);
            EXPECT_EQ(loaded.meshes.size(), scene.meshes.size()) << shown;
            EXPECT_EQ(loaded.totalVertices, scene.totalVertices) << shown;
            ++converted;
            meshes += loaded.meshes.size();
            animated += loaded.animations.empty() ? 0 : 1;
            skinned += std::any_of(loaded.meshes.begin(), loaded.meshes.end(),
                                   [](const CMeshe* mesh) { return !mesh->bones.empty(); });
        } catch (const CAppError& error) {
            ourFailures.push_back(shown + ": " + error.Text());
        } catch (const CUserException& error) {
            ourFailures.push_back(shown + ": " + error.Text());
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("%zu of %zu sample models converted and loaded (%zu meshes; %zu animated, "
                "%zu skinned; %zu embedded textures written) in %.1f s\n",
                converted, files.size(), meshes, animated, skinned, texturesWritten, seconds);
    for (const auto& [reason, names] : refusedByAssimp) {
        std::printf("  assimp refused %zu: %s\n", names.size(), reason.c_str());
        for (const std::string& name : names) {
            std::printf("      %s\n", name.c_str());
        }
    }
    for (const std::string& failure : ourFailures) {
        ADD_FAILURE() << "read by assimp but not converted: " << failure;
    }
    // Most samples are sound; a converter that lost them would show here.
    EXPECT_GE(converted * 4, files.size() * 3);
    EXPECT_GT(animated, 0u);
    EXPECT_GT(skinned, 0u);
}

}  // namespace
}  // namespace vesta::test
