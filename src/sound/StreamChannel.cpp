#include "sound/StreamChannel.h"

#include <AL/alext.h>
#include <algorithm>
#include <cmath>

namespace vesta {
namespace {

constexpr std::size_t kMaxQueuedBlocks = 256;

}  // namespace

StreamChannel::StreamChannel(std::unique_ptr<Decoder> decoder, bool audible, bool is3D, bool loop,
                             bool module)
    : SoundChannel(audible, decoder->Rate(), is3D), m_decoder(std::move(decoder)),
      m_channels(is3D ? 1 : 2), m_loop(loop), m_module(module) {}

StreamChannel::~StreamChannel() {
    if (source()) {
        alSourceStop(source());
    }
    clearQueue();
    if (!m_spareBuffers.empty()) {
        alDeleteBuffers(static_cast<ALsizei>(m_spareBuffers.size()), m_spareBuffers.data());
    }
}

bool StreamChannel::restartAt(double seconds) {
    if (source()) {
        alSourceStop(source());
    }
    clearQueue();
    ++m_generation;
    m_ended = false;
    std::lock_guard lock(m_decodeMutex);
    m_decodeGeneration = m_generation;
    return seconds > 0.0 ? m_decoder->Seek(seconds) : m_decoder->Rewind();
}

void StreamChannel::PlayFrom(double seconds) {
    if (!restartAt(seconds)) {
        m_ended = true;
        Stop();
        return;
    }
    Play(false);
}

void StreamChannel::Play(bool restart) {
    if (restart || m_ended) {
        restartAt(0.0);
    }
    m_playing = true;
    if (!source()) {
        return;
    }
    // Enough to start at once; the feeder or the renderer tops it up.
    if (m_queue.empty()) {
        bool ended = false;
        std::vector<Block> blocks;
        {
            std::lock_guard lock(m_decodeMutex);
            blocks = Decode(2 * kBlockFrames, m_generation, ended);
        }
        Queue(std::move(blocks), m_generation, ended);
    }
    alSourcePlay(source());
}

void StreamChannel::Stop() {
    m_playing = false;
    if (source()) {
        alSourcePause(source());
    }
}

std::vector<StreamChannel::Block> StreamChannel::Decode(std::size_t frames,
                                                        std::uint64_t generation, bool& ended) {
    std::vector<Block> blocks;
    ended = false;
    if (generation != m_decodeGeneration) {
        return blocks;
    }
    const int fileChannels = m_decoder->Channels();
    std::vector<float> raw(kBlockFrames * static_cast<std::size_t>(fileChannels));
    std::size_t done = 0;
    bool rewoundEmpty = false;
    while (done < frames && !ended) {
        auto data = std::make_shared<std::vector<float>>(kBlockFrames *
                                                         static_cast<std::size_t>(m_channels));
        std::size_t filled = 0;
        while (filled < kBlockFrames) {
            const std::size_t read = m_decoder->Read(raw.data(), kBlockFrames - filled);
            if (read > 0) {
                ConvertChannels(raw.data(), fileChannels,
                                data->data() + filled * static_cast<std::size_t>(m_channels),
                                m_channels, read);
                filled += read;
                rewoundEmpty = false;
                continue;
            }
            // A looping source starts again, unless it gave nothing since the
            // last rewind (an empty one would loop forever).
            if (!m_loop || rewoundEmpty || !m_decoder->Rewind()) {
                ended = true;
                break;
            }
            rewoundEmpty = true;
        }
        if (filled > 0) {
            data->resize(filled * static_cast<std::size_t>(m_channels));
            blocks.push_back({std::move(data), filled});
            done += filled;
        }
    }
    return blocks;
}

void StreamChannel::Queue(std::vector<Block> blocks, std::uint64_t generation, bool ended) {
    if (generation != m_generation) {
        return;
    }
    m_ended = m_ended || ended;
    if (!source()) {
        return;
    }
    const ALenum format = m_channels == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
    for (Block& block : blocks) {
        ALuint buffer = 0;
        if (!m_spareBuffers.empty()) {
            buffer = m_spareBuffers.back();
            m_spareBuffers.pop_back();
        } else {
            alGenBuffers(1, &buffer);
        }
        alBufferData(buffer, format, block.data->data(),
                     static_cast<ALsizei>(block.data->size() * sizeof(float)), Rate());
        alSourceQueueBuffers(source(), 1, &buffer);
        m_queue.push_back({buffer, std::move(block)});
    }
}

void StreamChannel::Service() {
    if (!source()) {
        return;
    }
    unqueueProcessed();
    if (!m_playing) {
        return;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(source(), AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) {
        return;
    }
    if (!m_queue.empty()) {
        alSourcePlay(source());  // the feeder fell behind
    } else if (m_ended) {
        m_playing = false;
    }
}

std::size_t StreamChannel::FramesWanted(double seconds) const {
    if (!source() || !m_playing || m_ended || m_queue.size() >= kMaxQueuedBlocks) {
        return 0;
    }
    const auto wanted = static_cast<std::size_t>(std::ceil(seconds * SourceFramesPerSecond()));
    const std::size_t ahead = framesQueuedAhead();
    return wanted > ahead ? wanted - ahead : 0;
}

std::size_t StreamChannel::framesQueuedAhead() const {
    std::size_t total = 0;
    for (const Queued& queued : m_queue) {
        total += queued.block.frames;
    }
    ALint offset = 0;
    alGetSourcei(source(), AL_SAMPLE_OFFSET, &offset);
    const auto played = static_cast<std::size_t>(std::max(offset, 0));
    return total > played ? total - played : 0;
}

void StreamChannel::unqueueProcessed() {
    ALint processed = 0;
    alGetSourcei(source(), AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0 && !m_queue.empty(); --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source(), 1, &buffer);
        m_spareBuffers.push_back(buffer);
        m_queue.pop_front();
    }
}

void StreamChannel::clearQueue() {
    if (source()) {
        alSourcei(source(), AL_BUFFER, 0);
    }
    for (const Queued& queued : m_queue) {
        m_spareBuffers.push_back(queued.buffer);
    }
    m_queue.clear();
}

void StreamChannel::Level(int& left, int& right) const {
    left = 0;
    right = 0;
    if (!source() || !m_playing || m_queue.empty()) {
        return;
    }
    ALint offset = 0;
    alGetSourcei(source(), AL_SAMPLE_OFFSET, &offset);
    auto position = static_cast<std::size_t>(std::max(offset, 0));
    std::size_t window = static_cast<std::size_t>(Rate() / 50);  // 20 ms
    for (const Queued& queued : m_queue) {
        if (window == 0) {
            break;
        }
        if (position >= queued.block.frames) {
            position -= queued.block.frames;
            continue;
        }
        const std::size_t count = std::min(window, queued.block.frames - position);
        int l = 0;
        int r = 0;
        levelOf(queued.block.data->data() + position * static_cast<std::size_t>(m_channels),
                m_channels, count, l, r);
        left = std::max(left, l);
        right = std::max(right, r);
        window -= count;
        position = 0;
    }
}

}  // namespace vesta
