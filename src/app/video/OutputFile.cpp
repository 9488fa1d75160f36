#include "app/video/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "app/video/FileRoom.h"
#include "app/video/VideoError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace vesta {
namespace {

// What the header and trailer need beyond the packets: the index entry or
// sample table row of each packet, and a fixed amount for the rest.
constexpr std::int64_t kBytesPerPacket = 64;
constexpr std::int64_t kTrailerBytes = 8 * 1024;

// Why a file of that name cannot be created; empty when it can.
std::string WhyNotWritable(const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file(fileName);
    if (fs::is_directory(file, error)) {
        return "it is a folder";
    }
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error)) {
        return "the folder " + folder.string() + " does not exist (" + std::strerror(ENOENT) + ")";
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        return "the folder " + folder.string() + " is not writable (" + std::strerror(errno) + ")";
    }
    return {};
}

}  // namespace

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
    const int result =
        avformat_alloc_output_context2(&m_context, format, nullptr, fileName.c_str());
    if (result < 0) {
        ThrowFfmpegError(kCantOpenFile, "no container for it", result);
    }
    m_fileName = fileName;
    m_headerWritten = false;
    m_failed = false;
    m_full = false;
    m_packetBytes = 0;
    m_headerBytes = 0;
    m_packets = 0;
    if (!(format->flags & AVFMT_NOFILE) && fileName.find("://") == std::string::npos) {
        if (const std::string problem = WhyNotWritable(fileName); !problem.empty()) {
            Abandon();
            ThrowVideoError(kCantOpenFile, problem);
        }
    }
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

void OutputFile::createFile() {
    if (m_context->pb || (m_context->oformat->flags & AVFMT_NOFILE)) {
        return;
    }
    const int result = avio_open(&m_context->pb, m_fileName.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        m_failed = true;
        ThrowFfmpegError(kCantOpenFile, "it could not be created", result);
    }
}

void OutputFile::WriteHeader() {
    if (m_headerWritten) {
        return;
    }
    createFile();
    const int result = avformat_write_header(m_context, nullptr);
    if (result < 0) {
        m_failed = true;
        // Nothing of the recording is in it yet.
        if (!(m_context->oformat->flags & AVFMT_NOFILE)) {
            avio_closep(&m_context->pb);
            std::error_code ignored;
            std::filesystem::remove(m_fileName, ignored);
        }
        ThrowFfmpegError(kCantSetStreamFormat,
                         std::string("the ") + FormatName() + " container refused the streams",
                         result);
    }
    m_headerWritten = true;
    m_headerBytes = m_context->pb ? avio_tell(m_context->pb) : 0;
}

void OutputFile::ensureRoomFor(int packetBytes) {
    if (m_full) {
        ThrowVideoError(kCantWriteFile, "the file is full");
    }
    if (!m_context->pb) {
        return;
    }
    // What the disk holds already, and what the muxer holds still: its
    // buffer and the packets queued for interleaving.
    std::error_code error;
    const std::uintmax_t onDisk = std::filesystem::file_size(m_fileName, error);
    const std::optional<FileRoom> room = RoomFor(m_fileName, error ? 0 : onDisk);
    if (!room) {
        return;
    }
    const std::int64_t handed = std::max(avio_tell(m_context->pb), m_headerBytes + m_packetBytes);
    const std::int64_t needed =
        handed + packetBytes + (m_packets + 1) * kBytesPerPacket + kTrailerBytes;
    if (std::uint64_t(needed) > room->bytes) {
        m_full = true;
        m_failed = true;
        const std::string bound =
            room->reason == EFBIG ? "the file size limit" : "the space left on the disk";
        ThrowVideoError(kCantWriteFile, "stopped at " + bound + " of " +
                                            std::to_string(room->bytes) +
                                            " bytes, with room for the index kept (" +
                                            std::strerror(room->reason) + ")");
    }
}

void OutputFile::WritePacket(AVPacket* packet, AVStream* stream, AVRational timeBase) {
    WriteHeader();
    ensureRoomFor(packet->size);
    m_packetBytes += packet->size;
    ++m_packets;
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
    // Without a header nothing was ever created: a recording that ended
    // before its first frame leaves no file.
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
