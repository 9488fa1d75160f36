#pragma once
// The words in a mesh's name that give it special behaviour ("Glass.Alpha",
// "Blob.MorphSrc.f10"), applied once the mesh is read.

#include <optional>
#include <string>
#include <string_view>

namespace vesta {

class CMeshe;

// ASCII letters lowered, as names are compared when case does not count.
std::string LowerCase(std::string_view text);

// Sets the mesh's flags from the tags its name contains (as written or in
// lower case), then prepares a skinned or changing mesh. Raises "Error :
// Could not find start frame for Morph object [%s]." for a morph without its
// start frame.
void ApplyNameTags(CMeshe& mesh);

// The number after the first `key` (".f", ".c", ...) of `name` that is
// followed by a digit; digits run up to the next "." or the end.
std::optional<int> TaggedNumber(std::string_view name, std::string_view key);

// The text after the first `key` (".m") up to the next "." outside double
// quotes, the quotes removed: `Spark.m"spark.png"` gives spark.png.
std::optional<std::string> TaggedText(std::string_view name, std::string_view key);

}  // namespace vesta
