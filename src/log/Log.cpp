#include "log/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "log/LogWindow.h"
#include "log/MessageLines.h"
#include "log/WarningEcho.h"
#include "platform/Clock.h"

namespace vesta {
namespace {

struct LogState {
    std::FILE* file = nullptr;
    LogSinkFunction sinkFunction = nullptr;
    void* sinkContext = nullptr;
    bool userErrorPending = false;
    bool debugOutput = false;
    bool warningsToStandardError = true;
    char errorBuffer[kErrorBufferCapacity] = {};
};

LogState& state() {
    static LogState log;
    return log;
}

// vsnprintf truncates messages longer than the buffer, which is the intended limit.
__attribute__((format(printf, 3, 0))) void formatInto(char* buffer, std::size_t capacity,
                                                      const char* format, std::va_list args) {
    std::vsnprintf(buffer, capacity, format, args);
}

void writeLogLine(const char* text) {
    std::fputs(text, state().file);
    std::fputc('\n', state().file);
    std::fflush(state().file);
}

}  // namespace

void LogPrintf(const char* format, ...) {
    char line[kLogLineCapacity];
    std::va_list args;
    va_start(args, format);
    formatInto(line, sizeof line, format, args);
    va_end(args);

    LogState& log = state();
    if (log.file) {
        // The time stamp uses the default format of a float: six significant digits.
        std::fprintf(log.file, "%g\t: %s\n", static_cast<double>(static_cast<float>(TimeNow())),
                     line);
        std::fflush(log.file);
    }
    if (log.sinkFunction) {
        log.sinkFunction(log.sinkContext, line);
    }
}

void WarnPrintf(const char* format, ...) {
    char line[kLogLineCapacity];
    std::va_list args;
    va_start(args, format);
    formatInto(line, sizeof line, format, args);
    va_end(args);
    // Callers that spell "Warning :" themselves would otherwise read it twice.
    const std::string text(WithoutWarningWord(line));
    if (state().warningsToStandardError) {
        std::fprintf(stderr, "vesta: warning: %s\n", IndentFollowingLines(text).c_str());
    }
    LogPrintf("Warning : %s", text.c_str());
}

void SetWarningsToStandardError(bool enabled) {
    state().warningsToStandardError = enabled;
}

void AppLog(CLogWindow* window, const char* format, ...) {
    if (!window) {
        return;
    }
    char line[kLogLineCapacity];
    std::va_list args;
    va_start(args, format);
    formatInto(line, sizeof line, format, args);
    va_end(args);
    window->Append(line);
}

void RaiseError(const char* format, ...) {
    LogState& log = state();
    std::va_list args;
    va_start(args, format);
    formatInto(log.errorBuffer, sizeof log.errorBuffer, format, args);
    va_end(args);

    DebugOutput(log.errorBuffer);
    log.userErrorPending = true;
    if (log.file) {
        writeLogLine("------------ Exception -------------");
        writeLogLine("");
        writeLogLine(log.errorBuffer);
        writeLogLine("------------------------------------");
    }
    throw CUserException(log.errorBuffer);
}

void RaiseAppError(const char* format, ...) {
    char text[kErrorBufferCapacity];
    std::va_list args;
    va_start(args, format);
    formatInto(text, sizeof text, format, args);
    va_end(args);
    DebugOutput(text);
    throw CAppError(text);
}

bool OpenLogFile(const char* name) {
    CloseLogFile();
    state().file = std::fopen(name, "w");
    return state().file != nullptr;
}

void CloseLogFile() {
    if (state().file) {
        std::fclose(state().file);
        state().file = nullptr;
    }
}

bool LogFileOpen() {
    return state().file != nullptr;
}

void SetLogSink(LogSinkFunction function, void* context) {
    state().sinkFunction = function;
    state().sinkContext = context;
}

bool userErrorPending() {
    return state().userErrorPending;
}

const char* LastUserError() {
    return state().errorBuffer;
}

void SetDebugOutput(bool enabled) {
    state().debugOutput = enabled;
}

void DebugOutput(const char* text) {
    if (state().debugOutput) {
        std::fprintf(stderr, "vesta: debug: %s\n", text);
    }
}

void ResetLogState() {
    CloseLogFile();
    LogState& log = state();
    log.sinkFunction = nullptr;
    log.sinkContext = nullptr;
    log.userErrorPending = false;
    log.debugOutput = false;
    log.warningsToStandardError = true;
    log.errorBuffer[0] = '\0';
}

}  // namespace vesta
