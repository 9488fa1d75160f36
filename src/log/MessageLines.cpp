#include "log/MessageLines.h"

#include <cctype>

namespace vesta {

std::string IndentFollowingLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    bool lineStart = false;
    for (const char c : text) {
        if (lineStart && c != '\n' && c != ' ' && c != '\t') {
            out += "  ";
        }
        lineStart = c == '\n';
        out += c;
    }
    return out;
}

std::string_view WithoutWarningWord(std::string_view text) {
    constexpr std::string_view kWord = "warning";
    if (text.size() < kWord.size()) {
        return text;
    }
    for (std::size_t i = 0; i < kWord.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != kWord[i]) {
            return text;
        }
    }
    std::size_t at = kWord.size();
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    if (at == text.size() || text[at] != ':') {
        return text;
    }
    ++at;
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    return text.substr(at);
}

}  // namespace vesta
