#include "fs/DiskFiles.h"

#include <algorithm>

namespace vesta {
namespace {

std::vector<DiskFile>& diskFiles() {
    static std::vector<DiskFile> files;
    return files;
}

DiskFileCollector*& activeCollector() {
    static DiskFileCollector* collector = nullptr;
    return collector;
}

}  // namespace

DiskFileCollector::DiskFileCollector() : m_outer(activeCollector()) {
    activeCollector() = this;
}

DiskFileCollector::~DiskFileCollector() {
    activeCollector() = m_outer;
}

void RecordDiskFile(std::string_view name, std::string_view path) {
    if (DiskFileCollector* collector = activeCollector()) {
        std::vector<std::string>& paths = collector->m_paths;
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
            paths.emplace_back(path);
        }
    }
    std::vector<DiskFile>& files = diskFiles();
    // A run opens a few hundred files at most; most of them many times.
    const bool known = std::any_of(files.rbegin(), files.rend(),
                                   [&](const DiskFile& file) { return file.path == path; });
    if (!known) {
        files.push_back({std::string(name), std::string(path)});
    }
}

const std::vector<DiskFile>& DiskFilesOpened() {
    return diskFiles();
}

void ClearDiskFilesForTests() {
    diskFiles().clear();
}

}  // namespace vesta
