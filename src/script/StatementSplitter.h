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

// What follows the first ';' or '{' outside quotes and parentheses, without
// blanks, ';' and the line end around it: text that no stage reads, so a
// second statement there is lost.
std::string_view TextAfterStatement(std::string_view text);

}  // namespace vesta
