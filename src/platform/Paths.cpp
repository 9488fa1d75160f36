#include "platform/Paths.h"

#include <cstring>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace vesta {
namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Lower-cased name -> spelling on disk for one folder, valid while the
// folder's modification time stays the same. Misses are frequent (every
// archive entry is looked for on disk first), so folders are not read again
// for each one.
struct FolderListing {
    timespec modified{};
    std::unordered_map<std::string, std::string> names;
};

std::optional<timespec> folderTime(const std::string& folder) {
    struct stat info {};
    if (stat(folder.empty() ? "." : folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return info.st_mtim;
}

const FolderListing* listing(const std::string& folder) {
    static std::mutex mutex;
    static std::unordered_map<std::string, FolderListing> cache;
    const std::optional<timespec> modified = folderTime(folder);
    if (!modified) {
        return nullptr;
    }
    std::lock_guard lock(mutex);
    FolderListing& entry = cache[folder];
    if (entry.modified.tv_sec == modified->tv_sec && entry.modified.tv_nsec == modified->tv_nsec &&
        !entry.names.empty()) {
        return &entry;
    }
    entry.names.clear();
    entry.modified = *modified;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                            closedir);
    if (!dir) {
        return nullptr;
    }
    while (const dirent* item = readdir(dir.get())) {
        // The first spelling read wins; the exact spelling is always tried before.
        entry.names.emplace(AsciiLower(item->d_name), item->d_name);
    }
    return &entry;
}

// The entry of `folder` spelled like `component` up to ASCII case, exact spelling first.
std::optional<std::string> findInFolder(const std::string& folder, std::string_view component) {
    std::string exact = folder + std::string(component);
    if (access(exact.c_str(), F_OK) == 0) {
        return exact;
    }
    const FolderListing* names = listing(folder);
    if (!names) {
        return std::nullopt;
    }
    const auto found = names->names.find(AsciiLower(component));
    if (found == names->names.end()) {
        return std::nullopt;
    }
    return folder + found->second;
}

}  // namespace

std::string ToNativeSeparators(std::string_view name) {
    std::string path(name);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

std::optional<std::string> ResolveExistingFile(std::string_view name) {
    const std::string path = ToNativeSeparators(name);
    if (path.empty()) {
        return std::nullopt;
    }
    if (isRegularFile(path)) {
        return path;
    }
    // Walk the components, matching each one case-insensitively where needed.
    std::string resolved = path.front() == '/' ? "/" : "";
    std::size_t begin = resolved.size();
    while (begin < path.size()) {
        std::size_t end = path.find('/', begin);
        const bool last = end == std::string::npos;
        if (last) {
            end = path.size();
        }
        const std::string_view component(path.data() + begin, end - begin);
        begin = end + 1;
        if (component.empty() || component == ".") {
            continue;
        }
        if (component == "..") {
            resolved += "../";
            continue;
        }
        std::optional<std::string> match = findInFolder(resolved, component);
        if (!match) {
            return std::nullopt;
        }
        resolved = *match;
        if (!last) {
            if (!isDirectory(resolved)) {
                return std::nullopt;
            }
            resolved += '/';
        }
    }
    if (!isRegularFile(resolved)) {
        return std::nullopt;
    }
    return resolved;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = AsciiLowerChar(c);
    }
    return lower;
}

bool AsciiEqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLowerChar(a[i]) != AsciiLowerChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::string CurrentDirectory() {
    std::unique_ptr<char, void (*)(void*)> cwd(getcwd(nullptr, 0), std::free);
    return cwd ? std::string(cwd.get()) : std::string();
}

std::string ExecutablePath() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    return path;
}

}  // namespace vesta
