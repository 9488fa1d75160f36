#include "ShowLength.h"

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "Processes.h"

namespace vesta::farm {

double ParseShowLength(const std::string& summary) {
    static const std::regex line(R"(: (\d+) parts?, ([0-9.]+) s)");
    const std::string first = summary.substr(0, summary.find('\n'));
    std::smatch match;
    if (!std::regex_search(first, match, line)) {
        throw ShowLengthError("the player's check does not tell the show's length: '" + first +
                              "'");
    }
    return std::strtod(match[2].str().c_str(), nullptr);
}

double ShowLength(const std::string& player, const std::string& production) {
    std::vector<std::string> args;
    if (!production.empty()) {
        args = {"--dir", std::filesystem::absolute(production).string()};
    }
    args.push_back("--check");
    std::string out;
    std::string err;
    const int code = RunForOutput(player, args, out, err);
    // The check also tells the length of a show it finds mistakes in; whether
    // those stop the show is the player's to say when it runs.
    try {
        return ParseShowLength(out);
    } catch (const ShowLengthError&) {
        if (code == 0) {
            throw;
        }
        const std::string first = err.substr(0, err.find('\n'));
        throw ShowLengthError(first.empty() ? player + " --check failed" : first);
    }
}

}  // namespace vesta::farm
