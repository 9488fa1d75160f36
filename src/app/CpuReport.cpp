#include "app/CpuReport.h"

#include "log/Log.h"
#include "platform/Clock.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define VESTA_HAS_CPUID 1
#else
#define VESTA_HAS_CPUID 0
#endif

namespace vesta {
namespace {

constexpr std::uint32_t kMmxBit = 1u << 23;
constexpr std::uint32_t kSimdBit = 1u << 25;
constexpr std::uint32_t kCmovBit = 1u << 15;

std::uint64_t timeStampCounter() {
#if VESTA_HAS_CPUID
    return __rdtsc();
#else
    return 0;
#endif
}

}  // namespace

CpuSignature ReadCpuSignature() {
    CpuSignature cpu;
#if VESTA_HAS_CPUID
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        cpu.known = true;
        cpu.signature = eax;
        cpu.features = edx;
    }
#endif
    return cpu;
}

std::string CpuName(std::uint32_t signature) {
    const std::uint32_t family = signature >> 8 & 0xF;
    const std::uint32_t model = signature >> 4 & 0xF;
    if (family == 5) {
        return "Pentium";
    }
    if (family != 6) {
        return "";
    }
    switch (model) {
    case 1:
        return "AMD Athlon";
    case 6:
        return "Intel Celeron(tm)";
    case 7:
    case 8:
        return "Intel Pentium III";
    default:
        return "Intel Pentium II";
    }
}

double MeasureCpuMhz() {
    if (!VESTA_HAS_CPUID) {
        return 0.0;
    }
    const std::int64_t frequency = PerformanceFrequency();
    const std::int64_t counterStart = PerformanceCounter();
    const std::uint64_t cyclesStart = timeStampCounter();
    for (int outer = 0; outer < 100; ++outer) {
        for (int inner = 0; inner < 60000; ++inner) {
            asm volatile("" ::: "memory");  // keeps the empty loop
        }
    }
    const std::uint64_t cycles = timeStampCounter() - cyclesStart;
    const std::int64_t ticks = PerformanceCounter() - counterStart;
    // The low 32 bits of each count, as the figures have always been computed.
    const double seconds = static_cast<double>(static_cast<std::uint32_t>(ticks)) /
                           static_cast<double>(static_cast<std::uint32_t>(frequency));
    if (seconds <= 0) {
        return 0.0;
    }
    return static_cast<double>(static_cast<std::uint32_t>(cycles)) / seconds / 1024.0 / 1024.0 *
           1.05;
}

void DetectCpu(bool requireMmx, bool requireSimd, bool requireCmov) {
    const CpuSignature cpu = ReadCpuSignature();
    if (!cpu.known) {
        LogPrintf("Processor : unknown");
    } else {
        const std::uint32_t s = cpu.signature;
        LogPrintf("Processor : %s (Stepping %d, Model %d, Family %d, Type %d)", CpuName(s).c_str(),
                  s & 0xF, s >> 4 & 0xF, s >> 8 & 0xF, s >> 12 & 0xF);
        double total = 0.0;
        for (int i = 0; i < 10; ++i) {
            total += MeasureCpuMhz();
        }
        LogPrintf("Frequency : %.2f Mhz", total / 10.0);
    }
    const std::uint32_t edx = cpu.features;
    LogPrintf("Cpu Flags : %s %s %s.", edx & kMmxBit ? "MMX " : "", edx & kSimdBit ? "SIMD " : "",
              edx & kCmovBit ? "CMOV " : "");
    LogPrintf("---------------------------------------------------------");
    if (requireMmx && !(edx & kMmxBit)) {
        RaiseError("An MMX Compatible CPU is required.");
    }
    if (requireSimd && !(edx & kSimdBit)) {
        RaiseError("A SIMD Compatible CPU is required.");
    }
    if (requireCmov && !(edx & kCmovBit)) {
        RaiseError("A CMOV Compatible CPU is required.");
    }
}

}  // namespace vesta
