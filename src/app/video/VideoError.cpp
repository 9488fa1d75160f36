#include "app/video/VideoError.h"

#include <cstdarg>
#include <cstdio>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace vesta {
namespace {

constexpr std::size_t kNoteCapacity = 400;

// Per thread: the recorder's encoder thread keeps its own.
thread_local std::string t_ffmpegNote;

void noteMessage(void*, int level, const char* format, std::va_list args) {
    if (level > AV_LOG_ERROR || t_ffmpegNote.size() >= kNoteCapacity) {
        return;
    }
    char line[kNoteCapacity];
    std::vsnprintf(line, sizeof line, format, args);
    std::string text = line;
    for (char& c : text) {
        if (c == '\n') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (!text.empty()) {
        t_ffmpegNote += (t_ffmpegNote.empty() ? "" : " ") + text;
    }
}

}  // namespace

VideoError VideoError::PlacedIn(const std::string& fileName) const {
    if (m_placed) {
        return *this;
    }
    std::string text = Text() + " [" + fileName + "]";
    if (!m_detail.empty()) {
        text += ": " + m_detail;
    }
    return VideoError(std::move(text), m_detail, true);
}

void CaptureFfmpegMessages() {
    static const bool once = [] {
        av_log_set_level(AV_LOG_ERROR);
        av_log_set_callback(noteMessage);
        return true;
    }();
    (void)once;
}

void ForgetFfmpegMessages() {
    t_ffmpegNote.clear();
}

void ThrowVideoError(const std::string& text, std::string detail) {
    throw VideoError(text, std::move(detail));
}

void ThrowFfmpegError(const std::string& text, const std::string& detail, int code) {
    std::string reason = FfmpegErrorText(code);
    if (!t_ffmpegNote.empty()) {
        reason += ": " + t_ffmpegNote.substr(0, kNoteCapacity);
        t_ffmpegNote.clear();
    }
    throw VideoError(text, detail + " (" + reason + ")");
}

std::string FfmpegErrorText(int code) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return buffer;
}

void LogVideoError(const VideoError& error) {
    if (!error.Detail().empty()) {
        LogPrintf("VideoForWindows : %s", error.Detail().c_str());
    }
}

}  // namespace vesta
