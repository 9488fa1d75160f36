#include "script/StatementSplitter.h"

#include "script/TextNumbers.h"

namespace vesta {
namespace {

bool endsKeyword(char c) {
    return c == ' ' || c == '\t' || c == ';';
}

// Returns the position after the keyword's ending character, or npos when
// the line holds no statement.
std::size_t readKeyword(std::string_view text, std::string& keyword) {
    std::size_t i = 0;
    while (i < text.size() && endsKeyword(text[i])) {
        ++i;
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '}') {
            return std::string_view::npos;
        }
        if (c == '/') {
            if (i + 1 < text.size() && text[i + 1] == '/') {
                return std::string_view::npos;
            }
            return i + 1;
        }
        if (endsKeyword(c)) {
            return i + 1;
        }
        keyword += c;
    }
    return std::string_view::npos;
}

// Quotes and parentheses are never copied; once a quote was seen only quoted
// text counts, so adjacent quoted strings concatenate.
std::string readArgument(std::string_view text) {
    std::string argument;
    bool quoted = false;
    bool parenthesised = false;
    bool quoteSeen = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            quoteSeen = true;
            continue;
        }
        if (c == '(' || c == ')') {
            if (!quoted) {
                parenthesised = !parenthesised;
            }
            continue;
        }
        if (!quoted && !parenthesised && (c == '\r' || c == ';' || c == '{')) {
            if (!argument.empty()) {
                break;
            }
            continue;
        }
        if (quoteSeen && !quoted) {
            continue;
        }
        argument += c;
    }
    return std::string(TrimBlanks(argument));
}

}  // namespace

bool SplitStatement(std::string_view text, Statement& statement) {
    statement.keyword.clear();
    statement.argument.clear();
    const std::size_t rest = readKeyword(text, statement.keyword);
    if (rest == std::string_view::npos) {
        statement.keyword.clear();
        return false;
    }
    statement.argument = readArgument(text.substr(rest));
    return true;
}

std::string_view TextAfterStatement(std::string_view text) {
    bool quoted = false;
    bool parenthesised = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '(' || c == ')')) {
            parenthesised = !parenthesised;
        } else if (!quoted && !parenthesised && (c == ';' || c == '{')) {
            std::string_view rest = text.substr(i + 1);
            while (!rest.empty() &&
                   (rest.front() == ' ' || rest.front() == '\t' || rest.front() == ';')) {
                rest.remove_prefix(1);
            }
            while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ' ||
                                     rest.back() == '\t' || rest.back() == ';')) {
                rest.remove_suffix(1);
            }
            return rest;
        }
    }
    return {};
}

}  // namespace vesta
