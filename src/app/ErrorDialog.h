#pragma once
// The dialogs that end a failed run.

#include <string>
#include <string_view>

namespace vesta {

enum class ErrorDialogKind {
    Message = 103,  // thrown texts and unknown exceptions
    Report = 115,   // engine errors and crash reports
};

// Shows the error: always one line "caption: text" on standard error, the
// text's own line breaks kept, and with `inWindow` (a display, not headless)
// also the modal dialog of that kind, until OK.
void ShowErrorDialog(ErrorDialogKind kind, std::string_view caption, std::string_view text,
                     bool inWindow = false);

// The text as standard error shows it: CR LF and lone CR become LF.
std::string ToUnixLineEnds(std::string_view text);

}  // namespace vesta
