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

// Caught like any application error. Detail() says why, for the log; once
// the file is known, PlacedIn tells the user both on the text's own line.
class VideoError : public CAppError {
public:
    VideoError(std::string text, std::string detail, bool placed = false)
        : CAppError(std::move(text)), m_detail(std::move(detail)), m_placed(placed) {}
    const std::string& Detail() const { return m_detail; }

    // "<text> [<file>]: <detail>", the writer's own text first; a failure
    // already placed stays as it is.
    VideoError PlacedIn(const std::string& fileName) const;

private:
    std::string m_detail;
    bool m_placed = false;
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
