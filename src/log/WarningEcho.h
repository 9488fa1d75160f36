#pragma once
// Whether WarnPrintf also writes to standard error (on by default).

namespace vesta {

// Off keeps warnings in the log only: for fuzzing, where each input may warn.
void SetWarningsToStandardError(bool enabled);

}  // namespace vesta
