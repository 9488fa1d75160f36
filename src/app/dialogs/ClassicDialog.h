#pragma once
// The classic startup dialog: driver, device and mode lists, the option
// boxes, Start and Quit. Enter starts, Escape quits.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "render/RenderModule.h"

namespace vesta {

struct ClassicDialogChoice {
    bool started = false;
    int module = 0;  // index into ClassicModuleList::names
    bool fullScreen = false;
    bool noVSync = false;
    bool textureCompression = false;
    bool showFrameRate = false;
};

// The render modules found at start-up (built in, ./drv, archives), so that
// a plug-in can be chosen; the list is shown only when it holds more than one.
struct ClassicModuleList {
    std::vector<std::string> names;
    int current = 0;  // the module the dialog is given
    // The module `index`, made the first time it is chosen; it outlives the dialog.
    std::function<RenderModule&(int index)> open;
};

struct ClassicDialogSetup {
    std::string title;      // the window's title and the production's name shown in it
    bool allModes = false;  // every mode, not only the 4:3 ones
    // The boxes start as the command line has them.
    bool noVSync = false;
    bool textureCompression = false;
    ClassicModuleList modules{};
};

// Runs the dialog; on Start the chosen driver, device and mode are the
// selection of the chosen module (`module`, or one opened through the list). Nullopt when no window
// could be opened.
std::optional<ClassicDialogChoice>
RunClassicDialog(RenderModule& module, const ClassicDialogSetup& setup, std::string& error);

}  // namespace vesta
