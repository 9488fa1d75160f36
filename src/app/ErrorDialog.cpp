#include "app/ErrorDialog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/dialogs/ErrorWindows.h"

namespace vesta {

std::string ToUnixLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

void ShowErrorDialog(ErrorDialogKind kind, std::string_view caption, std::string_view text,
                     bool inWindow) {
    // The last error, as the dialog reports it, is the one before anything here.
    const int lastError = errno;
    std::string line = std::string(caption) + ": " + ToUnixLineEnds(text);
    if (line.empty() || line.back() != '\n') {
        line += '\n';
    }
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    if (!inWindow) {
        return;
    }
    const std::string shownText = ToUnixLineEnds(text);
    if (kind == ErrorDialogKind::Message) {
        ShowMessageErrorWindow(std::string(caption), shownText, std::strerror(lastError));
    } else {
        ShowReportErrorWindow(std::string(caption), shownText);
    }
}

}  // namespace vesta
