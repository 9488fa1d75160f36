#include "app/video/AudioEncoder.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "app/video/OutputFile.h"
#include "app/video/VideoError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace vesta {
namespace {

// Encoders whose frames may have any length take this many at a time.
constexpr int kVariableFrameSize = 1024;

const AVCodec* findAudioEncoder(const std::string& name) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    if (!codec) {
        ThrowVideoError("VideoForWindows : Unknown audio codec [" + name + "].",
                        "FFmpeg has no encoder named [" + name + "]");
    }
    if (codec->type != AVMEDIA_TYPE_AUDIO) {
        ThrowVideoError("VideoForWindows : [" + name + "] is not an audio codec.",
                        "the encoder [" + name + "] is not for sound");
    }
    return codec;
}

// Float when the encoder takes it, else the deepest format it offers.
AVSampleFormat chooseFormat(const AVCodec* codec) {
    if (!codec->sample_fmts) {
        return AV_SAMPLE_FMT_FLT;
    }
    const AVSampleFormat preferred[] = {AV_SAMPLE_FMT_FLT,  AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_S32,
                                        AV_SAMPLE_FMT_S32P, AV_SAMPLE_FMT_S16,  AV_SAMPLE_FMT_S16P};
    for (AVSampleFormat wanted : preferred) {
        for (const AVSampleFormat* offered = codec->sample_fmts; *offered != AV_SAMPLE_FMT_NONE;
             ++offered) {
            if (*offered == wanted) {
                return wanted;
            }
        }
    }
    return codec->sample_fmts[0];
}

