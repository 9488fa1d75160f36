#pragma once
// Every effect kind the registries hold, with the parameters a script can set
// on it, their types and their defaults, read from a kind constructed (never
// started) for the purpose: the reference is made from the engine itself.

#include <string>
#include <vector>

namespace vesta::guide {

enum class Family { Layer, Modifier };

struct ParameterEntry {
    std::string name;
    std::string type;          // as an author reads it: "number", "picture", "Yes / No", ...
    std::string defaultValue;  // as a script would write it
};

struct KindEntry {
    std::string name;
    std::vector<ParameterEntry> parameters;  // in name order
};

// The kinds of a family in the engine's own order.
std::vector<KindEntry> CatalogueKinds(Family family);

}  // namespace vesta::guide
