#pragma once
// SIGINT and SIGTERM as a request to stop: the handler only notes the signal,
// and the frame loop ends the run after the frame it is drawing, so that the
// rest of the shutdown (a recording's trailer above all) happens as usual.

namespace vesta {

// Installs the handlers; a second signal of either kind ends the process at
// once, for a run that no longer reaches the end of its frame.
void InstallStopSignals();

// The signal that asked the run to stop, 0 while none did.
int StopSignal();

// The exit status of a run stopped by `signal`: 128 plus its number, as a
// shell reports a process the signal ended.
int StoppedStatus(int signal);

}  // namespace vesta
