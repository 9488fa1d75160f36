#include "app/video/VideoRecorder.h"

#include <chrono>
#include <cstring>

#include "app/video/EncoderLoad.h"
#include "app/video/FrameGrab.h"
#include "app/video/VideoError.h"
#include "platform/ThreadPriority.h"
#include "render/RenderModule.h"

namespace vesta {
namespace {

// Logs the reason of a failure that is about to reach the caller.
[[noreturn]] void rethrowLogged(const std::exception_ptr& failure, bool log) {
    try {
        std::rethrow_exception(failure);
    } catch (const VideoError& error) {
        if (log) {
            LogVideoError(error);
        }
        throw;
    }
}

double secondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

VideoRecorder::VideoRecorder(std::size_t queueDepth)
    : m_slots(queueDepth < 1 ? 1 : queueDepth), m_free(m_slots.size()), m_ready(m_slots.size()) {}

VideoRecorder::~VideoRecorder() {
    try {
        Close();
    } catch (...) {
        // Close logged the reason; a destructor has no one to tell.
    }
}

void VideoRecorder::Open(int width, int height, float framesPerSecond, const std::string& fileName,
                         const std::string& codecName) {
    Close();
    try {
        m_writer.Open(width, height, framesPerSecond, fileName, codecName);
    } catch (const VideoError& error) {
        LogVideoError(error);
        throw;
    }
    m_frameBytes = std::size_t(width) * std::size_t(height) * 3;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        m_slots[i].frame.assign(m_frameBytes, 0);
        m_slots[i].audio.clear();
        m_free[i] = i;
    }
    m_freeHead = 0;
    m_freeCount = m_slots.size();
    m_readyHead = 0;
    m_readyCount = 0;
    m_filling = SIZE_MAX;
    m_failure = nullptr;
    m_failureReported = false;
    m_stopping = false;
    m_framesQueued = 0;
    m_handedOver = false;
    m_open = true;
    // Started now rather than at the first frame: a thread takes the priority
    // of the thread that starts it, and so keeps the caller's present one when
    // the caller lowers its own afterwards (a recording lowers the drawing's).
    m_thread = std::thread([this] { encoderLoop(); });
}

void VideoRecorder::OpenAudio(int sampleRate, int channels, const std::string& codecName) {
    // Until something is handed over the writer is the caller's alone.
    if (m_handedOver || m_filling != SIZE_MAX) {
        const VideoError error =
            VideoError(kCantCreateAudioStream,
                       "a sound track is added after Open and before the first frame")
                .PlacedIn(m_writer.FileName());
        LogVideoError(error);
        throw error;
    }
    try {
        m_writer.OpenAudio(sampleRate, channels, codecName);
    } catch (const VideoError& error) {
        LogVideoError(error);
        throw;
    }
    const double perFrame = double(sampleRate) / m_writer.Rate().FramesPerSecond();
    for (Slot& slot : m_slots) {
        slot.audio.reserve(std::size_t(perFrame + 2.0) * std::size_t(channels) * 2);
    }
}

void VideoRecorder::WriteFrame(const std::uint8_t* buffer) {
    if (!buffer || !m_open) {
        return;
    }
    Slot& slot = fillingSlot();
    std::memcpy(slot.frame.data(), buffer, m_frameBytes);
    slot.hasFrame = true;
    submitFilling();
}

bool VideoRecorder::GrabFrame(RenderModule& module) {
    return grab(module, false);
}

bool VideoRecorder::GrabFrameCopy(RenderModule& module) {
    return grab(module, true);
}

bool VideoRecorder::grab(RenderModule& module, bool fromCopy) {
    if (!m_open) {
        return false;
    }
    if (module.BackBufferWidth() != m_writer.Width() ||
        module.BackBufferHeight() != m_writer.Height()) {
        const VideoError error =
            VideoError(kCantWriteFile, "the back buffer is not the recording's size")
                .PlacedIn(m_writer.FileName());
        LogVideoError(error);
        throw error;
    }
    Slot& slot = fillingSlot();
    const bool grabbed = fromCopy ? FrameGrab::FromFrameCopy(module, slot.frame.data())
                                  : FrameGrab::FromBackBuffer(module, slot.frame.data());
    if (!grabbed) {
        return false;
    }
    slot.hasFrame = true;
    submitFilling();
    return true;
}

void VideoRecorder::WriteAudio(const float* interleaved, std::size_t frameCount) {
    if (!interleaved || frameCount == 0 || !m_open || !m_writer.HasAudio()) {
        return;
    }
    Slot& slot = fillingSlot();
    slot.audio.insert(slot.audio.end(), interleaved,
                      interleaved + frameCount * std::size_t(m_writer.Channels()));
}

VideoRecorder::Slot& VideoRecorder::fillingSlot() {
    throwPendingFailure();
    if (m_filling == SIZE_MAX) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_freeCount > 0 || m_failure; });
        lock.unlock();
        throwPendingFailure();
        lock.lock();
        m_filling = m_free[m_freeHead];
        m_freeHead = (m_freeHead + 1) % m_free.size();
        --m_freeCount;
        Slot& slot = m_slots[m_filling];
        slot.audio.clear();
        slot.hasFrame = false;
    }
    return m_slots[m_filling];
}

