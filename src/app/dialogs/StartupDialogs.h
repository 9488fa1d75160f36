#pragma once
// The skinned startup dialog the configuration asks for: `Startup` `ID` 0
// is "SimpleStartup", 1 is "SimpleStartup2".

#include <optional>
#include <string>

namespace AdvXMLParser {
class XmlElement;
}

namespace vesta {

struct StartupDialogResult {
    bool started = true;
    int width = 640, height = 480, depth = 16;
    bool fullScreen = true;
};

// Nullopt when the configuration holds no element for that dialog (a
// production without a skin starts as with no dialog) or when no window
// could be opened (logged). Faults of the skin itself raise CAppError or the
// picture reader's error.
std::optional<StartupDialogResult> RunSkinnedStartup(const AdvXMLParser::XmlElement& root,
                                                     int startupId, const std::string& title);

}  // namespace vesta
