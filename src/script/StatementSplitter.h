#pragma once
// Splits one line of script into its keyword and its argument.

#include <string>
#include <string_view>

namespace vesta {

struct Statement {
    std::string keyword;
    std::string argument;
};

// False when the line holds no statement: its keyword phase meets "//" or
// '}', or the keyword runs to the end of the text without a blank, ';' or '/'.
bool SplitStatement(std::string_view text, Statement& statement);

}  // namespace vesta
