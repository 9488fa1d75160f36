#pragma once
// The folders searched for data files, and whether archives come first.

#include <string>
#include <string_view>
#include <vector>

namespace vesta {

// Appends `folder` with a trailing backslash ("Gfx" is kept as "Gfx\").
void AddSearchPath(std::string_view folder);
const std::vector<std::string>& SearchPathList();

// Set by the script keyword SEARCHPAK_FIRST.
void SetSearchArchivesFirst(bool first);
bool SearchArchivesFirst();

void ClearSearchPathsForTests();

}  // namespace vesta