void VideoRecorder::submitFilling() {
    {
        std::lock_guard lock(m_mutex);
        m_ready[(m_readyHead + m_readyCount) % m_ready.size()] = m_filling;
        ++m_readyCount;
        if (m_slots[m_filling].hasFrame) {
            ++m_framesQueued;
        }
        m_filling = SIZE_MAX;
        m_handedOver = true;
    }
    m_changed.notify_all();
}

void VideoRecorder::encoderLoop() {
    bool failed = false;
    EncoderLoad load;
    for (;;) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_readyCount > 0 || m_stopping; });
        if (m_readyCount == 0) {
            return;
        }
        const std::size_t index = m_ready[m_readyHead];
        m_readyHead = (m_readyHead + 1) % m_ready.size();
        --m_readyCount;
        lock.unlock();

        // After a failure the buffers still come back, so the caller never waits forever.
        std::exception_ptr failure;
        if (!failed) {
            const double start = secondsNow();
            try {
                encode(m_slots[index]);
            } catch (...) {
                failure = std::current_exception();
                failed = true;
            }
            if (m_slots[index].hasFrame) {
                load.Encoded(start, secondsNow());
            }
            if (load.TurnedOutLight()) {
                LowerCallingThreadPriority(kLightEncoderNiceness);
            }
        }
        lock.lock();
        if (failure) {
            m_failure = failure;
        }
        m_free[(m_freeHead + m_freeCount) % m_free.size()] = index;
        ++m_freeCount;
        lock.unlock();
        m_changed.notify_all();
    }
}

void VideoRecorder::encode(Slot& slot) {
    if (!slot.audio.empty()) {
        const auto channels = std::size_t(m_writer.Channels());
        m_writer.WriteAudio(slot.audio.data(), slot.audio.size() / channels);
    }
    if (slot.hasFrame) {
        m_writer.WriteFrame(slot.frame.data());
    }
}

void VideoRecorder::throwPendingFailure() {
    std::exception_ptr failure;
    bool first = false;
    {
        std::lock_guard lock(m_mutex);
        failure = m_failure;
        first = failure && !m_failureReported;
        m_failureReported = m_failureReported || first;
    }
    if (failure) {
        rethrowLogged(failure, first);
    }
}

void VideoRecorder::stopThread() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void VideoRecorder::Close() {
    if (!m_open) {
        return;
    }
    m_open = false;
    if (m_filling != SIZE_MAX) {
        submitFilling();  // the sound that came after the last frame
    }
    stopThread();
    if (m_failure) {
        try {
            m_writer.Close();  // the failure is already known; finish what can be
        } catch (...) {
        }
        if (!m_failureReported) {
            m_failureReported = true;
            rethrowLogged(m_failure, true);
        }
        return;
    }
    try {
        m_writer.Close();
    } catch (const VideoError& error) {
        LogVideoError(error);
        throw;
    }
}

}  // namespace vesta
