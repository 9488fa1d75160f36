#include "PakCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sys/stat.h>

#include "fs/Inflate.h"
#include "fs/PakReader.h"
#include "fs/PakWriter.h"
#include "fs/ResourceTable.h"
#include "platform/MappedFile.h"
#include "platform/Paths.h"

namespace vesta::paktool {
namespace {

namespace fs = std::filesystem;

__attribute__((format(printf, 1, 2))) void error(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("vesta-pak: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

bool mapFile(const std::string& path, MappedFile& file) {
    if (file.Open(path)) {
        return true;
    }
    error("cannot read '%s': %s", path.c_str(), std::strerror(errno));
    return false;
}

// Writes through a temporary file so that a failed write leaves no half file behind.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
               bool executable = false) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            error("cannot write '%s': %s", path.c_str(), std::strerror(errno));
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (executable) {
        chmod(temporary.c_str(), 0755);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error("cannot write '%s': %s", path.c_str(), std::strerror(errno));
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

struct OpenArchive {
    MappedFile file;
    pak::Directory directory;
};

// Maps and reads the directory; reports and returns nullopt when it is not a valid archive.
std::optional<OpenArchive> openArchive(const std::string& path) {
    OpenArchive archive;
    if (!mapFile(path, archive.file)) {
        return std::nullopt;
    }
    archive.directory = pak::ReadDirectory({archive.file.Data(), archive.file.Size()});
    if (archive.directory.status != pak::DirectoryStatus::Ok) {
        error("'%s' is %s", path.c_str(), pak::DescribeStatus(archive.directory.status));
        return std::nullopt;
    }
    return archive;
}

// The bytes of one entry, inflated when compressed; nullopt when damaged.
std::optional<std::vector<std::uint8_t>> entryBytes(const OpenArchive& archive,
                                                    const pak::Entry& entry) {
    if (!pak::EntryIntact(entry, archive.file.Size())) {
        return std::nullopt;
    }
    const std::uint8_t* stored = archive.file.Data() + entry.offset;
    if (!entry.Compressed()) {
        return std::vector<std::uint8_t>(stored, stored + entry.size);
    }
    std::vector<std::uint8_t> bytes(entry.size);
    if (!InflateExact(stored, entry.storedSize, bytes.data(), bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

// Entry name -> file on disk, for every file below the inputs.
// The archive being written is left out, should it lie below an input folder.
bool collectInputs(const std::vector<std::string>& inputs, const std::string& output,
                   std::map<std::string, std::string>& files) {
    std::map<std::string, std::string> lowerNames;  // the reader ignores ASCII case
    auto add = [&](const std::string& name, const fs::path& path) {
        const auto [existing, added] = lowerNames.emplace(AsciiLower(name), name);
        if (!added) {
            error("'%s' and '%s' would be the same entry (names ignore case)",
                  files[existing->second].c_str(), path.c_str());
            return false;
        }
        files[name] = path.string();
        return true;
    };
    for (const std::string& input : inputs) {
        std::error_code code;
        const fs::file_status status = fs::status(input, code);
        if (fs::is_regular_file(status)) {
            if (!add(fs::path(input).filename().string(), input)) {
                return false;
            }
        } else if (fs::is_directory(status)) {
            for (fs::recursive_directory_iterator it(input, code), end; it != end && !code;
                 it.increment(code)) {
                std::error_code ignored;
                if (it->is_regular_file() && !fs::equivalent(it->path(), output, ignored) &&
                    !add(fs::relative(it->path(), input).generic_string(), it->path())) {
                    return false;
                }
            }
            if (code) {
                error("cannot read folder '%s': %s", input.c_str(), code.message().c_str());
                return false;
            }
        } else {
            error("no such file or folder: '%s'", input.c_str());
            return false;
        }
    }
    return true;
}

std::string resourceNameForArchive(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    return AsciiLower(name).find(".pak") != std::string::npos ? name : "production.pak";
}

}  // namespace

std::string SafeRelativePath(const std::string& entryName) {
    const std::string path = ToNativeSeparators(entryName);
    if (path.empty() || path.front() == '/') {
        return {};
    }
    for (const auto& part : fs::path(path)) {
        if (part == "..") {
            return {};
        }
    }
    return path;
}

int Create(const CreateOptions& options) {
    std::map<std::string, std::string> files;
    if (!collectInputs(options.inputs, options.output, files)) {
        return 1;
    }
    pak::PakWriter writer({options.store, options.level});
    std::uint64_t totalSize = 0;
    for (const auto& [name, path] : files) {
        MappedFile file;
        if (!mapFile(path, file)) {
            return 1;
        }
        if (!writer.Add(name, {file.Data(), file.Size()})) {
            error("'%s' is too large for an archive", path.c_str());
            return 1;
        }
        totalSize += file.Size();
    }
    const std::optional<std::vector<std::uint8_t>> archive = writer.Build();
    if (!archive) {
        error("the archive would be larger than 4 GiB");
        return 1;
    }
    if (!writeFile(options.output, *archive)) {
        return 1;
    }
    std::printf("%s: %zu entries, %llu bytes stored in %zu\n", options.output.c_str(),
                writer.Count(), static_cast<unsigned long long>(totalSize), archive->size());
    return 0;
}

int List(const std::string& path) {
    const std::optional<OpenArchive> archive = openArchive(path);
    if (!archive) {
        return 1;
    }
    std::printf("%10s %10s  %-8s %s\n", "size", "stored", "method", "name");
    for (const pak::Entry& entry : archive->directory.entries) {
        std::printf("%10u %10u  %-8s %s\n", entry.size, entry.storedSize,
                    entry.Compressed() ? "deflate" : "stored", entry.name.c_str());
    }
    std::printf("%zu entries\n", archive->directory.entries.size());
    return 0;
}

int Extract(const std::string& path, const std::string& folder) {
    const std::optional<OpenArchive> archive = openArchive(path);
    if (!archive) {
        return 1;
    }
    int status = 0;
    for (const pak::Entry& entry : archive->directory.entries) {
        const std::string relative = SafeRelativePath(entry.name);
        if (relative.empty()) {
            error("skipping entry '%s': its name leads outside the folder", entry.name.c_str());
            status = 1;
            continue;
        }
        const std::optional<std::vector<std::uint8_t>> bytes = entryBytes(*archive, entry);
        if (!bytes) {
            error("entry '%s' is damaged", entry.name.c_str());
            status = 1;
            continue;
        }
        const fs::path target = fs::path(folder) / relative;
        std::error_code code;
        fs::create_directories(target.parent_path(), code);
        if (!writeFile(target.string(), *bytes)) {
            status = 1;
        }
    }
    return status;
}

int Verify(const std::string& path) {
    const std::optional<OpenArchive> archive = openArchive(path);
    if (!archive) {
        return 1;
    }
    std::size_t damaged = 0;
    for (const pak::Entry& entry : archive->directory.entries) {
        if (!entryBytes(*archive, entry)) {
            error("entry '%s' is damaged", entry.name.c_str());
            ++damaged;
        }
    }
    if (damaged) {
        error("%s: %zu of %zu entries are damaged", path.c_str(), damaged,
              archive->directory.entries.size());
        return 1;
    }
    std::printf("%s: %zu entries, all intact\n", path.c_str(), archive->directory.entries.size());
    return 0;
}

int Embed(const EmbedOptions& options) {
    MappedFile player;
    if (!mapFile(options.player, player) || !openArchive(options.archive)) {
        return 1;
    }
    std::vector<ResourceInput> resources;
    auto addResource = [&](const std::string& name, const std::string& path) {
        MappedFile file;
        if (!mapFile(path, file)) {
            return false;
        }
        resources.push_back(
            {name, std::vector<std::uint8_t>(file.Data(), file.Data() + file.Size())});
        return true;
    };
    // The archive comes first: the player mounts the first resource named like an archive.
    if (!addResource(resourceNameForArchive(options.archive), options.archive)) {
        return 1;
    }
    for (const auto& [name, path] : options.resources) {
        if (!addResource(name, path)) {
            return 1;
        }
    }
    const std::vector<std::uint8_t> output =
        AppendResourceTable({player.Data(), player.Size()}, resources);
    if (!writeFile(options.output, output, true)) {
        return 1;
    }
    std::printf("%s: %s with %zu resources\n", options.output.c_str(), options.player.c_str(),
                resources.size());
    return 0;
}

}  // namespace vesta::paktool
