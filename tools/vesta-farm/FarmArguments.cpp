#include "FarmArguments.h"

#include <algorithm>

namespace vesta::farm {

bool Arguments::Has(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string Arguments::Value(const std::string& name, const std::string& otherwise) const {
    const auto found = values.find(name);
    return found == values.end() ? otherwise : found->second;
}

Arguments ParseFarmArguments(std::span<const std::string_view> args,
                             const std::vector<std::string>& valued,
                             const std::vector<std::string>& flags) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg(args[i]);
        if (arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        std::string value;
        const std::size_t equals = arg.find('=');
        const bool inline_ = equals != std::string::npos;
        if (inline_) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
        }
        if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
            if (!inline_) {
                if (i + 1 >= args.size()) {
                    throw UsageError(arg + " needs a value");
                }
                value = args[++i];
            }
            parsed.values[arg] = value;
        } else if (!inline_ && std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            parsed.flags.push_back(arg);
        } else {
            throw UsageError("unknown option '" + std::string(args[i]) + "'");
        }
    }
    return parsed;
}

}  // namespace vesta::farm
