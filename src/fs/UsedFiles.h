#pragma once
// Every name served from disk or from an archive, spelled as requested, for "FileList.txt".

#include <set>
#include <string>
#include <string_view>

namespace vesta {

void RecordUsedFile(std::string_view name);
const std::set<std::string>& UsedFileSet();

// One name per line in byte order; false when the file cannot be written.
bool WriteFileList(const char* fileName);

void ClearUsedFilesForTests();

}  // namespace vesta
