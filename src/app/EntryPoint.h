#pragma once

#include "app/CommandLine.h"

namespace vesta {

// Mounts the archives, builds the application, runs it and shuts it down.
// Every failure ends in an error dialog but a start (--start-time,
// --start-part) the show never reaches, told on standard error. Returns the
// exit status: 1 after an error dialog, 2 for such a start, 128 + the signal
// after a stop signal, 0 otherwise.
int RunPlayer(const LaunchOptions& options);

}  // namespace vesta
