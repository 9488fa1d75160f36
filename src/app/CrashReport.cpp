#include "app/CrashReport.h"

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <elfutils/libdwfl.h>
#include <unistd.h>

#include "log/Log.h"

namespace vesta {
namespace {

struct NamedCode {
    std::uint32_t code;
    const char* name;
};

constexpr NamedCode kNamedCodes[] = {
    {kExceptionGuardPage, "GUARD_PAGE"},
    {kExceptionDatatypeMisalignment, "DATATYPE_MISALIGNMENT"},
    {kExceptionBreakpoint, "BREAKPOINT"},
    {kExceptionSingleStep, "SINGLE_STEP"},
    {kExceptionInPageError, "IN_PAGE_ERROR"},
    {0xC0000008, "INVALID_HANDLE"},
    {kExceptionIllegalInstruction, "ILLEGAL_INSTRUCTION"},
    {0xC0000025, "NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, "INVALID_DISPOSITION"},
    {kExceptionArrayBoundsExceeded, "ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, "FLT_DENORMAL_OPERAND"},
    {kExceptionFltDivideByZero, "FLT_DIVIDE_BY_ZERO"},
    {kExceptionFltInexactResult, "FLT_INEXACT_RESULT"},
    {kExceptionFltInvalidOperation, "FLT_INVALID_OPERATION"},
    {kExceptionFltOverflow, "FLT_OVERFLOW"},
    {0xC0000092, "FLT_STACK_CHECK"},
    {kExceptionFltUnderflow, "FLT_UNDERFLOW"},
    {kExceptionIntDivideByZero, "INT_DIVIDE_BY_ZERO"},
    {kExceptionIntOverflow, "INT_OVERFLOW"},
    {kExceptionPrivInstruction, "PRIV_INSTRUCTION"},
    {kExceptionStackOverflow, "STACK_OVERFLOW"},
};

// Longer (template) names are cut like a fixed symbol record would cut them.
constexpr std::size_t kSymbolNameCapacity = 512;

int symbolSessions = 0;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
    std::va_list args;
    va_start(args, pattern);
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, pattern, measure);
    va_end(measure);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::vsnprintf(text.data(), text.size() + 1, pattern, args);
    va_end(args);
    return text;
}

unsigned long address(std::uintptr_t value) {
    return static_cast<unsigned long>(value);
}

unsigned long long reg(std::uint64_t value) {
    return static_cast<unsigned long long>(value);
}

std::uint32_t floatingPointCode(int code) {
    switch (code) {
    case FPE_INTDIV:
        return kExceptionIntDivideByZero;
    case FPE_INTOVF:
        return kExceptionIntOverflow;
    case FPE_FLTDIV:
        return kExceptionFltDivideByZero;
    case FPE_FLTOVF:
        return kExceptionFltOverflow;
    case FPE_FLTUND:
        return kExceptionFltUnderflow;
    case FPE_FLTRES:
        return kExceptionFltInexactResult;
    case FPE_FLTSUB:
        return kExceptionArrayBoundsExceeded;
    default:  // FPE_FLTINV and the undiagnosed ones
        return kExceptionFltInvalidOperation;
    }
}

std::string demangled(const char* name) {
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string text = status == 0 && readable ? readable : name;
    std::free(readable);
    if (text.size() > kSymbolNameCapacity) {
        text.resize(kSymbolNameCapacity);
    }
    return text;
}

TracebackFrame symbolise(Dwfl* session, std::uintptr_t pc, bool returnAddress) {
    TracebackFrame frame;
    frame.address = pc;
    // A return address may already lie in the next function when the call was
    // the last instruction; the call itself is one byte earlier.
    const std::uintptr_t lookup = returnAddress ? pc - 1 : pc;
    Dwfl_Module* module = dwfl_addrmodule(session, lookup);
    if (!module) {
        return frame;
    }
    GElf_Off offset = 0;
    GElf_Sym symbol{};
    const char* name =
        dwfl_module_addrinfo(module, lookup, &offset, &symbol, nullptr, nullptr, nullptr);
    if (name && *name) {
        frame.symbol = demangled(name);
        frame.displacement = static_cast<std::uintptr_t>(offset) + (pc - lookup);
    }
    return frame;
}

// An empty list when the symbol library cannot read this process.
std::vector<TracebackFrame> symboliseFrames(const FaultInfo& fault) {
    // Build-id look-ups only: a crash report must not wait on a debuginfod server.
    Dwfl_Callbacks callbacks{};
    callbacks.find_elf = dwfl_linux_proc_find_elf;
    callbacks.find_debuginfo = dwfl_build_id_find_debuginfo;
    Dwfl* session = dwfl_begin(&callbacks);
    if (!session) {
        return {};
    }
    ++symbolSessions;
    std::vector<TracebackFrame> frames;
    if (dwfl_linux_proc_report(session, getpid()) == 0 &&
        dwfl_report_end(session, nullptr, nullptr) == 0) {
        for (std::size_t i = 0; i < fault.frameCount; ++i) {
            frames.push_back(symbolise(session, fault.frames[i], i > 0));
        }
    }
    dwfl_end(session);
    return frames;
}

}  // namespace

std::uint32_t ExceptionCode(const FaultInfo& fault) {
    switch (fault.signal) {
    case SIGSEGV:
        if (fault.stackOverflow) {
            return kExceptionStackOverflow;
        }
        return fault.code == SEGV_BNDERR ? kExceptionArrayBoundsExceeded
                                         : kExceptionAccessViolation;
    case SIGBUS:
        return fault.code == BUS_ADRALN ? kExceptionDatatypeMisalignment : kExceptionInPageError;
    case SIGFPE:
        return floatingPointCode(fault.code);
    case SIGILL:
        return fault.code == ILL_PRVOPC || fault.code == ILL_PRVREG ? kExceptionPrivInstruction
                                                                    : kExceptionIllegalInstruction;
    case SIGTRAP:
        // Debug registers and the trap flag both end in the single-step exception.
        return fault.code == TRAP_TRACE || fault.code == TRAP_HWBKPT || fault.code == TRAP_BRANCH
                   ? kExceptionSingleStep
                   : kExceptionBreakpoint;
    default:
        return 0;
    }
}

const char* ExceptionName(std::uint32_t code) {
    for (const NamedCode& entry : kNamedCodes) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return nullptr;
}

std::string Describe(const CSeException& exception) {
    const FaultInfo& fault = exception.Fault();
    if (exception.Code() == kExceptionAccessViolation) {
        return format(
            "Exception %s (0x%.8X) at address 0x%.8lX.\r\nTrying to %s address 0x%.8lX.\r\n",
            "ACCESS_VIOLATION", exception.Code(), address(fault.instructionPointer),
            fault.write ? "write" : "read", address(fault.faultAddress));
    }
    if (const char* name = ExceptionName(exception.Code())) {
        return format("Exception %s at address 0x%.8lX.", name, address(fault.instructionPointer));
    }
    return format("Unknown exception (0x%.8x).", exception.Code());
}

std::string RegisterDump(const CSeException& exception) {
    const FaultRegisters& r = exception.Fault().registers;
    return format("Registers      : RAX=%.16llx CS=%.4x RIP=%.16llx EFLGS=%.8llx\r\n"
                  "               : RBX=%.16llx SS=%.4x RSP=%.16llx RBP=%.16llx\r\n"
                  "               : RCX=%.16llx FS=%.4x RSI=%.16llx R8 =%.16llx\r\n"
                  "               : RDX=%.16llx GS=%.4x RDI=%.16llx R9 =%.16llx\r\n"
                  "               : R10=%.16llx R11=%.16llx R12=%.16llx\r\n"
                  "               : R13=%.16llx R14=%.16llx R15=%.16llx\r\n",
                  reg(r.rax), r.cs, reg(r.rip), reg(r.eflags), reg(r.rbx), r.ss, reg(r.rsp),
                  reg(r.rbp), reg(r.rcx), r.fs, reg(r.rsi), reg(r.r8), reg(r.rdx), r.gs, reg(r.rdi),
                  reg(r.r9), reg(r.r10), reg(r.r11), reg(r.r12), reg(r.r13), reg(r.r14),
                  reg(r.r15));
}

std::string FormatTraceback(const std::vector<TracebackFrame>& frames) {
    std::string text = "Traceback :\r\n\r\n";
    for (const TracebackFrame& frame : frames) {
        const std::string line =
            frame.symbol.empty()
                ? format("\t0x%08lX (Unknown symbol)\r\n", address(frame.address))
                : format("\t%s + %lX\r\n", frame.symbol.c_str(), address(frame.displacement));
        if (text.size() + line.size() >= kTracebackCapacity) {
            break;
        }
        text += line;
    }
    return text;
}

std::string Traceback(const CSeException& exception) {
    return FormatTraceback(symboliseFrames(exception.Fault()));
}

std::string CrashReportText(const CSeException& exception, bool traceEx) {
    if (!traceEx) {
        return "Unhandled exception : \r\n" + Describe(exception);
    }
    std::string text = Describe(exception);
    // Only the access-violation text ends its line; the registers start a new one.
    if (!text.ends_with("\r\n")) {
        text += "\r\n";
    }
    return text + RegisterDump(exception) + Traceback(exception);
}

int SymbolSessionsOpened() {
    return symbolSessions;
}

void TranslateFault(const FaultInfo& fault) {
    if (userErrorPending()) {
        throw CUserException(LastUserError());
    }
    throw CSeException(fault);
}

void InstallCrashTranslator() {
    InstallFaultTranslator(&TranslateFault);
}

}  // namespace vesta
