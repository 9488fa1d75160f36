#include "app/video/VideoError.h"

extern "C" {
#include <libavutil/error.h>
}

namespace vesta {

void ThrowVideoError(const std::string& text, std::string detail) {
    throw VideoError(text, std::move(detail));
}

void ThrowFfmpegError(const std::string& text, const std::string& detail, int code) {
    throw VideoError(text, detail + " (" + FfmpegErrorText(code) + ")");
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
