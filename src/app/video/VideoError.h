#pragma once
// Failures of the video writer: the text the error dialog shows, plus the
// reason FFmpeg gave, which belongs in the log only.

#include <string>

#include "log/Log.h"

namespace vesta {

inline constexpr const char* kCantOpenFile = "VideoForWindows : Can't open file.";
inline constexpr const char* kCantCreateVideoStream =
    "VideoForWindows : Can't create video stream.";
inline constexpr const char* kCantCreateCompressedStream =
    "VideoForWindows : Can't create compressed stream.";
inline constexpr const char* kCantSetStreamFormat = "VideoForWindows : Can't set stream format.";
inline constexpr const char* kCantCreateAudioStream =
    "VideoForWindows : Can't create audio stream.";
inline constexpr const char* kCantWriteFile = "Can't write AVI file.";

// Caught like any application error; Detail() is for the log.
class VideoError : public CAppError {
public:
    VideoError(std::string text, std::string detail)
        : CAppError(std::move(text)), m_detail(std::move(detail)) {}
    const std::string& Detail() const { return m_detail; }

private:
    std::string m_detail;
};

[[noreturn]] void ThrowVideoError(const std::string& text, std::string detail);
// As above, with FFmpeg's text for `code` and what FFmpeg said since the last
// ForgetFfmpegMessages on this thread after the detail.
[[noreturn]] void ThrowFfmpegError(const std::string& text, const std::string& detail, int code);
std::string FfmpegErrorText(int code);

// Routes FFmpeg's own messages (errors only) into a per-thread note that the
// next ThrowFfmpegError adds to its detail, instead of standard error.
void CaptureFfmpegMessages();
void ForgetFfmpegMessages();

// Writes the detail to the log in the form "VideoForWindows : <detail>".
void LogVideoError(const VideoError& error);

}  // namespace vesta
