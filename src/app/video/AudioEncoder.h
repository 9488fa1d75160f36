#pragma once
// The audio track of a recording: interleaved float samples in any chunk
// sizes, gathered into the encoder's frame size and converted to its format.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" {
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;
}

namespace vesta {

class OutputFile;

class AudioEncoder {
public:
    AudioEncoder() = default;
    ~AudioEncoder();
    AudioEncoder(const AudioEncoder&) = delete;
    AudioEncoder& operator=(const AudioEncoder&) = delete;

    // An empty codec name takes DefaultAudioCodec.
    void Open(OutputFile& file, int sampleRate, int channels, const std::string& codecName);
    bool IsOpen() const { return m_codec != nullptr; }
    const std::string& CodecName() const { return m_codecName; }
    std::int64_t FramesWritten() const { return m_framesIn; }

    void Write(const float* interleaved, std::size_t frameCount);
    // Encodes what is left (padded with silence when the encoder needs whole
    // frames) and drains the encoder.
    void Flush();
    void Release();

private:
    void openCodec(OutputFile& file, int sampleRate, int channels);
    void openFrame();
    void encodePending();
    void send(const AVFrame* frame);

    OutputFile* m_file = nullptr;
    AVStream* m_stream = nullptr;
    AVCodecContext* m_codec = nullptr;
    SwrContext* m_converter = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    std::string m_codecName;
    std::vector<float> m_pending;  // one encoder frame, interleaved
    std::size_t m_pendingFrames = 0;
    std::size_t m_frameSize = 0;
    int m_channels = 0;
    std::int64_t m_framesIn = 0;
    std::int64_t m_nextPts = 0;
    // Added to the packets' times where the muxer leaves the priming to us.
    std::int64_t m_primingDelay = 0;
    bool m_flushed = false;
};

// AAC, unless the container cannot hold it (WebM): then the container's own.
std::string DefaultAudioCodec(const OutputFile& file);

}  // namespace vesta
