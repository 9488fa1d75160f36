#pragma once
// The processor lines of the log, and the checks of required features.

#include <cstdint>
#include <string>

namespace vesta {

struct CpuSignature {
    bool known = false;  // false where CPUID does not exist
    std::uint32_t signature = 0;
    std::uint32_t features = 0;  // EDX of leaf 1
};

CpuSignature ReadCpuSignature();

// "Pentium", "Intel Pentium III", ... from the family and model of a signature.
std::string CpuName(std::uint32_t signature);

// Clock rate in MHz from the time-stamp counter over a short busy loop; 0 where there is none.
double MeasureCpuMhz();

// Logs the processor, its clock rate and flags; raises an engine error for
// each requirement switched on and not met.
void DetectCpu(bool requireMmx, bool requireSimd, bool requireCmov);

}  // namespace vesta
