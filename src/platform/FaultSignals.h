#pragma once
// Hardware faults of the main thread (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGTRAP) handed to a translator that turns them into C++ exceptions.
//
// The handler runs on an alternate stack, so a stack overflow is reported too.
// It records everything the report needs (registers, the return addresses of
// the faulting stack) before the translator throws, because the throw unwinds
// the very stack those values describe.
//
// A throw out of the handler reaches its catch only when every frame on the
// way stopped at a point its unwind tables cover. Without -fnon-call-exceptions
// those are only calls the compiler cannot prove free of exceptions: a fault
// in a function with live destructors or a try block, or below a call the
// compiler judged not to throw, ends in std::terminate instead.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vesta {

// The x86-64 general registers of the faulting context.
struct FaultRegisters {
    std::uint64_t rax = 0, rbx = 0, rcx = 0, rdx = 0;
    std::uint64_t rsi = 0, rdi = 0, rbp = 0, rsp = 0;
    std::uint64_t r8 = 0, r9 = 0, r10 = 0, r11 = 0;
    std::uint64_t r12 = 0, r13 = 0, r14 = 0, r15 = 0;
    std::uint64_t rip = 0;
    std::uint64_t eflags = 0;
    std::uint16_t cs = 0, ss = 0, fs = 0, gs = 0;  // ss is 0 when the kernel did not save it
};

inline constexpr std::size_t kFaultFrameCapacity = 256;

struct FaultInfo {
    int signal = 0;
    int code = 0;                           // si_code
    std::uintptr_t faultAddress = 0;        // si_addr: the address accessed, for memory faults
    std::uintptr_t instructionPointer = 0;  // the faulting instruction (the int3 itself for one)
    bool write = false;                     // a SIGSEGV raised by a write access
    bool stackOverflow = false;             // a SIGSEGV just below the main thread's stack
    FaultRegisters registers;
    // frames[0] is the faulting instruction, the rest are return addresses, innermost first.
    std::array<std::uintptr_t, kFaultFrameCapacity> frames{};
    std::size_t frameCount = 0;
};

// The translator must not return: it throws, or ends the process.
using FaultTranslator = void (*)(const FaultInfo& fault);

// For the calling thread only: faults of other threads keep the action they
// had before. A later call replaces the translator and moves translation to
// its own thread (one thread at a time shares the one alternate stack); a
// forked child calls again to have its main thread translated.
void InstallFaultTranslator(FaultTranslator translator);

// Restores the previous signal actions and alternate stack; must not be called
// from within the translator.
void RemoveFaultTranslator();

}  // namespace vesta
