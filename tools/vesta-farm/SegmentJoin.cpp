#include "SegmentJoin.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace vesta::farm {
namespace {

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using Packet = std::unique_ptr<AVPacket, PacketFree>;

// A stream whose container header states its coding completely, as a
// Matroska segment's does.
bool describedByHeader(const AVFormatContext* context) {
    if (!context->iformat || std::strstr(context->iformat->name, "matroska") == nullptr) {
        return false;
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters* p = context->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_VIDEO && (p->width <= 0 || p->height <= 0)) {
            return false;
        }
    }
    return true;
}

// Opens a file for reading. A segment's stream information is not probed when
// its header states it: probing decodes pictures, which a stream copy has no
// use for and which took a sixth of the join.
Input openInput(const std::string& path, bool probe) {
    AVFormatContext* context = nullptr;
    int code = avformat_open_input(&context, path.c_str(), nullptr, nullptr);
    if (code >= 0 && (probe || !describedByHeader(context))) {
        code = avformat_find_stream_info(context, nullptr);
        if (code < 0) {
            avformat_close_input(&context);
        }
    }
    if (code < 0) {
        throw JoinError(path + ": " + averror(code));
    }
    return Input(context);
}

int findStream(AVFormatContext* context, AVMediaType type, const std::string& path) {
    const int index = av_find_best_stream(context, type, -1, -1, nullptr, 0);
    if (index < 0) {
        throw JoinError(path + ": no " + (type == AVMEDIA_TYPE_VIDEO ? "picture" : "sound"));
    }
    return index;
}

bool sameCoding(const AVCodecParameters& a, const AVCodecParameters& b) {
    return a.codec_id == b.codec_id && a.width == b.width && a.height == b.height &&
           a.format == b.format && a.extradata_size == b.extradata_size &&
           (a.extradata_size == 0 ||
            std::equal(a.extradata, a.extradata + a.extradata_size, b.extradata));
}

// The segments' pictures one after another, numbered by frame across all.
class PictureSource {
public:
    PictureSource(const JoinRequest& request, AVRational frameTime)
        : m_request(request), m_frameTime(frameTime) {
        openSegment(0);
        m_parameters = avcodec_parameters_alloc();
        avcodec_parameters_copy(m_parameters, stream()->codecpar);
    }
    ~PictureSource() { avcodec_parameters_free(&m_parameters); }
    PictureSource(const PictureSource&) = delete;
    PictureSource& operator=(const PictureSource&) = delete;

    const AVCodecParameters* Parameters() const { return m_parameters; }

