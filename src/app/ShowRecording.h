#pragma once
// A show recorded frame by frame: the video file, its soundtrack mixed in
// step with the fixed-step clock, and the progress shown while it runs.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/video/RecordingProgress.h"
#include "app/video/VideoRecorder.h"

namespace vesta {

class RenderModule;
class SoundSystem;

struct RecordingSettings {
    std::string fileName = "Video.avi";
    float framesPerSecond = 25.0f;
    std::string videoCodec;  // empty: the container's default
    std::string audioCodec;  // empty: AAC
};

class ShowRecording {
public:
    // Opens the file; throws the writer's texts.
    ShowRecording(const RecordingSettings& settings, int width, int height);
    ~ShowRecording();
    ShowRecording(const ShowRecording&) = delete;
    ShowRecording& operator=(const ShowRecording&) = delete;

    // The sound system's loopback output becomes the file's sound track;
    // before the first frame.
    void AddSoundtrack(SoundSystem& sound);
    // Seconds of show to expect, for the progress line (unknown: nullopt).
    void ExpectLength(std::optional<double> seconds);

    // The frame just drawn, with the sound that plays while it is shown.
    // Where the module keeps finished frames for reading later, each is read
    // four frames later, so that reading it never waits for drawing.
    void RecordFrame(RenderModule& module);
    // A frame of the show before the recording's start: its sound is mixed
    // and dropped, so that the sound system stands where it would, and the
    // frames recorded later keep the show's frame numbers.
    void SkipFrame();
    // Writes the frame still held on `module`; before the module goes.
    void FlushPending(RenderModule& module);
    std::uint32_t FramesWritten() const { return m_framesWritten; }
    // The show's frame number of the next frame: skipped and written ones.
    std::uint32_t ShowFrameIndex() const { return m_framesSkipped + m_framesWritten; }

    // Finishes the file; throws the writer's texts.
    void Close();

private:
    void mixSoundFor(std::int64_t frame, std::vector<float>& out);
    void writeOldestPending(RenderModule& module);
    double videoSeconds() const;

    RecordingSettings m_settings;
    VideoRecorder m_recorder;
    std::unique_ptr<RecordingProgress> m_progress;
    SoundSystem* m_sound = nullptr;
    std::vector<float> m_mix;
    // The sound of each frame whose copy still waits on the module, oldest first.
    std::deque<std::vector<float>> m_pendingSound;
    // Frames the device keeps unread: one fewer than the OpenGL module's
    // frame buffers (the frame being queued takes the buffer the oldest one
    // frees), fewer where it keeps fewer.
    std::size_t m_framesInHand = 8;
    std::uint32_t m_framesWritten = 0;
    std::uint32_t m_framesSkipped = 0;
    bool m_closed = false;
};

}  // namespace vesta
