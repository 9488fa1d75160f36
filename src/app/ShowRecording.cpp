#include "app/ShowRecording.h"

#include <algorithm>

#include "log/Log.h"
#include "render/RenderModule.h"
#include "sound/SoundSystem.h"

namespace vesta {
namespace {

constexpr int kStereo = 2;

// Room for two readings of the frames in hand (eight frames read at one
// wait): an encoder that runs below the drawing's priority takes them as it
// finds time, and falls behind without holding the drawing up. Large frames
// get fewer, within kQueueBudget, and never fewer than three.
constexpr std::size_t kQueueDepth = 17;
constexpr std::size_t kQueueBudget = std::size_t(64) << 20;

std::size_t queueDepthFor(int width, int height) {
    const std::size_t frameBytes =
        std::size_t(std::max(width, 1)) * std::size_t(std::max(height, 1)) * 3;
    return std::clamp<std::size_t>(kQueueBudget / frameBytes, 3, kQueueDepth);
}

}  // namespace

ShowRecording::ShowRecording(const RecordingSettings& settings, int width, int height)
    : m_settings(settings), m_recorder(queueDepthFor(width, height)) {
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
