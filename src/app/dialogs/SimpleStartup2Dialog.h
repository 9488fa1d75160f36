#pragma once
// The second startup dialog: a JPEG picture with two drop-down lists
// (resolution, colour depth) and a push button, each where the
// configuration's "SimpleStartup2" element puts it.

#include <optional>
#include <string>

namespace AdvXMLParser {
class XmlElement;
}

namespace vesta {

// Client pixels; for a list the height includes the dropped-down part.
struct ControlPlace {
    int x = 0, y = 0, width = 0, height = 0;
};

struct Startup2Layout {
    std::string background;  // JPEG file name
    ControlPlace resolution, bpp, start;
    std::string startText;
};

Startup2Layout ReadStartup2Layout(const AdvXMLParser::XmlElement& element);

struct Startup2Choice {
    int width = 640, height = 480, depth = 16;
};

// The lists' choices when Start is pressed; closing the window otherwise
// keeps the first entries (640 x 480, 16 bits): the run goes on either way.
// Nullopt, with the reason in `error`, when no window could be opened. A
// background that cannot be read raises the picture reader's error.
std::optional<Startup2Choice> RunSimpleStartup2(const Startup2Layout& layout,
                                                const std::string& title, std::string& error);

}  // namespace vesta
