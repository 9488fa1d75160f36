#include "app/ValueCheck.h"

#include <algorithm>

#include "app/NearestWord.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The leading word a constant would be, up to the first operator or blank.
std::string_view leadingName(std::string_view value) {
    const std::size_t end = value.find_first_of("+-*/= \t");
    return value.substr(0, end);
}

bool startsWord(std::string_view value) {
    if (value.empty()) {
        return false;
    }
    const char c = value.front();
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Why a value with no number in front reads as 0.
std::string notANumber(std::string_view value, const std::vector<std::string>& constants) {
    const std::string quoted = "[" + std::string(value) + "]";
    if (!startsWord(value)) {
        return quoted + " is no number; it reads as 0.";
    }
    const std::string_view name = leadingName(value);
    if (std::find(constants.begin(), constants.end(), name) != constants.end()) {
        return quoted +
               " was not computed, so it reads as 0: write a DEFINE's expression "
               "without blanks (" +
               std::string(name) + "+1).";
    }
    return quoted + " is no number and no DEFINE; it reads as 0." + DidYouMean(name, constants);
}

}  // namespace

std::optional<double> WholeNumber(std::string_view value) {
    value = TrimBlanks(value);
    std::size_t consumed = 0;
    const float number = ParseFloatPrefix(value, &consumed);
    if (consumed == 0 || !std::all_of(value.begin() + consumed, value.end(), isBlank)) {
        return std::nullopt;
    }
    return number;
}

std::optional<ValueProblem> CheckValue(ParameterType type, std::string_view value,
                                       const std::vector<std::string>& constants) {
    value = TrimBlanks(value);
    switch (type) {
    case ParameterType::Text:
        return std::nullopt;
    case ParameterType::Bool:
        if (value == "Yes" || value == "No") {
            return std::nullopt;
        }
        return ValueProblem{true, "[" + std::string(value) +
                                      "] reads as No: only Yes, spelt so, switches it on."};
    case ParameterType::Int:
    case ParameterType::Float: {
        std::size_t consumed = 0;
        ParseFloatPrefix(value, &consumed);
        if (consumed == 0) {
            return ValueProblem{true, notANumber(value, constants)};
        }
        const std::optional<double> number = WholeNumber(value);
        if (!number) {
            // "XScale 0.5 YScale 0.5": two statements that the line made one.
            const std::string_view rest = TrimBlanks(value.substr(consumed));
            return ValueProblem{false, "reads only the number at the start of [" +
                                           std::string(value) + "]." +
                                           (startsWord(rest) ? " Is [" + std::string(rest) +
                                                                   "] a statement of its own? "
                                                                   "One statement a line."
                                                             : std::string())};
        }
        if (type == ParameterType::Int && *number != static_cast<double>(ParseIntPrefix(value))) {
            return ValueProblem{false, "takes whole numbers: [" + std::string(value) +
                                           "] reads as " + std::to_string(ParseIntPrefix(value)) +
                                           "."};
        }
        return std::nullopt;
    }
    case ParameterType::Vector: {
        int count = 0;
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = value.find(',', start);
            const std::string_view piece = value.substr(start, comma - start);
            if (!WholeNumber(piece)) {
                return ValueProblem{true, "[" + std::string(value) +
                                              "] is not three numbers as x,y,z; what is no "
                                              "number there reads as 0."};
            }
            ++count;
            if (comma == std::string_view::npos) {
                break;
            }
            start = comma + 1;
        }
        if (count > 3) {
            return ValueProblem{false, "[" + std::string(value) +
                                           "] has more than three numbers; only x,y,z are read."};
        }
        return std::nullopt;
    }
    }
    return std::nullopt;
}

}  // namespace vesta
