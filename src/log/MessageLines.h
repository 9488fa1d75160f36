#pragma once
// The shape of the messages the user reads on standard error: one
// "caption: text" line, anything more on the lines below it, indented, so that
// a reader (or a script) can tell where one message ends and the next begins.

#include <string>
#include <string_view>

namespace vesta {

// Every non-empty line after the first gains two spaces in front, unless it is
// indented already.
std::string IndentFollowingLines(std::string_view text);

// The text without a leading "Warning :" of its own, for a channel that says
// "warning" itself.
std::string_view WithoutWarningWord(std::string_view text);

}  // namespace vesta
