#pragma once
// Scheduling priority of the calling thread.

namespace vesta {

// Lowers the calling thread's priority by `steps` of niceness, to the lowest
// at most, for that thread only (Linux keeps one per thread): the threads it
// starts from then on inherit it, those already running keep theirs. It
// cannot be raised again without privileges. False when the system refuses.
bool LowerCallingThreadPriority(int steps);

// The calling thread's niceness: 0 by default, 19 at the lowest priority.
int CallingThreadNiceness();

}  // namespace vesta
