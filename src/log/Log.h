#pragma once
// The engine's log and its two error channels.
//
// LogPrintf   a line for "Logging.txt" (when open) and the log sink (when set).
// AppLog      a line for the log window only.
// RaiseError  an engine error: logged, kept in the shared error buffer, thrown
//             as CUserException; userErrorPending() tells it happened.
// RaiseAppError  an application error: the formatted text thrown as CAppError.

#include <cstddef>
#include <string>

#include "platform/EngineError.h"

namespace vesta {

class CLogWindow;

// Thrown by RaiseError: a copy of the error buffer's text.
class CUserException : public CEngineError {
public:
    explicit CUserException(const char* text) : CEngineError(text) {}
    const char* Text() const { return m_text.c_str(); }
};

// Thrown by RaiseAppError (and by other application-level failures): a text.
class CAppError : public CEngineError {
public:
    explicit CAppError(std::string text) : CEngineError(std::move(text)) {}
    const std::string& Text() const { return m_text; }
};

using LogSinkFunction = void (*)(void* context, const char* line);

inline constexpr std::size_t kLogLineCapacity = 1024;  // LogPrintf's buffer, NUL included
inline constexpr std::size_t kErrorBufferCapacity = 2048;

void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void AppLog(CLogWindow* window, const char* format, ...) __attribute__((format(printf, 2, 3)));
[[noreturn]] void RaiseError(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void RaiseAppError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A problem the user should hear of even without a log file: standard error
// ("vesta: warning: ...") and the log.
void WarnPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Opens (creating empty) the log file; returns false when it cannot be created.
bool OpenLogFile(const char* name);
void CloseLogFile();
bool LogFileOpen();

void SetLogSink(LogSinkFunction function, void* context);

// Set once RaiseError ran; the crash translator and the entry point read it.
bool userErrorPending();
const char* LastUserError();

// Debug output (standard error), on only when the configuration enables debugging.
void SetDebugOutput(bool enabled);
void DebugOutput(const char* text);

// Clears every piece of process-wide log state; for tests.
void ResetLogState();

}  // namespace vesta
