#include "platform/Paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

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

// The entry of `folder` spelled like `component` up to ASCII case, exact spelling first.
std::optional<std::string> findInFolder(const std::string& folder, std::string_view component) {
    std::string exact = folder + std::string(component);
    if (access(exact.c_str(), F_OK) == 0) {
        return exact;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                            closedir);
    if (!dir) {
        return std::nullopt;
    }
    while (const dirent* entry = readdir(dir.get())) {
        if (AsciiEqualsIgnoreCase(entry->d_name, component)) {
            return folder + entry->d_name;
        }
    }
    return std::nullopt;
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