    // The next picture with its frame number in pts, or false after the last.
    bool Next(AVPacket* packet) {
        for (;;) {
            const int code = av_read_frame(m_input.get(), packet);
            if (code == AVERROR_EOF) {
                finishSegment();
                if (m_segment + 1 >= m_request.segments.size()) {
                    return false;
                }
                openSegment(m_segment + 1);
                continue;
            }
            if (code < 0) {
                throw JoinError(m_request.segments[m_segment] + ": " + averror(code));
            }
            if (packet->stream_index != m_stream) {
                av_packet_unref(packet);
                continue;
            }
            const std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            const std::int64_t frame =
                av_rescale_q_rnd(time, stream()->time_base, m_frameTime,
                                 static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
            if (!m_first) {
                m_first = frame;
            }
            if (frame - *m_first != m_inSegment) {
                throw JoinError(m_request.segments[m_segment] + ": frame " +
                                std::to_string(m_inSegment) + " is stamped " +
                                std::to_string(frame - *m_first) +
                                " (a gap or a repeat in the segment)");
            }
            packet->pts = packet->dts = m_offset + m_inSegment;
            packet->duration = 1;
            packet->stream_index = 0;
            ++m_inSegment;
            return true;
        }
    }

    std::int64_t Frames() const { return m_offset; }

private:
    AVStream* stream() const { return m_input->streams[m_stream]; }

    void openSegment(std::size_t index) {
        m_segment = index;
        const std::string& path = m_request.segments[index];
        m_input = openInput(path, false);
        m_stream = findStream(m_input.get(), AVMEDIA_TYPE_VIDEO, path);
        if (m_parameters && !sameCoding(*m_parameters, *stream()->codecpar)) {
            throw JoinError(path + ": coded unlike the first segment");
        }
        m_first.reset();
        m_inSegment = 0;
    }

    void finishSegment() {
        if (!m_request.frames.empty() && m_inSegment != m_request.frames[m_segment]) {
            throw JoinError(m_request.segments[m_segment] + ": " + std::to_string(m_inSegment) +
                            " frames where " + std::to_string(m_request.frames[m_segment]) +
                            " belong");
        }
        m_offset += m_inSegment;
    }

    const JoinRequest& m_request;
    AVRational m_frameTime;
    Input m_input;
    int m_stream = -1;
    std::size_t m_segment = 0;
    AVCodecParameters* m_parameters = nullptr;
    std::optional<std::int64_t> m_first;
    std::int64_t m_inSegment = 0;
    std::int64_t m_offset = 0;
};

class Output {
public:
    Output(const std::string& path, const std::string& formatName) : m_path(path) {
        const AVOutputFormat* format = av_guess_format(nullptr, formatName.c_str(), nullptr);
        const int code = avformat_alloc_output_context2(&m_context, format, nullptr, path.c_str());
        if (code < 0) {
            throw JoinError(path + ": " + averror(code));
        }
        // No date or random identifier: the same segments join into the same
        // bytes, wherever the join runs.
        m_context->flags |= AVFMT_FLAG_BITEXACT;
    }
    ~Output() {
        if (m_context) {
            if (m_context->pb) {
                avio_closep(&m_context->pb);
            }
            avformat_free_context(m_context);
        }
        if (!m_kept) {
            std::error_code ignored;
            std::filesystem::remove(m_path, ignored);
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    AVStream* AddStream(const AVCodecParameters* parameters, AVRational timeBase) {
        AVStream* stream = avformat_new_stream(m_context, nullptr);
        avcodec_parameters_copy(stream->codecpar, parameters);
        stream->codecpar->codec_tag = 0;
        stream->time_base = timeBase;
        return stream;
    }
    void Begin() {
        int code = avio_open(&m_context->pb, m_path.c_str(), AVIO_FLAG_WRITE);
        if (code >= 0) {
            // Matroska's CRC-32 over every cluster took a third of the join's
            // time, for a check no reader of these files asks for: players
            // ignore it, and FFmpeg verifies it only when told to.
            AVDictionary* options = nullptr;
            av_dict_set(&options, "write_crc32", "0", 0);
            code = avformat_write_header(m_context, &options);
            av_dict_free(&options);
        }
        check(code);
    }
    void Write(AVPacket* packet) { check(av_interleaved_write_frame(m_context, packet)); }
    void End() {
        check(av_write_trailer(m_context));
        check(avio_closep(&m_context->pb));
        m_kept = true;
    }
    AVStream* Stream(int index) const { return m_context->streams[index]; }

private:
    void check(int code) const {
        if (code < 0) {
            throw JoinError(m_path + ": " + averror(code));
        }
    }
    std::string m_path;
    AVFormatContext* m_context = nullptr;
    bool m_kept = false;
};

}  // namespace

std::int64_t JoinSegments(const JoinRequest& request) {
    if (request.segments.empty()) {
        throw JoinError("nothing to join");
    }
    if (!request.frames.empty() && request.frames.size() != request.segments.size()) {
        throw JoinError("a frame count for every segment");
    }
    const AVRational frameTime = av_inv_q(av_d2q(request.fps, 1000000));
    const std::string temporary = request.output + ".partial";
    PictureSource pictures(request, frameTime);
    Output output(temporary, request.output);
    AVStream* const pictureStream = output.AddStream(pictures.Parameters(), frameTime);
    pictureStream->avg_frame_rate = pictureStream->r_frame_rate = av_inv_q(frameTime);

    Input sound;
    int soundIndex = -1;
    AVStream* soundStream = nullptr;
    if (!request.soundtrack.empty()) {
        sound = openInput(request.soundtrack, true);
        soundIndex = findStream(sound.get(), AVMEDIA_TYPE_AUDIO, request.soundtrack);
        const AVStream* in = sound->streams[soundIndex];
        soundStream = output.AddStream(in->codecpar, in->time_base);
    }
    output.Begin();

    // Both in file order, always the earlier of the two next.
    Packet picture(av_packet_alloc());
    Packet sample(av_packet_alloc());
    bool morePictures = pictures.Next(picture.get());
    const auto nextSound = [&]() {
        while (sound) {
            const int code = av_read_frame(sound.get(), sample.get());
            if (code == AVERROR_EOF) {
                return false;
            }
            if (code < 0) {
                throw JoinError(request.soundtrack + ": " + averror(code));
            }
            if (sample->stream_index == soundIndex) {
                return true;
            }
            av_packet_unref(sample.get());
        }
        return false;
    };
    bool moreSound = nextSound();
    const AVRational soundTime = sound ? sound->streams[soundIndex]->time_base : AVRational{1, 1};
    while (morePictures || moreSound) {
        const bool pictureFirst =
            morePictures &&
            (!moreSound || av_compare_ts(picture->pts, frameTime, sample->dts, soundTime) <= 0);
        if (pictureFirst) {
            av_packet_rescale_ts(picture.get(), frameTime, output.Stream(0)->time_base);
            output.Write(picture.get());
            morePictures = pictures.Next(picture.get());
        } else {
            sample->stream_index = soundStream->index;
            av_packet_rescale_ts(sample.get(), soundTime, soundStream->time_base);
            output.Write(sample.get());
            moreSound = nextSound();
        }
    }
    output.End();
    std::error_code error;
    std::filesystem::rename(temporary, request.output, error);
    if (error) {
        throw JoinError(request.output + ": " + error.message());
    }
    return pictures.Frames();
}

}  // namespace vesta::farm
