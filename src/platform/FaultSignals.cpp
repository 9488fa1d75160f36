#include "platform/FaultSignals.h"

#include <csignal>
#include <cstring>
#include <pthread.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>
#include <unwind.h>

namespace vesta {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP};
constexpr std::size_t kSignalCount = sizeof kFaultSignals / sizeof kFaultSignals[0];

// Room for the handler, the unwinder's search for the catch and the translator's
// exception object set-up; symbol look-ups happen later, on the ordinary stack.
constexpr std::size_t kAlternateStackSize = 256 * 1024;

// The kernel keeps a gap of 256 pages below a growing stack; a fault in it, or
// in the lowest page the stack may use, is the stack running out.
constexpr std::uintptr_t kStackGuardSpan = 1024 * 1024;

constexpr unsigned long kContextHasSs = 0x2;  // UC_SIGCONTEXT_SS of the kernel's ucontext
constexpr greg_t kPageFaultTrap = 14;
constexpr greg_t kPageFaultWriteBit = 0x2;
constexpr unsigned char kInt3 = 0xCC;

struct TranslatorState {
    bool installed = false;
    FaultTranslator translator = nullptr;
    pid_t thread = 0;
    char* alternateStack = nullptr;  // mapping with one inaccessible guard page at the bottom
    std::size_t mappingSize = 0;
    stack_t previousAlternateStack{};
    struct sigaction previousActions[kSignalCount] {};
    std::uintptr_t stackLow = 0;
    std::uintptr_t pageSize = 4096;
};

TranslatorState state;

std::size_t signalIndex(int signal) {
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        if (kFaultSignals[i] == signal) {
            return i;
        }
    }
    return 0;
}

bool onAlternateStack(std::uintptr_t address) {
    const auto low = reinterpret_cast<std::uintptr_t>(state.alternateStack);
    return address >= low && address < low + state.mappingSize;
}

// Sent signals (kill, raise, sigqueue) interrupt arbitrary code: throwing from
// there is unsound, and a report would describe no fault at all.
bool raisedByProcessor(const siginfo_t* info) {
    return info->si_code > 0;
}

// A fault we do not translate goes to whoever handled it before us (the
// default action, or a sanitizer's report). Memory and arithmetic faults
// repeat on return, so they reach that action by themselves; a trap does not.
void passOn(int signal, const siginfo_t* info) {
    sigaction(signal, &state.previousActions[signalIndex(signal)], nullptr);
    if (signal == SIGTRAP || !raisedByProcessor(info)) {
        raise(signal);
    }
}

void copyRegisters(const ucontext_t& context, FaultRegisters& out) {
    const greg_t* r = context.uc_mcontext.gregs;
    auto reg = [r](int index) { return static_cast<std::uint64_t>(r[index]); };
    out.rax = reg(REG_RAX);
    out.rbx = reg(REG_RBX);
    out.rcx = reg(REG_RCX);
    out.rdx = reg(REG_RDX);
    out.rsi = reg(REG_RSI);
    out.rdi = reg(REG_RDI);
    out.rbp = reg(REG_RBP);
    out.rsp = reg(REG_RSP);
    out.r8 = reg(REG_R8);
    out.r9 = reg(REG_R9);
    out.r10 = reg(REG_R10);
    out.r11 = reg(REG_R11);
    out.r12 = reg(REG_R12);
    out.r13 = reg(REG_R13);
    out.r14 = reg(REG_R14);
    out.r15 = reg(REG_R15);
    out.rip = reg(REG_RIP);
    out.eflags = reg(REG_EFL);
    // cs, gs, fs and (when flagged) ss share one slot, 16 bits each.
    const std::uint64_t segments = reg(REG_CSGSFS);
    out.cs = static_cast<std::uint16_t>(segments);
    out.gs = static_cast<std::uint16_t>(segments >> 16);
    out.fs = static_cast<std::uint16_t>(segments >> 32);
    out.ss = (context.uc_flags & kContextHasSs) ? static_cast<std::uint16_t>(segments >> 48) : 0;
}

struct FrameCollector {
    FaultInfo* fault;
    std::uintptr_t faultingPc;
    bool reachedFault;
};

// The walk starts inside this handler; frames before the interrupted one
// (handler, kernel trampoline) are not part of the report.
_Unwind_Reason_Code collectFrame(_Unwind_Context* context, void* argument) {
    auto& collector = *static_cast<FrameCollector*>(argument);
    int beforeInstruction = 0;
    const auto pc = static_cast<std::uintptr_t>(_Unwind_GetIPInfo(context, &beforeInstruction));
    if (pc == 0) {
        return _URC_END_OF_STACK;
    }
    FaultInfo& fault = *collector.fault;
    if (!collector.reachedFault) {
        collector.reachedFault = pc == collector.faultingPc;
        return _URC_NO_REASON;
    }
    if (fault.frameCount == kFaultFrameCapacity) {
        return _URC_END_OF_STACK;
    }
    fault.frames[fault.frameCount++] = pc;
    return _URC_NO_REASON;
}

void collectFrames(FaultInfo& fault) {
    fault.frames[0] = fault.instructionPointer;
    fault.frameCount = 1;
    FrameCollector collector{&fault, static_cast<std::uintptr_t>(fault.registers.rip), false};
    _Unwind_Backtrace(collectFrame, &collector);
}

