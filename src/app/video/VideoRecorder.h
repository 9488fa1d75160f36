#pragma once
// Records through an AviWriter on a thread of its own, so that encoding one
// frame overlaps rendering the next. The caller's side only copies (or grabs)
// the frame into one of a few recycled buffers and hands it over; the file is
// byte for byte what the same calls on an AviWriter would make.
//
//   VideoRecorder recorder;
//   recorder.Open(width, height, fps, "Video.avi", "");
//   recorder.OpenAudio(44100, 2, "");                 // optional
//   each frame: recorder.WriteAudio(...);  recorder.GrabFrame(module);
//   recorder.Close();
//
// A failure on the encoder thread is thrown, with its usual text, from the
// next call on the caller's thread (or from Close).
//
// The encoder thread keeps the priority of the thread that opens the file,
// above the drawing's, which a recording lowers: an encoder slower than the
// drawing (FFV1) must never wait for a processor. One that turns out to
// need little of a processor (EncoderLoad) drops below the drawing instead,
// and runs in the gaps the drawing leaves, such as scenes the rasteriser
// cannot spread over its threads, rather than taking a processor from it
// whenever a frame arrives.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/video/AviWriter.h"

namespace vesta {

class RenderModule;

class VideoRecorder {
public:
    // How far a light encoder lowers its own priority: below a drawing
    // lowered by less.
    static constexpr int kLightEncoderNiceness = 10;

    explicit VideoRecorder(std::size_t queueDepth = 3);
    ~VideoRecorder();
    VideoRecorder(const VideoRecorder&) = delete;
    VideoRecorder& operator=(const VideoRecorder&) = delete;

    // Opening happens on the caller's thread: its failures are thrown at once.
    void Open(int width, int height, float framesPerSecond, const std::string& fileName,
              const std::string& codecName);
    void OpenAudio(int sampleRate, int channels, const std::string& codecName);

    // A null buffer is ignored.
    void WriteFrame(const std::uint8_t* buffer);
    // Grabs the back buffer straight into a queued buffer; false when the
    // buffer could not be locked (no frame is written then).
    bool GrabFrame(RenderModule& module);
    // The same from the oldest frame copy the module keeps (QueueFrameCopy).
    bool GrabFrameCopy(RenderModule& module);
    void WriteAudio(const float* interleaved, std::size_t frameCount);

    // Waits for the queue to drain, then finishes the file.
    void Close();

    bool IsOpen() const { return m_open; }
    FrameRate Rate() const { return m_writer.Rate(); }
    // Frames handed over so far (not all of them need be encoded yet).
    std::int64_t FramesQueued() const { return m_framesQueued; }
    std::int64_t AudioFramesBefore(std::int64_t frame) const {
        return m_writer.AudioFramesBefore(frame);
    }
    const AviWriter& Writer() const { return m_writer; }

private:
    // The audio gathered since the previous frame, then the frame itself.
    struct Slot {
        std::vector<std::uint8_t> frame;
        std::vector<float> audio;
        bool hasFrame = false;
    };

    bool grab(RenderModule& module, bool fromCopy);
    Slot& fillingSlot();
    void submitFilling();
    void encoderLoop();
    void encode(Slot& slot);
    void throwPendingFailure();
    void stopThread();

    AviWriter m_writer{false};
    std::vector<Slot> m_slots;
    // Two rings of slot indices: free for the caller, ready for the encoder.
    std::vector<std::size_t> m_free;
    std::vector<std::size_t> m_ready;
    std::size_t m_freeHead = 0, m_freeCount = 0;
    std::size_t m_readyHead = 0, m_readyCount = 0;
    std::size_t m_filling = SIZE_MAX;  // slot the caller is filling, if any
    std::size_t m_frameBytes = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    bool m_handedOver = false;     // a slot went to the encoder thread
    std::exception_ptr m_failure;  // set by the encoder thread
    bool m_failureReported = false;
    bool m_stopping = false;
    bool m_open = false;
    std::int64_t m_framesQueued = 0;
};

}  // namespace vesta
