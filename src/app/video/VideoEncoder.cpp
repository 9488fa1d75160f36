#include "app/video/VideoEncoder.h"

#include <cstring>

#include "app/video/OutputFile.h"
#include "app/video/VideoError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace vesta {
namespace {

const AVCodec* findVideoEncoder(const std::string& name) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    if (!codec) {
        ThrowVideoError("VideoForWindows : Unknown video codec [" + name + "].",
                        "FFmpeg has no encoder named [" + name + "]");
    }
    if (codec->type != AVMEDIA_TYPE_VIDEO) {
        ThrowVideoError("VideoForWindows : [" + name + "] is not a video codec.",
                        "the encoder [" + name + "] is not for pictures");
    }
    return codec;
}

bool offers(const AVCodec* codec, AVPixelFormat format) {
    for (const AVPixelFormat* offered = codec->pix_fmts; *offered != AV_PIX_FMT_NONE; ++offered) {
        if (*offered == format) {
            return true;
        }
    }
    return false;
}

// The format the encoder takes that loses least of 8-bit BGR; but an encoder
// that works in YUV gets 4:2:0, since players often refuse 4:4:4 H.264 and kin.
AVPixelFormat chooseFormat(const AVCodec* codec) {
    if (!codec->pix_fmts) {
        return AV_PIX_FMT_BGR24;
    }
    const AVPixelFormat best =
        avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, AV_PIX_FMT_BGR24, 0, nullptr);
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(best);
    const bool yuv = descriptor && !(descriptor->flags & AV_PIX_FMT_FLAG_RGB);
    return yuv && offers(codec, AV_PIX_FMT_YUV420P) ? AV_PIX_FMT_YUV420P : best;
}

// A codec that keeps colour at full resolution, for pictures of any size,
// among those the container holds; empty when it holds none of them.
std::string fullColourCodecFor(const OutputFile& file) {
    for (const char* name : {"ffv1", "ffvhuff", "png"}) {
        const AVCodec* codec = avcodec_find_encoder_by_name(name);
        if (codec && avformat_query_codec(file.Format(), codec->id, FF_COMPLIANCE_NORMAL) == 1) {
            return name;
        }
    }
    return {};
}

// Subsampled colour (4:2:0 and kin) covers whole blocks of pixels: encoders
// that take it refuse, or silently crop, the sizes the blocks do not divide.
void requireWholeColourBlocks(const OutputFile& file, const std::string& codecName,
                              AVPixelFormat format, int width, int height) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    if (!descriptor) {
        return;
    }
    const int across = 1 << descriptor->log2_chroma_w;
    const int down = 1 << descriptor->log2_chroma_h;
    if (width % across == 0 && height % down == 0) {
        return;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string multiple = across == 2 && down == 2 ? "even sizes"
                                 : across == down
                                     ? "sizes that are multiples of " + std::to_string(across)
                                     : "widths that are multiples of " + std::to_string(across) +
                                           " and heights of " + std::to_string(down);
    std::string wayOut = "choose a --mode of " + multiple;
    const std::string fullColour = fullColourCodecFor(file);
    if (!fullColour.empty() && fullColour != codecName) {
        wayOut += " or --codec " + fullColour;
    }
    ThrowVideoError(kCantCreateCompressedStream,
                    codecName + " stores colour as " + av_get_pix_fmt_name(format) +
                        ", which needs " + multiple + ", not " + size + ": " + wayOut);
}

}  // namespace

std::string DefaultVideoCodec(const OutputFile& file) {
    // FFV1 is lossless, ships with every FFmpeg and keeps up with 640x480 in real
    // time: a recording is usually edited or re-encoded later, so nothing of the
    // picture is thrown away here. Containers that cannot hold it get their own.
    const std::string container = file.FormatName();
    if (container == "avi" || container == "matroska") {
        return "ffv1";
    }
    const AVCodec* codec = avcodec_find_encoder(file.Format()->video_codec);
    return codec ? codec->name : "";
}

VideoEncoder::~VideoEncoder() {
    Release();
}

void VideoEncoder::Open(OutputFile& file, int width, int height, FrameRate rate,
                        const std::string& codecName) {
    Release();
    if (file.Format()->video_codec == AV_CODEC_ID_NONE) {
        ThrowVideoError(kCantCreateVideoStream,
                        std::string("the ") + file.FormatName() + " container holds no video");
    }
    if (width <= 0 || height <= 0 || rate.numerator <= 0) {
        ThrowVideoError(kCantCreateVideoStream, "a " + std::to_string(width) + "x" +
                                                    std::to_string(height) +
                                                    " picture or its frame rate is not usable");
    }
    m_file = &file;
    m_width = width;
    m_height = height;
    m_codecName = codecName.empty() ? DefaultVideoCodec(file) : codecName;
    m_stream = file.AddStream(kCantCreateVideoStream);
    openCodec(file, m_codecName, rate);
    openConverter();
    m_nextIndex = 0;
    m_flushed = false;
}

