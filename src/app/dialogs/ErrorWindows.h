#pragma once
// The two error dialogs as modal windows. Each returns false, having shown
// nothing, when no window can be opened; OK or the close box ends it.

#include <string>

namespace vesta {

// Thrown texts: "Message" over the text, "GetLastError (Informative)" over
// the system's message for the last error, "TraceBack" over "Not available".
bool ShowMessageErrorWindow(const std::string& caption, const std::string& text,
                            const std::string& systemMessage);

// Engine errors and crash reports: the text in a fixed-pitch scrolling view.
bool ShowReportErrorWindow(const std::string& caption, const std::string& text);

}  // namespace vesta