bool takesRate(const AVCodec* codec, int sampleRate) {
    if (!codec->supported_samplerates) {
        return true;
    }
    for (const int* rate = codec->supported_samplerates; *rate != 0; ++rate) {
        if (*rate == sampleRate) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string DefaultAudioCodec(const OutputFile& file) {
    // AVI has no field for an encoder's start padding: a priming codec there
    // shifts the pictures' timestamps. PCM needs none.
    if (std::string_view(file.Format()->name) == "avi") {
        return "pcm_s16le";
    }
    if (avformat_query_codec(file.Format(), AV_CODEC_ID_AAC, FF_COMPLIANCE_NORMAL) != 0) {
        return "aac";
    }
    const AVCodec* codec = avcodec_find_encoder(file.Format()->audio_codec);
    return codec ? codec->name : "aac";
}

AudioEncoder::~AudioEncoder() {
    Release();
}

void AudioEncoder::Open(OutputFile& file, int sampleRate, int channels,
                        const std::string& codecName) {
    Release();
    if (sampleRate <= 0 || channels <= 0 || channels > 8) {
        ThrowVideoError(kCantCreateAudioStream, std::to_string(channels) + " channels at " +
                                                    std::to_string(sampleRate) +
                                                    " Hz are not usable");
    }
    m_file = &file;
    m_channels = channels;
    m_codecName = codecName.empty() ? DefaultAudioCodec(file) : codecName;
    try {
        openCodec(file, sampleRate, channels);
        openFrame();
    } catch (const VideoError&) {
        Release();
        throw;
    }
    m_pendingFrames = 0;
    m_framesIn = 0;
    m_nextPts = 0;
    m_flushed = false;
}

void AudioEncoder::openCodec(OutputFile& file, int sampleRate, int channels) {
    const AVCodec* codec = findAudioEncoder(m_codecName);
    if (avformat_query_codec(file.Format(), codec->id, FF_COMPLIANCE_NORMAL) == 0) {
        ThrowVideoError(kCantCreateAudioStream,
                        std::string("the ") + file.FormatName() + " container can't hold " +
                            m_codecName + ": choose another --audio-codec, or leave it out for " +
                            DefaultAudioCodec(file));
    }
    if (!takesRate(codec, sampleRate)) {
        ThrowVideoError(kCantCreateAudioStream,
                        m_codecName + " can't encode " + std::to_string(sampleRate) + " Hz");
    }
    m_codec = avcodec_alloc_context3(codec);
    m_packet = av_packet_alloc();
    if (!m_codec || !m_packet) {
        ThrowVideoError(kCantCreateAudioStream, "out of memory for the encoder");
    }
    m_codec->sample_rate = sampleRate;
    m_codec->sample_fmt = chooseFormat(codec);
    m_codec->time_base = AVRational{1, sampleRate};
    av_channel_layout_default(&m_codec->ch_layout, channels);
    if (file.WantsGlobalHeader()) {
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int result = avcodec_open2(m_codec, codec, nullptr);
    if (result < 0) {
        ThrowFfmpegError(kCantCreateAudioStream,
                         "the " + m_codecName + " encoder refused " + std::to_string(channels) +
                             " channels at " + std::to_string(sampleRate) + " Hz",
                         result);
    }
    // Added only now: a container cannot drop a stream that failed to open.
    m_stream = file.AddStream(kCantCreateAudioStream);
    m_stream->time_base = m_codec->time_base;
    result = avcodec_parameters_from_context(m_stream->codecpar, m_codec);
    if (result < 0) {
        ThrowFfmpegError(kCantCreateAudioStream, "the stream took no parameters", result);
    }
    // A priming encoder's first packets come before zero; the pictures keep
    // their times whichever way the container can say so.
    m_primingDelay = 0;
    if (m_codec->initial_padding > 0) {
        switch (file.PrimingPlacement()) {
        case OutputFile::Priming::MuxerPlaces:
            break;
        case OutputFile::Priming::BeforeZero:
            // The times carry the delay; declared twice it would count twice.
            file.KeepNegativeTimes();
            m_stream->codecpar->initial_padding = 0;
            break;
        case OutputFile::Priming::AfterZero:
            // The priming is heard, the sound that late: better than every
            // picture moved off its frame's time.
            m_primingDelay = m_codec->initial_padding;
            break;
        }
    }
}

void AudioEncoder::openFrame() {
    const bool variable = m_codec->frame_size <= 0 ||
                          (m_codec->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    m_frameSize = variable ? kVariableFrameSize : std::size_t(m_codec->frame_size);
    m_pending.assign(m_frameSize * std::size_t(m_channels), 0.0f);
    if (m_codec->sample_fmt != AV_SAMPLE_FMT_FLT) {
        const int result = swr_alloc_set_opts2(
            &m_converter, &m_codec->ch_layout, m_codec->sample_fmt, m_codec->sample_rate,
            &m_codec->ch_layout, AV_SAMPLE_FMT_FLT, m_codec->sample_rate, 0, nullptr);
        if (result < 0 || swr_init(m_converter) < 0) {
            ThrowVideoError(kCantCreateAudioStream,
                            std::string("no conversion from float to ") +
                                av_get_sample_fmt_name(m_codec->sample_fmt));
        }
    }
    m_frame = av_frame_alloc();
    if (!m_frame) {
        ThrowVideoError(kCantCreateAudioStream, "out of memory for a sound frame");
    }
    m_frame->format = m_codec->sample_fmt;
    m_frame->sample_rate = m_codec->sample_rate;
    m_frame->nb_samples = int(m_frameSize);
    av_channel_layout_copy(&m_frame->ch_layout, &m_codec->ch_layout);
    const int result = av_frame_get_buffer(m_frame, 0);
    if (result < 0) {
        ThrowFfmpegError(kCantCreateAudioStream, "no memory for a sound frame", result);
    }
}

void AudioEncoder::Write(const float* interleaved, std::size_t frameCount) {
    if (!interleaved || !m_codec || m_flushed) {
        return;
    }
    const auto channels = std::size_t(m_channels);
    while (frameCount > 0) {
        const std::size_t take = std::min(frameCount, m_frameSize - m_pendingFrames);
        std::memcpy(m_pending.data() + m_pendingFrames * channels, interleaved,
                    take * channels * sizeof(float));
        m_pendingFrames += take;
        m_framesIn += std::int64_t(take);
        interleaved += take * channels;
        frameCount -= take;
        if (m_pendingFrames == m_frameSize) {
            encodePending();
        }
    }
}

void AudioEncoder::encodePending() {
    int result = av_frame_make_writable(m_frame);
    if (result < 0) {
        ThrowFfmpegError(kCantWriteFile, "no memory for a sound frame", result);
    }
    const int count = int(m_pendingFrames);
    if (m_converter) {
        const auto* input = reinterpret_cast<const std::uint8_t*>(m_pending.data());
        result = swr_convert(m_converter, m_frame->data, count, &input, count);
        if (result < 0) {
            ThrowFfmpegError(kCantWriteFile, "the samples could not be converted", result);
        }
    } else {
        std::memcpy(m_frame->data[0], m_pending.data(),
                    std::size_t(count) * std::size_t(m_channels) * sizeof(float));
    }
    m_frame->nb_samples = count;
    m_frame->pts = m_nextPts;
    m_nextPts += count;
    m_pendingFrames = 0;
    send(m_frame);
}

void AudioEncoder::Flush() {
    if (!m_codec || m_flushed) {
        return;
    }
    m_flushed = true;
    if (m_pendingFrames > 0) {
        const bool shortLastFrame = m_frameSize == kVariableFrameSize ||
                                    (m_codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
        if (!shortLastFrame) {
            std::fill(m_pending.begin() + std::ptrdiff_t(m_pendingFrames * std::size_t(m_channels)),
                      m_pending.end(), 0.0f);
            m_pendingFrames = m_frameSize;
        }
        encodePending();
    }
    send(nullptr);
}

void AudioEncoder::send(const AVFrame* frame) {
    const int result = avcodec_send_frame(m_codec, frame);
    if (result < 0) {
        ThrowFfmpegError(kCantWriteFile, "the " + m_codecName + " encoder refused a frame", result);
    }
    m_file->WriteEncoded(m_codec, m_packet, m_stream, m_primingDelay);
}

void AudioEncoder::Release() {
    swr_free(&m_converter);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
    m_stream = nullptr;
    m_file = nullptr;
    m_pending.clear();
    m_pendingFrames = 0;
}

}  // namespace vesta
