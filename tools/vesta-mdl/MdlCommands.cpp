#include "MdlCommands.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "ChunkTreeDump.h"
#include "ModelConverter.h"
#include "log/Log.h"
#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"

namespace vesta::mdltool {
namespace {

__attribute__((format(printf, 1, 2))) void message(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("vesta-mdl: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

// Writes through a temporary file so that a failed write leaves no half file behind.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            message("cannot write '%s': %s", path.c_str(), std::strerror(errno));
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        message("cannot write '%s': %s", path.c_str(), std::strerror(errno));
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int Convert(const std::string& input, const std::string& output) {
    CScene scene;
    std::vector<std::uint8_t> bytes;
    try {
        // Textures that the model carries go beside the output, named after it.
        ConvertOptions options;
        const std::filesystem::path out(output);
        options.textureFolder = out.has_parent_path() ? out.parent_path().string() : ".";
        options.textureStem = out.stem().string();
        options.progress = [](const std::string& line) { message("%s", line.c_str()); };
        const ConversionSummary summary = ConvertModel(input, scene, options);
        for (const std::string& warning : summary.warnings) {
            message("warning: %s", warning.c_str());
        }
        for (const std::string& texture : summary.texturesWritten) {
            message("wrote the embedded texture %s", texture.c_str());
        }
        bytes = mdl4::WriteScene(scene);
    } catch (const ImportError& error) {
        message("%s", error.what());
        return 1;
    } catch (const CAppError& error) {
        message("cannot convert '%s': %s", input.c_str(), error.Text().c_str());
        return 1;
    } catch (const CUserException& error) {
        message("cannot convert '%s': %s", input.c_str(), error.Text());
        return 1;
    }
    message("writing %s (%zu bytes)", output.c_str(), bytes.size());
    return writeFile(output, bytes) ? 0 : 1;
}

int Dump(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        message("cannot read '%s': %s", path.c_str(), std::strerror(errno));
        return 1;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    try {
        std::fputs(DumpChunkTree(path, bytes).c_str(), stdout);
    } catch (const CUserException& error) {
        message("%s", error.Text());
        return 1;
    }

    // The load as the player runs it, with the lines it logs.
    std::vector<std::string> lines;
    SetLogSink(
        [](void* sink, const char* line) {
            static_cast<std::vector<std::string>*>(sink)->push_back(line);
        },
        &lines);
    CScene scene;
    int status = 0;
    try {
        scene.Load(path);
    } catch (const CUserException& error) {
        message("%s", error.Text());
        status = 1;
    }
    SetLogSink(nullptr, nullptr);
    if (status == 0) {
        std::size_t bones = 0;
        for (const CMeshe* mesh : scene.meshes) {
            bones += mesh->bones.size();
        }
        std::printf("\nObjects %zu, meshes %zu, cameras %zu, lights %zu, materials %zu, "
                    "animations %zu, bones %zu, last frame %u\n",
                    scene.objects.size(), scene.meshes.size(), scene.cameras.size(),
                    scene.lights.size(), scene.materials.size(), scene.animations.size(), bones,
                    scene.lastFrame);
    }
    std::printf("\nThe load logs:\n");
    for (const std::string& line : lines) {
        std::printf("  %s\n", line.c_str());
    }
    return status;
}

}  // namespace vesta::mdltool
