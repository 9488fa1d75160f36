#include "ShowLength.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "Processes.h"

namespace vesta::farm {

// The first line reads "Main.txt: 6 parts, 104.00 s".
double ParseShowLength(const std::string& summary) {
    const std::string first = summary.substr(0, summary.find('\n'));
    const auto refuse = [&]() -> double {
        throw ShowLengthError("the player's check does not tell the show's length: '" + first +
                              "'");
    };
    const std::size_t part = first.find(" part");
    const std::size_t colon = part == std::string::npos ? part : first.rfind(": ", part);
    if (colon == std::string::npos || first.find_first_not_of("0123456789", colon + 2) != part ||
        part == colon + 2) {
        return refuse();
    }
    const std::size_t comma = first.find(", ", part);
    if (comma == std::string::npos) {
        return refuse();
    }
    const char* begin = first.c_str() + comma + 2;
    char* end = nullptr;
    const double seconds = std::strtod(begin, &end);
    if (end == begin || std::string_view(end).rfind(" s", 0) != 0) {
        return refuse();
    }
    return seconds;
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
