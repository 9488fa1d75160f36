#pragma once
// The video stream of a recording: the encoder chosen by name, and the
// conversion of the engine's frames (BGR, rows bottom-up) to its pixel format.

#include <cstdint>
#include <string>

#include "app/video/FrameRate.h"

extern "C" {
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;
}

namespace vesta {

class OutputFile;

class VideoEncoder {
public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // An empty codec name takes the container's default (see DefaultVideoCodec).
    void Open(OutputFile& file, int width, int height, FrameRate rate,
              const std::string& codecName);
    const std::string& CodecName() const { return m_codecName; }

    // width x height x 3 bytes, blue-green-red, bottom row first.
    void Encode(const std::uint8_t* frame);
    // Drains the encoder into the file; nothing may be encoded afterwards.
    void Flush();
    void Release();

private:
    void openCodec(OutputFile& file, const std::string& codecName, FrameRate rate);
    void openConverter();
    void send(const AVFrame* frame);

    OutputFile* m_file = nullptr;
    AVStream* m_stream = nullptr;
    AVCodecContext* m_codec = nullptr;
    SwsContext* m_converter = nullptr;
    AVFrame* m_picture = nullptr;
    AVPacket* m_packet = nullptr;
    std::string m_codecName;
    int m_width = 0;
    int m_height = 0;
    std::int64_t m_nextIndex = 0;
    bool m_flushed = false;
};

// ffv1 for AVI and Matroska; the container's own default elsewhere.
std::string DefaultVideoCodec(const OutputFile& file);

}  // namespace vesta
