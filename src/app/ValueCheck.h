#pragma once
// Whether a parameter's value text reads as its type means, or silently as
// something else (a word as 0, "yes" as No).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "timeline/ParameterSet.h"

namespace vesta {

struct ValueProblem {
    bool error = true;
    std::string text;  // a sentence about the value, without the parameter's name
};

// `constants` are the script's DEFINE names, for a misspelt or blank-split use of one.
std::optional<ValueProblem> CheckValue(ParameterType type, std::string_view value,
                                       const std::vector<std::string>& constants);

// The number a whole value text reads as, when it is one number and nothing else.
std::optional<double> WholeNumber(std::string_view value);

}  // namespace vesta
