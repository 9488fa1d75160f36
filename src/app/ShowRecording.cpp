#include "app/ShowRecording.h"

#include "log/Log.h"
#include "render/RenderModule.h"
#include "sound/SoundSystem.h"

namespace vesta {
namespace {

constexpr int kStereo = 2;

// Room for every frame in hand at once: they are read at one wait, and an
// encoder that runs below the drawing's priority takes them as it finds time.
constexpr std::size_t kQueueDepth = 9;

}  // namespace

ShowRecording::ShowRecording(const RecordingSettings& settings, int width, int height)
    : m_settings(settings), m_recorder(kQueueDepth) {
    m_recorder.Open(width, height, settings.framesPerSecond, settings.fileName,
                    settings.videoCodec);
    m_progress = std::make_unique<RecordingProgress>(0.0);
}

ShowRecording::~ShowRecording() {
    try {
        Close();
    } catch (...) {
        // Reported by whoever closed it first; a destructor has no one to tell.
    }
}

void ShowRecording::AddSoundtrack(SoundSystem& sound) {
    if (sound.Output() != SoundOutput::Loopback) {
        return;
    }
    m_recorder.OpenAudio(sound.OutputRate(), kStereo, m_settings.audioCodec);
    m_sound = &sound;
}

void ShowRecording::ExpectLength(std::optional<double> seconds) {
    m_progress = std::make_unique<RecordingProgress>(seconds.value_or(0.0));
}

void ShowRecording::mixSoundFor(std::int64_t frame, std::vector<float>& out) {
    out.clear();
    if (!m_sound) {
        return;
    }
    const std::int64_t count =
        m_recorder.AudioFramesBefore(frame + 1) - m_recorder.AudioFramesBefore(frame);
    if (count <= 0) {
        return;
    }
    out.resize(static_cast<std::size_t>(count) * kStereo);
    m_sound->RenderAudio(out.data(), static_cast<std::size_t>(count));
}

double ShowRecording::videoSeconds() const {
    return m_framesWritten / m_recorder.Rate().FramesPerSecond();
}

void ShowRecording::SkipFrame() {
    mixSoundFor(ShowFrameIndex(), m_mix);
    ++m_framesSkipped;
}

void ShowRecording::RecordFrame(RenderModule& module) {
    // The sound is mixed now, in step with the timeline, whenever it is written.
    // Each frame takes the samples a recording from the start gives it.
    mixSoundFor(ShowFrameIndex(), m_mix);
    // Frames in hand: the oldest was drawn long enough ago that reading it
    // does not wait for the device. It is read before this frame is queued,
    // which frees its buffer for this one.
    if (m_pendingSound.size() >= m_framesInHand) {
        writeOldestPending(module);
    }
    if (module.QueueFrameCopy()) {
        m_pendingSound.push_back(m_mix);
    } else {
        // The device keeps fewer frames than asked (a large frame): as many
        // as it took from now on. The frames in hand go first, so that the
        // file keeps the frames' order.
        if (!m_pendingSound.empty()) {
            m_framesInHand = m_pendingSound.size();
        }
        FlushPending(module);
        m_recorder.WriteAudio(m_mix.data(), m_mix.size() / kStereo);
        m_recorder.GrabFrame(module);
    }
    ++m_framesWritten;
    m_progress->Update(m_framesWritten, videoSeconds());
}

void ShowRecording::writeOldestPending(RenderModule& module) {
    const std::vector<float> sound = std::move(m_pendingSound.front());
    m_pendingSound.pop_front();
    m_recorder.WriteAudio(sound.data(), sound.size() / kStereo);
    m_recorder.GrabFrameCopy(module);
}

void ShowRecording::FlushPending(RenderModule& module) {
    while (!m_pendingSound.empty()) {
        writeOldestPending(module);
    }
}

void ShowRecording::Close() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    m_recorder.Close();
    m_progress->Finish(m_framesWritten, videoSeconds());
}

}  // namespace vesta
