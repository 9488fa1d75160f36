// Processor faults of the main thread turned into CSeException (or the pending
// engine error), and the report texts built from them. The faults are real:
// each runs in a forked child that installs the translator, faults, catches
// and sends its report back through a pipe.

#include "app/CrashReport.h"

#include <cfenv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "log/Log.h"

// int3 at the very first byte of a function with unwind information, so the
// breakpoint's address is known exactly and the throw can leave through it.
asm(".pushsection .text\n"
    ".globl vestaBreakpointProbe\n"
    ".type vestaBreakpointProbe, @function\n"
    "vestaBreakpointProbe:\n"
    ".cfi_startproc\n"
    "int3\n"
    "ret\n"
    ".cfi_endproc\n"
    ".size vestaBreakpointProbe, .-vestaBreakpointProbe\n"
    ".popsection\n");
extern "C" void vestaBreakpointProbe();

namespace vesta::test {
namespace {

// ---- Faulting code -------------------------------------------------------
// The compiler must not see through these: a call it proves free of
// exceptions gets no entry in its caller's unwind tables, and the throw from
// the handler would end in std::terminate. Hence opaque data and calls through
// a volatile function pointer. The undefined-behaviour checks are off here
// because the faults are the point.

int* volatile nullTarget = nullptr;
int* volatile unmappedSource = reinterpret_cast<int*>(0x10);
volatile int zeroDivisor = 0;
volatile double zeroDouble = 0.0;
volatile int sink = 0;
volatile double doubleSink = 0.0;
volatile int* volatile truncatedPage = nullptr;

using Fault = void (*)();

[[gnu::noinline, gnu::no_sanitize_undefined]] void writeThroughNull() {
    *nullTarget = 1;
}

[[gnu::noinline, gnu::no_sanitize_undefined]] void readUnmappedAddress() {
    sink = *unmappedSource;
}

[[gnu::noinline, gnu::no_sanitize_undefined]] void divideByZero() {
    sink = 7 / zeroDivisor;
}

[[gnu::noinline]] void executeTrap() {
    __builtin_trap();
}

[[gnu::noinline]] void readTruncatedPage() {
    sink = *truncatedPage;
}

[[gnu::noinline]] void divideDoubleByZero() {
    doubleSink = 1.0 / zeroDouble;
}

// With the alignment-check flag set, the processor itself refuses the load.
[[gnu::noinline]] void loadMisalignedWithChecks() {
    alignas(8) static unsigned char bytes[16] = {};
    asm volatile("pushfq\n\t"
                 "orl $0x40000, (%%rsp)\n\t"
                 "popfq\n\t"
                 "movl (%0), %%eax\n\t"
                 "pushfq\n\t"
                 "andl $~0x40000, (%%rsp)\n\t"
                 "popfq"
                 :
                 : "r"(bytes + 1)
                 : "rax", "cc", "memory");
}

// Known values in the registers at the moment of a write to address 0.
[[gnu::noinline]] void writeWithKnownRegisters() {
    asm volatile("movabsq $0x1122334455667788, %%rax\n\t"
                 "movabsq $0x0123456789abcdef, %%rdx\n\t"
                 "movl $0, (%0)"
                 :
                 : "c"(nullTarget)
                 : "rax", "rdx", "memory");
}

[[gnu::noinline]] int recurse(int depth) {
    volatile char frame[256];
    frame[0] = static_cast<char>(depth);
    if (depth == INT_MAX) {
        return 0;
    }
    return recurse(depth + 1) + frame[0];  // not a tail call: every level keeps its frame
}

[[gnu::noinline]] void overflowStack() {
    sink = recurse(0);
}

[[gnu::noinline]] void callOpaque(Fault fault) {
    Fault volatile call = fault;
    call();
}

// ---- Child processes -----------------------------------------------------

constexpr int kCaughtSeException = 10;
constexpr int kCaughtUserException = 11;
constexpr int kNothingThrown = 12;
constexpr int kChecksPassed = 13;
constexpr int kChecksFailed = 14;

int reportPipe = -1;

void report(const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(reportPipe, text.data() + written, text.size() - written);
        if (n <= 0) {
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}

struct ChildResult {
    bool exited = false;
    int exitCode = -1;
    int signal = 0;  // the signal that killed it, or 0
    std::string report;
};

// `quiet` keeps a child's dying words (a sanitizer's report) out of the test log.
ChildResult runInChild(int (*body)(), bool quiet = false) {
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return {};
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        reportPipe = fds[1];
        if (quiet) {
            std::freopen("/dev/null", "w", stderr);
        }
        ResetLogState();
        _exit(body());
    }
    close(fds[1]);
    ChildResult result;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        result.report.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

int reportFault(Fault fault, bool traceEx) {
    InstallCrashTranslator();
    try {
        callOpaque(fault);
    } catch (const CSeException& exception) {
        report(CrashReportText(exception, traceEx));
        return kCaughtSeException;
    } catch (const CUserException& exception) {
        report(exception.Text());
        return kCaughtUserException;
    }
    return kNothingThrown;
}

std::string hex8(std::uintptr_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.8lX", static_cast<unsigned long>(value));
    return text;
}

// The address after "at address 0x" in a report; 0 when there is none.
std::uintptr_t reportedAddress(const std::string& text, std::size_t* digits = nullptr) {
    const std::string marker = "at address 0x";
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) {
        return 0;
    }
    const char* start = text.c_str() + at + marker.size();
    char* end = nullptr;
    const unsigned long value = std::strtoul(start, &end, 16);
    if (digits) {
        *digits = static_cast<std::size_t>(end - start);
    }
    return value;
}

// The faulting functions are small; the largest, recurse with AddressSanitizer's
// instrumentation, takes under 512 bytes.
template <typename Function>
bool inFunction(std::uintptr_t address, Function* function) {
    const auto start = reinterpret_cast<std::uintptr_t>(function);
    return address >= start && address < start + 512;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// ---- The description of real faults ---------------------------------------

TEST(FaultDescriptionTest, IntegerDivisionByZeroNamesTheCodeAndTheFaultingInstruction) {
    const ChildResult child = runInChild([] { return reportFault(divideByZero, false); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    const std::string prefix =
        "Unhandled exception : \r\nException INT_DIVIDE_BY_ZERO at address 0x";
    EXPECT_TRUE(startsWith(child.report, prefix)) << child.report;
    EXPECT_TRUE(endsWith(child.report, ".")) << child.report;
    std::size_t digits = 0;
    const std::uintptr_t address = reportedAddress(child.report, &digits);
    EXPECT_GE(digits, 8u);
    EXPECT_TRUE(inFunction(address, divideByZero)) << child.report;
    EXPECT_EQ(child.report, prefix + hex8(address) + ".");
}

TEST(FaultDescriptionTest, NullWriteGivesTheTwoLineAccessViolation) {
    const ChildResult child = runInChild([] { return reportFault(writeThroughNull, false); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    const std::uintptr_t address = reportedAddress(child.report);
    EXPECT_TRUE(inFunction(address, writeThroughNull)) << child.report;
    EXPECT_EQ(child.report, "Unhandled exception : \r\nException ACCESS_VIOLATION (0xC0000005) at "
                            "address 0x" +
                                hex8(address) + ".\r\nTrying to write address 0x00000000.\r\n");
}

TEST(FaultDescriptionTest, ReadOfAnUnmappedAddressSaysReadAndNamesTheAddress) {
    const ChildResult child = runInChild([] { return reportFault(readUnmappedAddress, false); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    EXPECT_TRUE(endsWith(child.report, ".\r\nTrying to read address 0x00000010.\r\n"))
        << child.report;
}

TEST(FaultDescriptionTest, TrapInstructionIsAnIllegalInstruction) {
    const ChildResult child = runInChild([] { return reportFault(executeTrap, false); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    EXPECT_TRUE(startsWith(child.report,
                           "Unhandled exception : \r\nException ILLEGAL_INSTRUCTION at address 0x"))
        << child.report;
    EXPECT_TRUE(inFunction(reportedAddress(child.report), executeTrap)) << child.report;
}

TEST(FaultDescriptionTest, Int3IsABreakpointAtTheInstructionItself) {
    const ChildResult child = runInChild([] { return reportFault(vestaBreakpointProbe, false); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    EXPECT_EQ(child.report, "Unhandled exception : \r\nException BREAKPOINT at address 0x" +
                                hex8(reinterpret_cast<std::uintptr_t>(&vestaBreakpointProbe)) +
                                ".");
}

TEST(FaultDescriptionTest, ReadBeyondATruncatedMappingIsAnInPageError) {
    const ChildResult child = runInChild([] {
        const int file = memfd_create("vesta-truncated", 0);
        const long page = sysconf(_SC_PAGESIZE);
        if (file < 0 || ftruncate(file, page) != 0) {
            return kChecksFailed;
        }
        void* mapping =
            mmap(nullptr, static_cast<std::size_t>(page), PROT_READ, MAP_SHARED, file, 0);
        if (mapping == MAP_FAILED || ftruncate(file, 0) != 0) {
            return kChecksFailed;
        }
        truncatedPage = static_cast<volatile int*>(mapping);
        return reportFault(readTruncatedPage, false);
    });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    EXPECT_TRUE(
        startsWith(child.report, "Unhandled exception : \r\nException IN_PAGE_ERROR at address 0x"))
        << child.report;
    EXPECT_TRUE(inFunction(reportedAddress(child.report), readTruncatedPage)) << child.report;
}

TEST(FaultDescriptionTest, FloatingDivisionByZeroWithTheTrapUnmasked) {
    const ChildResult child = runInChild([] {
        feenableexcept(FE_DIVBYZERO);
        const int outcome = reportFault(divideDoubleByZero, false);
        fedisableexcept(FE_ALL_EXCEPT);
        std::feclearexcept(FE_ALL_EXCEPT);
        return outcome;
    });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    EXPECT_TRUE(startsWith(child.report,
                           "Unhandled exception : \r\nException FLT_DIVIDE_BY_ZERO at address 0x"))
        << child.report;
    EXPECT_TRUE(inFunction(reportedAddress(child.report), divideDoubleByZero)) << child.report;
}

TEST(FaultDescriptionTest, MisalignedLoadUnderAlignmentChecksIsADatatypeMisalignment) {
#ifndef __OPTIMIZE__
    // Unoptimised code makes misaligned stack accesses of its own in the
    // handler's prologue, before the flag can be cleared.
    GTEST_SKIP() << "needs an optimised build";
#endif
    const ChildResult child =
        runInChild([] { return reportFault(loadMisalignedWithChecks, false); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report << " signal " << child.signal;
    EXPECT_TRUE(startsWith(
        child.report, "Unhandled exception : \r\nException DATATYPE_MISALIGNMENT at address 0x"))
        << child.report;
}

TEST(FaultDescriptionTest, RunawayRecursionIsAStackOverflow) {
    const ChildResult child = runInChild([] { return reportFault(overflowStack, false); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    EXPECT_TRUE(startsWith(child.report,
                           "Unhandled exception : \r\nException STACK_OVERFLOW at address 0x"))
        << child.report;
    EXPECT_TRUE(inFunction(reportedAddress(child.report), &recurse)) << child.report;
}

// ---- The translator ------------------------------------------------------

TEST(FaultTranslatorTest, FaultAfterAnEngineErrorBecomesThatError) {
    const ChildResult child = runInChild([] {
        try {
            RaiseError("Could not find any layer named [%s].", "Intro");
        } catch (const CUserException&) {
            // The entry point has not caught it yet when the fault comes.
        }
        return reportFault(writeThroughNull, true);
    });
    ASSERT_EQ(child.exitCode, kCaughtUserException) << child.report;
    EXPECT_EQ(child.report, "Could not find any layer named [Intro].");
}

TEST(FaultTranslatorTest, LaterFaultsAreCaughtAgainWithTheSignalMaskUnchanged) {
    const ChildResult child = runInChild([] {
        InstallCrashTranslator();
        sigset_t before;
        sigprocmask(SIG_SETMASK, nullptr, &before);
        const Fault faults[] = {writeThroughNull,     divideByZero,  writeThroughNull, executeTrap,
                                vestaBreakpointProbe, overflowStack, writeThroughNull};
        int caught = 0;
        for (Fault fault : faults) {
            try {
                callOpaque(fault);
            } catch (const CSeException&) {
                ++caught;
            }
        }
        sigset_t after;
        sigprocmask(SIG_SETMASK, nullptr, &after);
        bool sameMask = true;
        for (int signal = 1; signal < NSIG; ++signal) {
            sameMask = sameMask && sigismember(&before, signal) == sigismember(&after, signal);
        }
        stack_t stack{};
        sigaltstack(nullptr, &stack);
        const bool offAlternateStack = (stack.ss_flags & SS_ONSTACK) == 0;
        report("caught " + std::to_string(caught) + (sameMask ? " same mask" : " changed mask") +
               (offAlternateStack ? " off the alternate stack" : " still on the alternate stack"));
        return caught == 7 && sameMask && offAlternateStack ? kChecksPassed : kChecksFailed;
    });
    EXPECT_EQ(child.exitCode, kChecksPassed);
    EXPECT_EQ(child.report, "caught 7 same mask off the alternate stack");
}

TEST(FaultTranslatorTest, FaultOfAnotherThreadIsNotTranslated) {
    const ChildResult child = runInChild(
        [] {
            InstallCrashTranslator();
            std::thread worker([] {
                try {
                    callOpaque(writeThroughNull);
                } catch (const CSeException&) {
                    report("translated on the worker");
                }
            });
            worker.join();
            return kNothingThrown;
        },
        true);
    EXPECT_EQ(child.report, "");
    // Killed by the signal, or (under AddressSanitizer) by its report.
    EXPECT_TRUE(child.signal == SIGSEGV || (child.exited && child.exitCode == 1))
        << child.exitCode << " " << child.signal;
}

TEST(FaultTranslatorTest, ForkedChildOfAnInstalledProcessTranslatesOnceItInstallsAgain) {
    const ChildResult child = runInChild([] {
        InstallCrashTranslator();
        const ChildResult grandchild = runInChild([] { return reportFault(divideByZero, false); });
        report(grandchild.report);
        return grandchild.exitCode;
    });
    EXPECT_EQ(child.exitCode, kCaughtSeException) << child.report;
    EXPECT_TRUE(startsWith(child.report,
                           "Unhandled exception : \r\nException INT_DIVIDE_BY_ZERO at address 0x"))
        << child.report;
}

TEST(FaultTranslatorTest, SentSignalIsNotTranslated) {
    const ChildResult child = runInChild([] {
        InstallCrashTranslator();
        try {
            raise(SIGTRAP);
        } catch (const CSeException&) {
            return kCaughtSeException;
        }
        return kNothingThrown;
    });
    EXPECT_EQ(child.signal, SIGTRAP);
}

TEST(FaultTranslatorTest, RemovingRestoresThePreviousActions) {
    const ChildResult child = runInChild([] {
        struct sigaction original {
        }, installed{}, removed{};
        RemoveFaultTranslator();  // whatever the test program installed before the fork
        sigaction(SIGSEGV, nullptr, &original);
        InstallCrashTranslator();
        sigaction(SIGSEGV, nullptr, &installed);
        RemoveFaultTranslator();
        sigaction(SIGSEGV, nullptr, &removed);
        const bool changed = installed.sa_sigaction != original.sa_sigaction;
        const bool restored = removed.sa_sigaction == original.sa_sigaction;
        return changed && restored ? kChecksPassed : kChecksFailed;
    });
    EXPECT_EQ(child.exitCode, kChecksPassed);
}

// ---- TraceEx -------------------------------------------------------------

TEST(TraceExReportTest, CarriesTheRegistersAndATracebackThroughTheFaultingFrames) {
    const ChildResult child = runInChild([] { return reportFault(writeWithKnownRegisters, true); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    const std::string& text = child.report;
    const std::uintptr_t address = reportedAddress(text);
    EXPECT_TRUE(startsWith(text, "Exception ACCESS_VIOLATION (0xC0000005) at address 0x" +
                                     hex8(address) +
                                     ".\r\nTrying to write address 0x00000000.\r\n"
                                     "Registers      : RAX=1122334455667788 CS="))
        << text;
    char rip[32];
    std::snprintf(rip, sizeof rip, "RIP=%.16lx", static_cast<unsigned long>(address));
    EXPECT_NE(text.find(rip), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n               : RCX=0000000000000000 "), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n               : RDX=0123456789abcdef "), std::string::npos) << text;

    const std::size_t traceback = text.find("Traceback :\r\n\r\n");
    ASSERT_NE(traceback, std::string::npos) << text;
    const std::string frames = text.substr(traceback);
    EXPECT_TRUE(startsWith(frames, "Traceback :\r\n\r\n\tvesta::test::(anonymous "
                                   "namespace)::writeWithKnownRegisters() + "))
        << frames;
    EXPECT_NE(frames.find("\r\n\tvesta::test::(anonymous namespace)::reportFault("),
              std::string::npos)
        << frames;
    EXPECT_LT(frames.size(), kTracebackCapacity);
}

TEST(TraceExReportTest, StackOverflowTracebackStaysWithinItsBuffer) {
    const ChildResult child = runInChild([] { return reportFault(overflowStack, true); });
    ASSERT_EQ(child.exitCode, kCaughtSeException) << child.report;
    const std::size_t traceback = child.report.find("Traceback :\r\n\r\n");
    ASSERT_NE(traceback, std::string::npos) << child.report;
    const std::string frames = child.report.substr(traceback);
    EXPECT_LT(frames.size(), kTracebackCapacity);
    EXPECT_GT(frames.size(), kTracebackCapacity - 200) << frames;
    EXPECT_NE(frames.find("\tvesta::test::(anonymous namespace)::recurse(int) + "),
              std::string::npos);
    EXPECT_TRUE(endsWith(frames, "\r\n"));
}

// ---- Texts of synthetic exceptions ---------------------------------------

FaultInfo faultAt(std::uintptr_t instruction) {
    FaultInfo fault;
    fault.instructionPointer = instruction;
    fault.registers.rip = instruction;
    fault.frames[0] = instruction;
    fault.frameCount = 1;
    return fault;
}

[[gnu::noinline]] int knownFunction(int value) {
    sink = value;
    sink = sink * 3 + 1;
    return sink;
}

TEST(DescribeTest, EveryCodeOfTheTableIsNamedWithTheFaultingAddress) {
    const std::pair<std::uint32_t, const char*> table[] = {
        {0x80000001, "GUARD_PAGE"},           {0x80000002, "DATATYPE_MISALIGNMENT"},
        {0x80000003, "BREAKPOINT"},           {0x80000004, "SINGLE_STEP"},
        {0xC0000006, "IN_PAGE_ERROR"},        {0xC0000008, "INVALID_HANDLE"},
        {0xC000001D, "ILLEGAL_INSTRUCTION"},  {0xC0000025, "NONCONTINUABLE_EXCEPTION"},
        {0xC0000026, "INVALID_DISPOSITION"},  {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"},
        {0xC000008D, "FLT_DENORMAL_OPERAND"}, {0xC000008E, "FLT_DIVIDE_BY_ZERO"},
        {0xC000008F, "FLT_INEXACT_RESULT"},   {0xC0000090, "FLT_INVALID_OPERATION"},
        {0xC0000091, "FLT_OVERFLOW"},         {0xC0000092, "FLT_STACK_CHECK"},
        {0xC0000093, "FLT_UNDERFLOW"},        {0xC0000094, "INT_DIVIDE_BY_ZERO"},
        {0xC0000095, "INT_OVERFLOW"},         {0xC0000096, "PRIV_INSTRUCTION"},
        {0xC00000FD, "STACK_OVERFLOW"},
    };
    for (const auto& [code, name] : table) {
        EXPECT_EQ(Describe(CSeException(code, faultAt(0x0040100A))),
                  std::string("Exception ") + name + " at address 0x0040100A.");
    }
}

TEST(DescribeTest, AddressesTakeAtLeastEightDigitsAndMoreWhenNeeded) {
    EXPECT_EQ(Describe(CSeException(kExceptionBreakpoint, faultAt(0x1234))),
              "Exception BREAKPOINT at address 0x00001234.");
    EXPECT_EQ(Describe(CSeException(kExceptionBreakpoint, faultAt(0x7FFE12345678))),
              "Exception BREAKPOINT at address 0x7FFE12345678.");
}

TEST(DescribeTest, AccessViolationNamesTheAccessAndItsAddress) {
    FaultInfo fault = faultAt(0x00401000);
    fault.signal = SIGSEGV;
    fault.faultAddress = 0xDEADBEEF;
    EXPECT_EQ(Describe(CSeException(fault)),
              "Exception ACCESS_VIOLATION (0xC0000005) at address 0x00401000.\r\n"
              "Trying to read address 0xDEADBEEF.\r\n");
    fault.write = true;
    EXPECT_EQ(Describe(CSeException(fault)),
              "Exception ACCESS_VIOLATION (0xC0000005) at address 0x00401000.\r\n"
              "Trying to write address 0xDEADBEEF.\r\n");
}

TEST(DescribeTest, UnknownCodeShowsTheCodeInClosedParentheses) {
    EXPECT_EQ(Describe(CSeException(0xE06D7363, faultAt(0x1000))),
              "Unknown exception (0xe06d7363).");
    EXPECT_EQ(ExceptionName(0xE06D7363), nullptr);
}

TEST(ExceptionCodeTest, SignalAndItsCodeChooseTheException) {
    struct Case {
        int signal;
        int code;
        bool stackOverflow;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {SIGSEGV, SEGV_MAPERR, false, kExceptionAccessViolation},
        {SIGSEGV, SEGV_ACCERR, false, kExceptionAccessViolation},
        {SIGSEGV, SI_KERNEL, false, kExceptionAccessViolation},
        {SIGSEGV, SEGV_MAPERR, true, kExceptionStackOverflow},
        {SIGSEGV, SEGV_BNDERR, false, kExceptionArrayBoundsExceeded},
        {SIGBUS, BUS_ADRALN, false, kExceptionDatatypeMisalignment},
        {SIGBUS, BUS_ADRERR, false, kExceptionInPageError},
        {SIGBUS, BUS_OBJERR, false, kExceptionInPageError},
        {SIGFPE, FPE_INTDIV, false, kExceptionIntDivideByZero},
        {SIGFPE, FPE_INTOVF, false, kExceptionIntOverflow},
        {SIGFPE, FPE_FLTDIV, false, kExceptionFltDivideByZero},
        {SIGFPE, FPE_FLTOVF, false, kExceptionFltOverflow},
        {SIGFPE, FPE_FLTUND, false, kExceptionFltUnderflow},
        {SIGFPE, FPE_FLTRES, false, kExceptionFltInexactResult},
        {SIGFPE, FPE_FLTINV, false, kExceptionFltInvalidOperation},
        {SIGFPE, FPE_FLTSUB, false, kExceptionArrayBoundsExceeded},
        {SIGILL, ILL_ILLOPC, false, kExceptionIllegalInstruction},
        {SIGILL, ILL_ILLOPN, false, kExceptionIllegalInstruction},
        {SIGILL, ILL_PRVOPC, false, kExceptionPrivInstruction},
        {SIGILL, ILL_PRVREG, false, kExceptionPrivInstruction},
        {SIGTRAP, TRAP_BRKPT, false, kExceptionBreakpoint},
        {SIGTRAP, SI_KERNEL, false, kExceptionBreakpoint},
        {SIGTRAP, TRAP_TRACE, false, kExceptionSingleStep},
        {SIGTRAP, TRAP_HWBKPT, false, kExceptionSingleStep},
    };
    for (const Case& c : cases) {
        FaultInfo fault;
        fault.signal = c.signal;
        fault.code = c.code;
        fault.stackOverflow = c.stackOverflow;
        EXPECT_EQ(ExceptionCode(fault), c.expected) << "signal " << c.signal << " code " << c.code;
    }
}

TEST(RegisterDumpTest, RowsFollowTheContextInOrder) {
    FaultInfo fault;
    FaultRegisters& r = fault.registers;
    r.rax = 0xA;
    r.rbx = 0xB;
    r.rcx = 0xC;
    r.rdx = 0xD;
    r.rsi = 0x51;
    r.rdi = 0xD1;
    r.rbp = 0xB9;
    r.rsp = 0x59;
    r.r8 = 8;
    r.r9 = 9;
    r.r10 = 10;
    r.r11 = 11;
    r.r12 = 12;
    r.r13 = 13;
    r.r14 = 14;
    r.r15 = 0xFFFFFFFFFFFFFFFF;
    r.rip = 0x401000;
    r.eflags = 0x10246;
    r.cs = 0x33;
    r.ss = 0x2B;
    r.fs = 0x1;
    r.gs = 0x2;
    EXPECT_EQ(
        RegisterDump(CSeException(kExceptionBreakpoint, fault)),
        "Registers      : RAX=000000000000000a CS=0033 RIP=0000000000401000 EFLGS=00010246\r\n"
        "               : RBX=000000000000000b SS=002b RSP=0000000000000059 "
        "RBP=00000000000000b9\r\n"
        "               : RCX=000000000000000c FS=0001 RSI=0000000000000051 R8 "
        "=0000000000000008\r\n"
        "               : RDX=000000000000000d GS=0002 RDI=00000000000000d1 R9 "
        "=0000000000000009\r\n"
        "               : R10=000000000000000a R11=000000000000000b R12=000000000000000c\r\n"
        "               : R13=000000000000000d R14=000000000000000e R15=ffffffffffffffff\r\n");
}

TEST(TracebackTest, FramesGetSymbolNamesWithDisplacements) {
    const auto start = reinterpret_cast<std::uintptr_t>(&knownFunction);
    FaultInfo fault = faultAt(start + 3);
    fault.frames[1] = start + 5;  // a return address: looked up one byte earlier
    fault.frames[2] = 0x10;
    fault.frameCount = 3;
    EXPECT_EQ(Traceback(CSeException(kExceptionBreakpoint, fault)),
              "Traceback :\r\n\r\n"
              "\tvesta::test::(anonymous namespace)::knownFunction(int) + 3\r\n"
              "\tvesta::test::(anonymous namespace)::knownFunction(int) + 5\r\n"
              "\t0x00000010 (Unknown symbol)\r\n");
}

TEST(TracebackTest, TextIsCutAfterTheLastWholeLineThatFits) {
    const TracebackFrame frame{0x401000, "deepFunction", 0x1F};
    const std::string line = "\tdeepFunction + 1F\r\n";  // 20 bytes
    const std::string heading = "Traceback :\r\n\r\n";   // 15 bytes
    const std::string text = FormatTraceback(std::vector<TracebackFrame>(1000, frame));
    const std::size_t fitting = (kTracebackCapacity - 1 - heading.size()) / line.size();
    std::string expected = heading;
    for (std::size_t i = 0; i < fitting; ++i) {
        expected += line;
    }
    EXPECT_EQ(text, expected);
    EXPECT_LT(text.size(), kTracebackCapacity);

    // A line that fills the buffer exactly up to its terminator is kept.
    TracebackFrame filler{0, std::string(kTracebackCapacity - 1 - heading.size() - 7, 'f'), 0};
    const std::string full = FormatTraceback({filler});  // "\t" + name + " + 0\r\n"
    EXPECT_EQ(full.size(), kTracebackCapacity - 1);
    filler.symbol += 'f';
    EXPECT_EQ(FormatTraceback({filler}), heading);
}

TEST(TracebackTest, UnknownFramesShowTheirAddress) {
    const std::vector<TracebackFrame> frames = {{0xBEEF, "", 0}, {0x7FFE12345678, "", 0}};
    EXPECT_EQ(FormatTraceback(frames), "Traceback :\r\n\r\n"
                                       "\t0x0000BEEF (Unknown symbol)\r\n"
                                       "\t0x7FFE12345678 (Unknown symbol)\r\n");
}

TEST(CrashReportTextTest, WithoutTraceExTheDescriptionFollowsTheHeadingAndNoSymbolsAreRead) {
    const CSeException exception(kExceptionIntDivideByZero, faultAt(0x401000));
    const int sessions = SymbolSessionsOpened();
    EXPECT_EQ(CrashReportText(exception, false),
              "Unhandled exception : \r\nException INT_DIVIDE_BY_ZERO at address 0x00401000.");
    EXPECT_EQ(SymbolSessionsOpened(), sessions);
    CrashReportText(exception, true);
    EXPECT_EQ(SymbolSessionsOpened(), sessions + 1);
}

TEST(CrashReportTextTest, WithTraceExTheRegistersStartOnTheirOwnLine) {
    const CSeException exception(kExceptionIntDivideByZero, faultAt(0x401000));
    const std::string text = CrashReportText(exception, true);
    EXPECT_TRUE(startsWith(text, "Exception INT_DIVIDE_BY_ZERO at address 0x00401000.\r\n"
                                 "Registers      : RAX="))
        << text;
    EXPECT_NE(text.find(RegisterDump(exception) + "Traceback :\r\n\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vesta::test