void describeFault(int signal, const siginfo_t& info, const ucontext_t& context, FaultInfo& fault) {
    fault.signal = signal;
    fault.code = info.si_code;
    fault.faultAddress = reinterpret_cast<std::uintptr_t>(info.si_addr);
    copyRegisters(context, fault.registers);

    fault.instructionPointer = fault.registers.rip;
    // int3 leaves the instruction pointer after itself; the breakpoint is the byte before.
    if (signal == SIGTRAP && info.si_code == SI_KERNEL &&
        *reinterpret_cast<const unsigned char*>(fault.instructionPointer - 1) == kInt3) {
        fault.instructionPointer -= 1;
    }

    if (signal == SIGSEGV) {
        const greg_t* r = context.uc_mcontext.gregs;
        fault.write = r[REG_TRAPNO] == kPageFaultTrap && (r[REG_ERR] & kPageFaultWriteBit) != 0;
        fault.stackOverflow = state.stackLow != 0 &&
                              fault.faultAddress + kStackGuardSpan >= state.stackLow &&
                              fault.faultAddress < state.stackLow + state.pageSize;
    }
    collectFrames(fault);
}

// The kernel passes the faulting context's alignment-check flag on to the
// handler; the unwinder reads unaligned tables, and so does library code
// after the catch, so a fault under alignment checks would fault again.
void clearAlignmentCheck() {
    asm volatile("pushfq\n\tandl $~0x40000, (%%rsp)\n\tpopfq" ::: "cc");
}

void faultHandler(int signal, siginfo_t* info, void* rawContext) {
    clearAlignmentCheck();
    const auto& context = *static_cast<const ucontext_t*>(rawContext);
    const auto faultingSp = static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RSP]);
    // A fault while already on the alternate stack happened inside this
    // handler or the throw it started; translating again would only recurse.
    if (!state.translator || !raisedByProcessor(info) || gettid() != state.thread ||
        onAlternateStack(faultingSp)) {
        passOn(signal, info);
        return;
    }
    FaultInfo fault;
    describeFault(signal, *info, context, fault);
    state.translator(fault);
    // A translator that returns leaves nothing to resume to.
    passOn(signal, info);
}

std::uintptr_t lowestStackAddress() {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) {
        return 0;
    }
    void* address = nullptr;
    std::size_t size = 0;
    pthread_attr_getstack(&attributes, &address, &size);
    pthread_attr_destroy(&attributes);
    return reinterpret_cast<std::uintptr_t>(address);
}

_Unwind_Reason_Code ignoreFrame(_Unwind_Context*, void*) {
    return _URC_NO_REASON;
}

bool mapAlternateStack() {
    state.pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    state.mappingSize = kAlternateStackSize + state.pageSize;
    void* mapping = mmap(nullptr, state.mappingSize, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapping == MAP_FAILED) {
        return false;
    }
    state.alternateStack = static_cast<char*>(mapping);
    // Overflowing the alternate stack then kills the process instead of
    // silently writing over whatever lies below it.
    mprotect(state.alternateStack, state.pageSize, PROT_NONE);
    return true;
}

// The calling thread becomes the translated one, on the alternate stack. A
// forked child lands here too when it installs again: its main thread has a
// new id, and the inherited state still names the parent's.
void adoptCallingThread() {
    if (state.thread == gettid()) {
        return;
    }
    // The thread that had it before may still run on its stack, or may have
    // ended: AddressSanitizer unmaps the alternate stack of a thread that
    // ends, and the memory goes to its own bookkeeping. So each thread that
    // adopts gets a stack of its own.
    if (state.thread != 0 && !mapAlternateStack()) {
        return;
    }
    stack_t stack{};
    stack.ss_sp = state.alternateStack + state.pageSize;
    stack.ss_size = kAlternateStackSize;
    sigaltstack(&stack, nullptr);
    state.thread = gettid();
    state.stackLow = lowestStackAddress();
}

}  // namespace

void InstallFaultTranslator(FaultTranslator translator) {
    state.translator = translator;
    if (!state.installed) {
        if (!mapAlternateStack()) {
            return;
        }
        // The unwinder sets itself up on first use; do that here, not in a handler.
        _Unwind_Backtrace(ignoreFrame, nullptr);
        sigaltstack(nullptr, &state.previousAlternateStack);

        struct sigaction action {};
        action.sa_sigaction = faultHandler;
        // SA_NODEFER: the handler is left by a throw, never by sigreturn, so the
        // kernel would never take the signal out of the mask again.
        action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kSignalCount; ++i) {
            sigaction(kFaultSignals[i], &action, &state.previousActions[i]);
        }
        state.installed = true;
    }
    adoptCallingThread();
}

void RemoveFaultTranslator() {
    if (!state.installed) {
        return;
    }
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        sigaction(kFaultSignals[i], &state.previousActions[i], nullptr);
    }
    sigaltstack(&state.previousAlternateStack, nullptr);
    munmap(state.alternateStack, state.mappingSize);
    state = TranslatorState{};
}

}  // namespace vesta
