#pragma once

#include "app/CommandLine.h"

namespace vesta {

// Mounts the archives, builds the application, runs it and shuts it down.
// Every failure ends in an error dialog. Returns the exit status: 1 after an
// error dialog, 2 for a start
// (--start-time, --start-part) the show does not reach, 0 otherwise.
int RunPlayer(const LaunchOptions& options);

}  // namespace vesta
