#pragma once
// Writes the recorded show into a video file through FFmpeg.
//
//   AviWriter writer;
//   writer.Open(640, 480, 25.0f, "Video.avi", "");   // container from the name
//   writer.OpenAudio(44100, 2, "");                  // optional, before any frame
//   for each frame n:
//       writer.WriteAudio(samples, writer.AudioFramesBefore(n + 1)
//                                  - writer.AudioFramesBefore(n));
//       writer.WriteFrame(bgrBottomUp);              // width * height * 3 bytes
//   writer.Close();                                   // or let the destructor do it
//
// Every failure throws a VideoError (a CAppError) that names the file, after
// which Close still finishes the file so that the frames already written
// stay playable. The file appears with the first frame (see OutputFile).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/video/FrameRate.h"

namespace vesta {

class AudioEncoder;
class OutputFile;
class VideoEncoder;

class AviWriter {
public:
    // With `logFailures` off the FFmpeg reasons of failures are left to the
    // catcher (VideoError::Detail), for callers off the main thread.
    explicit AviWriter(bool logFailures = true);
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // `codecName` is any FFmpeg video encoder; empty takes ffv1 for AVI and
    // Matroska files, the container's own default for others.
    void Open(int width, int height, float framesPerSecond, const std::string& fileName,
              const std::string& codecName);
    // Adds a sound track; only between Open and the first frame. Empty: AAC
    // (or the container's own choice where AAC cannot go).
    void OpenAudio(int sampleRate, int channels, const std::string& codecName);

    // A null buffer is ignored.
    void WriteFrame(const std::uint8_t* buffer);
    // Interleaved samples, any number of frames per call.
    void WriteAudio(const float* interleaved, std::size_t frameCount);

    // Drains the encoders and writes the trailer; safe to call twice.
    void Close();

    bool IsOpen() const { return m_open; }
    // As given to Open: the name the user knows it by.
    const std::string& FileName() const { return m_fileName; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    FrameRate Rate() const { return m_rate; }
    std::int64_t FramesWritten() const { return m_nextFrame; }
    bool HasAudio() const;
    int SampleRate() const { return m_sampleRate; }
    int Channels() const { return m_channels; }
    const std::string& VideoCodec() const;
    // The audio frames that belong before video frame `frame` (see FrameRate.h).
    std::int64_t AudioFramesBefore(std::int64_t frame) const;

private:
    template <typename Action>
    void guarded(Action action);
    void openStreams(int width, int height, float framesPerSecond, const std::string& fileName,
                     const std::string& codecName);
    void finish();

    std::unique_ptr<OutputFile> m_file;
    std::unique_ptr<VideoEncoder> m_video;
    std::unique_ptr<AudioEncoder> m_audio;
    std::string m_fileName;
    FrameRate m_rate;
    int m_width = 0;
    int m_height = 0;
    int m_sampleRate = 0;
    int m_channels = 0;
    std::int64_t m_nextFrame = 0;
    bool m_open = false;
    bool m_failed = false;
    bool m_logFailures = true;
};

}  // namespace vesta
