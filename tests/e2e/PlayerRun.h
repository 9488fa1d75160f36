#pragma once
// Running the built player on a production folder and reading what it wrote.

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace vesta::test {

// A script whose one part never ends: the run lasts as long as --duration says.
inline constexpr const char* kEndlessScript = "PART {\r\n}\r\n";

inline ProcessResult play(const std::filesystem::path& folder, std::vector<std::string> args = {},
                          const std::string& program = VESTA_ENGINE_PATH) {
    return RunProcess(program, args, folder);
}

// The message of every line of "Logging.txt".
inline std::vector<std::string> logMessages(const std::filesystem::path& folder) {
    std::istringstream log(ReadFile(folder / "Logging.txt"));
    std::vector<std::string> messages;
    for (std::string line; std::getline(log, line);) {
        const std::size_t tab = line.find("\t: ");
        messages.push_back(tab == std::string::npos ? line : line.substr(tab + 3));
    }
    return messages;
}

inline bool logged(const std::filesystem::path& folder, const std::string& message) {
    const std::vector<std::string> messages = logMessages(folder);
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

}  // namespace vesta::test
