#include "fs/UsedFiles.h"

#include <cstdio>
#include <memory>

namespace vesta {
namespace {

std::set<std::string>& usedFiles() {
    static std::set<std::string> names;
    return names;
}

}  // namespace

void RecordUsedFile(std::string_view name) {
    usedFiles().emplace(name);
}

const std::set<std::string>& UsedFileSet() {
    return usedFiles();
}

void WriteFileList(const char* fileName) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName, "w"), std::fclose);
    if (!file) {
        return;
    }
    for (const std::string& name : usedFiles()) {
        std::fprintf(file.get(), "%s\n", name.c_str());
    }
}

void ClearUsedFilesForTests() {
    usedFiles().clear();
}

}  // namespace vesta