void VideoEncoder::openCodec(OutputFile& file, const std::string& codecName, FrameRate rate) {
    const AVCodec* codec = findVideoEncoder(codecName);
    if (avformat_query_codec(file.Format(), codec->id, FF_COMPLIANCE_NORMAL) == 0) {
        ThrowVideoError(kCantCreateCompressedStream,
                        std::string("the ") + file.FormatName() + " container can't hold " +
                            codecName + ": choose another --codec, or leave it out for " +
                            DefaultVideoCodec(file));
    }
    m_codec = avcodec_alloc_context3(codec);
    m_packet = av_packet_alloc();
    if (!m_codec || !m_packet) {
        ThrowVideoError(kCantCreateCompressedStream, "out of memory for the encoder");
    }
    m_codec->width = m_width;
    m_codec->height = m_height;
    m_codec->time_base = AVRational{rate.denominator, rate.numerator};
    m_codec->framerate = AVRational{rate.numerator, rate.denominator};
    m_codec->pix_fmt = chooseFormat(codec);
    requireWholeColourBlocks(file, codecName, m_codec->pix_fmt, m_width, m_height);
    if (codec->id == AV_CODEC_ID_MPEG4) {
        // The default bit rate of 200 kbit/s smears a demo into blocks.
        m_codec->flags |= AV_CODEC_FLAG_QSCALE;
        m_codec->global_quality = FF_QP2LAMBDA * 3;
    }
    if (file.WantsGlobalHeader()) {
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int result = avcodec_open2(m_codec, codec, nullptr);
    if (result < 0) {
        ThrowFfmpegError(kCantCreateCompressedStream,
                         "the " + codecName + " encoder refused " + std::to_string(m_width) + "x" +
                             std::to_string(m_height),
                         result);
    }
    m_stream->time_base = m_codec->time_base;
    m_stream->avg_frame_rate = m_codec->framerate;
    result = avcodec_parameters_from_context(m_stream->codecpar, m_codec);
    if (result < 0) {
        ThrowFfmpegError(kCantSetStreamFormat, "the stream took no parameters", result);
    }
}

void VideoEncoder::openConverter() {
    const auto format = static_cast<AVPixelFormat>(m_codec->pix_fmt);
    m_converter = sws_getContext(m_width, m_height, AV_PIX_FMT_BGR24, m_width, m_height, format,
                                 SWS_POINT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    m_picture = av_frame_alloc();
    if (!m_converter || !m_picture) {
        ThrowVideoError(kCantSetStreamFormat,
                        std::string("no conversion from BGR to ") + av_get_pix_fmt_name(format));
    }
    m_picture->format = format;
    m_picture->width = m_width;
    m_picture->height = m_height;
    const int result = av_frame_get_buffer(m_picture, 0);
    if (result < 0) {
        ThrowFfmpegError(kCantSetStreamFormat, "no memory for a picture", result);
    }
}

void VideoEncoder::Encode(const std::uint8_t* frame) {
    if (!frame || !m_codec || m_flushed) {
        return;
    }
    const int result = av_frame_make_writable(m_picture);
    if (result < 0) {
        ThrowFfmpegError(kCantWriteFile, "no memory for a picture", result);
    }
    // A negative stride reads the bottom-up rows top row first.
    const int rowBytes = m_width * 3;
    const std::uint8_t* source[1] = {frame + std::size_t(m_height - 1) * rowBytes};
    const int sourceStride[1] = {-rowBytes};
    sws_scale(m_converter, source, sourceStride, 0, m_height, m_picture->data, m_picture->linesize);
    m_picture->pts = m_nextIndex++;
    send(m_picture);
}

void VideoEncoder::Flush() {
    if (!m_codec || m_flushed) {
        return;
    }
    m_flushed = true;
    send(nullptr);
}

void VideoEncoder::send(const AVFrame* frame) {
    const int result = avcodec_send_frame(m_codec, frame);
    if (result < 0) {
        ThrowFfmpegError(kCantWriteFile, "the " + m_codecName + " encoder refused a frame", result);
    }
    m_file->WriteEncoded(m_codec, m_packet, m_stream);
}

void VideoEncoder::Release() {
    sws_freeContext(m_converter);
    m_converter = nullptr;
    av_frame_free(&m_picture);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
    m_stream = nullptr;
    m_file = nullptr;
}

}  // namespace vesta
