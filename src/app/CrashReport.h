#pragma once
// The crash report: processor faults of the main thread become CSeException
// (or, after an engine error, that error's CUserException), and their texts
// for the error dialog.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FaultSignals.h"

namespace vesta {

// The exception codes of the report, numbered like the Win32 EXCEPTION_ codes.
inline constexpr std::uint32_t kExceptionGuardPage = 0x80000001;
inline constexpr std::uint32_t kExceptionDatatypeMisalignment = 0x80000002;
inline constexpr std::uint32_t kExceptionBreakpoint = 0x80000003;
inline constexpr std::uint32_t kExceptionSingleStep = 0x80000004;
inline constexpr std::uint32_t kExceptionAccessViolation = 0xC0000005;
inline constexpr std::uint32_t kExceptionInPageError = 0xC0000006;
inline constexpr std::uint32_t kExceptionIllegalInstruction = 0xC000001D;
inline constexpr std::uint32_t kExceptionArrayBoundsExceeded = 0xC000008C;
inline constexpr std::uint32_t kExceptionFltDivideByZero = 0xC000008E;
inline constexpr std::uint32_t kExceptionFltInexactResult = 0xC000008F;
inline constexpr std::uint32_t kExceptionFltInvalidOperation = 0xC0000090;
inline constexpr std::uint32_t kExceptionFltOverflow = 0xC0000091;
inline constexpr std::uint32_t kExceptionFltUnderflow = 0xC0000093;
inline constexpr std::uint32_t kExceptionIntDivideByZero = 0xC0000094;
inline constexpr std::uint32_t kExceptionIntOverflow = 0xC0000095;
inline constexpr std::uint32_t kExceptionPrivInstruction = 0xC0000096;
inline constexpr std::uint32_t kExceptionStackOverflow = 0xC00000FD;

// The code of a fault, from its signal and si_code.
std::uint32_t ExceptionCode(const FaultInfo& fault);

// The name of a code of the report's table ("INT_DIVIDE_BY_ZERO"), or nullptr.
const char* ExceptionName(std::uint32_t code);

class CSeException {
public:
    explicit CSeException(const FaultInfo& fault) : m_code(ExceptionCode(fault)), m_fault(fault) {}
    CSeException(std::uint32_t code, const FaultInfo& fault) : m_code(code), m_fault(fault) {}

    std::uint32_t Code() const { return m_code; }
    const FaultInfo& Fault() const { return m_fault; }

private:
    std::uint32_t m_code;
    FaultInfo m_fault;
};

std::string Describe(const CSeException& exception);
std::string RegisterDump(const CSeException& exception);
// Symbolises the frames recorded at the fault; opens the symbol library.
std::string Traceback(const CSeException& exception);

// The dialog text: the description alone, or with "TraceEx" the description,
// registers and traceback.
std::string CrashReportText(const CSeException& exception, bool traceEx);

// One symbolised frame; an empty symbol is an address without one.
struct TracebackFrame {
    std::uintptr_t address = 0;
    std::string symbol;
    std::uintptr_t displacement = 0;
};

// The traceback text of these frames, cut after the last whole frame line that
// keeps it below kTracebackCapacity bytes.
inline constexpr std::size_t kTracebackCapacity = 4096;
std::string FormatTraceback(const std::vector<TracebackFrame>& frames);

// How many times the symbol library has been opened in this process; for tests.
int SymbolSessionsOpened();

// The translator: throws CUserException when an engine error is pending,
// CSeException otherwise.
[[noreturn]] void TranslateFault(const FaultInfo& fault);

// Installs TranslateFault for the calling (main) thread.
void InstallCrashTranslator();

}  // namespace vesta
