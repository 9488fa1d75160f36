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

bool WriteFileList(const char* fileName) {
    std::FILE* file = std::fopen(fileName, "w");
    if (!file) {
        return false;
    }
    bool written = true;
    for (const std::string& name : usedFiles()) {
        written = std::fprintf(file, "%s\n", name.c_str()) >= 0 && written;
    }
    return std::fclose(file) == 0 && written;
}

void ClearUsedFilesForTests() {
    usedFiles().clear();
}

}  // namespace vesta
