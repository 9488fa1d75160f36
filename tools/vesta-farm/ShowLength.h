#pragma once
// How long a production's show runs, as the player's own check tells it.

#include <stdexcept>
#include <string>

namespace vesta::farm {

class ShowLengthError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads "NAME: N parts, T s" from the first line of the check's summary.
double ParseShowLength(const std::string& summary);

// Asks the player; throws ShowLengthError with the player's first message
// when it cannot tell.
double ShowLength(const std::string& player, const std::string& production);

}  // namespace vesta::farm
