#pragma once
// Reading the command lines of vesta-farm's commands.

#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vesta::farm {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    std::map<std::string, std::string> values;  // "--name" -> value
    std::vector<std::string> flags;
    std::vector<std::string> positional;

    bool Has(const std::string& flag) const;
    std::string Value(const std::string& name, const std::string& otherwise = "") const;
};

// `valued` names the options that take a value ("-o", "--fps", ...); any other
// argument that begins with '-' must be one of `flags`.
Arguments ParseFarmArguments(std::span<const std::string_view> args,
                             const std::vector<std::string>& valued,
                             const std::vector<std::string>& flags);

}  // namespace vesta::farm
