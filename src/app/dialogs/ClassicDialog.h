#pragma once
// The classic startup dialog: driver, device and mode lists, the option
// boxes, Start and Quit. Enter starts, Escape quits.

#include <optional>
#include <string>

#include "render/RenderModule.h"

namespace vesta {

struct ClassicDialogChoice {
    bool started = false;
    bool fullScreen = false;
    bool noVSync = false;
    bool textureCompression = false;
    bool showFrameRate = false;
};

struct ClassicDialogSetup {
    std::string title;      // the window's title and the production's name shown in it
    bool allModes = false;  // every mode, not only the 4:3 ones
    // The boxes start as the command line has them.
    bool noVSync = false;
    bool textureCompression = false;
};

// Runs the dialog; on Start the chosen driver, device and mode are the
// module's selection. Nullopt when no window could be opened.
std::optional<ClassicDialogChoice>
RunClassicDialog(RenderModule& module, const ClassicDialogSetup& setup, std::string& error);

}  // namespace vesta
