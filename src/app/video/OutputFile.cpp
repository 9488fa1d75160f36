#include "app/video/OutputFile.h"

#include "app/video/VideoError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace vesta {

OutputFile::~OutputFile() {
    try {
        Close();
    } catch (const VideoError& error) {
        LogVideoError(error);
    }
}

void OutputFile::Open(const std::string& fileName) {
    const AVOutputFormat* format = av_guess_format(nullptr, fileName.c_str(), nullptr);
    if (!format) {
        format = av_guess_format("avi", nullptr, nullptr);
    }
    int result = avformat_alloc_output_context2(&m_context, format, nullptr, fileName.c_str());
    if (result < 0) {
        ThrowFfmpegError(kCantOpenFile, "no container for [" + fileName + "]", result);
    }
    if (!(format->flags & AVFMT_NOFILE)) {
        result = avio_open(&m_context->pb, fileName.c_str(), AVIO_FLAG_WRITE);
        if (result < 0) {
            avformat_free_context(m_context);
            m_context = nullptr;
            ThrowFfmpegError(kCantOpenFile, "can't create [" + fileName + "]", result);
        }
    }
    m_headerWritten = false;
    m_failed = false;
}

const AVOutputFormat* OutputFile::Format() const {
    return m_context ? m_context->oformat : nullptr;
}

const char* OutputFile::FormatName() const {
    return m_context ? m_context->oformat->name : "";
}

bool OutputFile::WantsGlobalHeader() const {
    return m_context && (m_context->oformat->flags & AVFMT_GLOBALHEADER);
}

AVStream* OutputFile::AddStream(const char* failureText) {
    AVStream* stream = avformat_new_stream(m_context, nullptr);
    if (!stream) {
        ThrowVideoError(failureText, "out of memory for a stream");
    }
    return stream;
}

void OutputFile::WriteHeader() {
    if (m_headerWritten) {
        return;
    }
    const int result = avformat_write_header(m_context, nullptr);
    if (result < 0) {
        m_failed = true;
        ThrowFfmpegError(kCantSetStreamFormat,
                         std::string("the ") + FormatName() + " header was refused", result);
    }
    m_headerWritten = true;
}

void OutputFile::WritePacket(AVPacket* packet, AVStream* stream, AVRational timeBase) {
    WriteHeader();
    packet->stream_index = stream->index;
    av_packet_rescale_ts(packet, timeBase, stream->time_base);
    const int result = av_interleaved_write_frame(m_context, packet);
    if (result < 0) {
        m_failed = true;
        ThrowFfmpegError(kCantWriteFile, "a packet could not be written", result);
    }
}

void OutputFile::WriteEncoded(AVCodecContext* encoder, AVPacket* packet, AVStream* stream,
                              std::int64_t delay) {
    for (;;) {
        const int result = avcodec_receive_packet(encoder, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return;
        }
        if (result < 0) {
            m_failed = true;
            ThrowFfmpegError(kCantWriteFile, "the encoder failed", result);
        }
        if (packet->pts != AV_NOPTS_VALUE) {
            packet->pts += delay;
        }
        if (packet->dts != AV_NOPTS_VALUE) {
            packet->dts += delay;
        }
        WritePacket(packet, stream, encoder->time_base);
    }
}

OutputFile::Priming OutputFile::PrimingPlacement() const {
    // MP4 and kin take negative times and cover the priming with an edit list.
    if (m_context->oformat->flags & AVFMT_TS_NEGATIVE) {
        return Priming::MuxerPlaces;
    }
    const std::string name = m_context->oformat->name;
    if (name == "matroska" || name == "webm") {
        // Until libavformat 59.31 the muxer moved every stream later by the
        // declared codec delay, and its demuxer ignores that delay: blocks at
        // their negative times are what players of either age place right.
        return LIBAVFORMAT_VERSION_INT > AV_VERSION_INT(59, 30, 100) ? Priming::MuxerPlaces
                                                                     : Priming::BeforeZero;
    }
    return Priming::AfterZero;
}

void OutputFile::KeepNegativeTimes() {
    m_context->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
}

void OutputFile::Abandon() {
    if (!m_context) {
        return;
    }
    if (!(m_context->oformat->flags & AVFMT_NOFILE)) {
        avio_closep(&m_context->pb);
    }
    avformat_free_context(m_context);
    m_context = nullptr;
    m_headerWritten = false;
    m_failed = false;
}

void OutputFile::Close() {
    if (!m_context) {
        return;
    }
    int result = 0;
    if (!m_headerWritten && !m_failed) {
        // A recording stopped before its first frame is still a valid, empty file.
        result = avformat_write_header(m_context, nullptr);
        m_headerWritten = result >= 0;
    }
    if (m_headerWritten) {
        result = av_write_trailer(m_context);
    }
    if (m_context->pb && !(m_context->oformat->flags & AVFMT_NOFILE)) {
        const int closed = avio_closep(&m_context->pb);
        if (result >= 0) {
            result = closed;
        }
    }
    avformat_free_context(m_context);
    m_context = nullptr;
    const bool reported = m_failed;
    m_headerWritten = false;
    m_failed = false;
    // A failure already thrown while writing is not reported twice.
    if (result < 0 && !reported) {
        ThrowFfmpegError(kCantWriteFile, "the file could not be finished", result);
    }
}

}  // namespace vesta
