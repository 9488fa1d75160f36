#pragma once
// The files a production names, looked up as the player will look them up:
// through the search folders, the executable's resources and the mounted
// archives, pictures by their bare lower-case name.

#include <string>
#include <string_view>

#include "app/CheckFindings.h"
#include "script/ScriptData.h"

namespace vesta {

enum class FileRole { Picture, PictureList, Model, Sound, Text };

// The file role of a parameter of `kind`, or nothing for one that names no file.
const FileRole* ParameterFileRole(std::string_view kind, std::string_view parameter);

// Reports each file in `value` that cannot be opened (or, for pictures, read).
void CheckNamedFiles(FileRole role, std::string_view value, const std::string& place,
                     const std::string& what, CheckFindings& findings);

// The loading picture and animation, the music and the next part's sample.
void CheckPartFiles(const CPart& part, CheckFindings& findings);

}  // namespace vesta
