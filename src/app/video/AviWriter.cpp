#include "app/video/AviWriter.h"

#include "app/video/AudioEncoder.h"
#include "app/video/OutputFile.h"
#include "app/video/VideoEncoder.h"
#include "app/video/VideoError.h"

namespace vesta {

AviWriter::AviWriter(bool logFailures)
    : m_file(std::make_unique<OutputFile>()), m_video(std::make_unique<VideoEncoder>()),
      m_audio(std::make_unique<AudioEncoder>()), m_logFailures(logFailures) {}

AviWriter::~AviWriter() {
    try {
        Close();
    } catch (const VideoError& error) {
        if (!m_logFailures) {
            LogVideoError(error);
        }
    }
}

template <typename Action>
void AviWriter::guarded(Action action) {
    ForgetFfmpegMessages();
    try {
        action();
    } catch (const VideoError& error) {
        m_failed = true;
        const VideoError placed = error.PlacedIn(m_fileName);
        if (m_logFailures) {
            LogVideoError(placed);
        }
        throw placed;
    }
}

void AviWriter::Open(int width, int height, float framesPerSecond, const std::string& fileName,
                     const std::string& codecName) {
    Close();
    // FFmpeg's chatter would break the progress line; its errors join our own.
    CaptureFfmpegMessages();
    m_failed = false;
    m_fileName = fileName;
    guarded([&] {
        try {
            openStreams(width, height, framesPerSecond, fileName, codecName);
        } catch (...) {
            m_video->Release();
            m_audio->Release();
            m_file->Abandon();
            throw;
        }
    });
    m_open = true;
}

void AviWriter::openStreams(int width, int height, float framesPerSecond,
                            const std::string& fileName, const std::string& codecName) {
    m_rate = ChooseFrameRate(framesPerSecond);
    m_width = width;
    m_height = height;
    m_nextFrame = 0;
    m_sampleRate = 0;
    m_channels = 0;
    m_file->Open(fileName);
    m_video->Open(*m_file, width, height, m_rate, codecName);
}

void AviWriter::OpenAudio(int sampleRate, int channels, const std::string& codecName) {
    guarded([&] {
        if (!m_open || m_file->HeaderWritten() || m_audio->IsOpen()) {
            ThrowVideoError(kCantCreateAudioStream,
                            "a sound track is added after Open and before the first frame, once");
        }
        m_audio->Open(*m_file, sampleRate, channels, codecName);
    });
    m_sampleRate = sampleRate;
    m_channels = channels;
}

void AviWriter::WriteFrame(const std::uint8_t* buffer) {
    if (!buffer || !m_open) {
        return;
    }
    guarded([&] { m_video->Encode(buffer); });
    ++m_nextFrame;
}

void AviWriter::WriteAudio(const float* interleaved, std::size_t frameCount) {
    if (!interleaved || frameCount == 0 || !m_open || !m_audio->IsOpen()) {
        return;
    }
    guarded([&] {
        m_file->WriteHeader();
        m_audio->Write(interleaved, frameCount);
    });
}

void AviWriter::Close() {
    if (!m_open) {
        return;
    }
    m_open = false;
    if (!m_failed) {
        guarded([&] { finish(); });
        return;
    }
    // The failure was reported when it happened; finish what can be finished.
    try {
        finish();
    } catch (const VideoError&) {
    }
}

void AviWriter::finish() {
    // Each step runs even after an earlier one failed; the first failure is reported.
    std::exception_ptr failure;
    const auto step = [&](auto action) {
        try {
            action();
        } catch (const VideoError&) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    };
    step([&] { m_video->Flush(); });
    step([&] { m_audio->Flush(); });
    step([&] { m_file->Close(); });
    m_video->Release();
    m_audio->Release();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

bool AviWriter::HasAudio() const {
    return m_audio->IsOpen();
}

const std::string& AviWriter::VideoCodec() const {
    return m_video->CodecName();
}

std::int64_t AviWriter::AudioFramesBefore(std::int64_t frame) const {
    return vesta::AudioFramesBefore(m_rate, m_sampleRate, frame);
}

}  // namespace vesta
