#pragma once
// The dialogs that end a failed run.

#include <string>
#include <string_view>

namespace vesta {

enum class ErrorDialogKind {
    Message = 103,  // thrown texts and unknown exceptions
    Report = 115,   // engine errors and crash reports
};

// Shows the error. Without a dialog (headless, or no display) it is one line
// "caption: text" on standard error; the text's own line breaks are kept and
// the lines after the first indented.
void ShowErrorDialog(ErrorDialogKind kind, std::string_view caption, std::string_view text);

// The text as standard error shows it: CR LF and lone CR become LF.
std::string ToUnixLineEnds(std::string_view text);

}  // namespace vesta
