#include "VideoReadBack.h"

#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace vesta::test {
namespace {

struct Decoder {
    AVCodecContext* context = nullptr;
    int stream = -1;
    ~Decoder() { avcodec_free_context(&context); }
};

bool openDecoder(AVFormatContext* format, AVMediaType type, Decoder& decoder) {
    const AVCodec* codec = nullptr;
    decoder.stream = av_find_best_stream(format, type, -1, -1, &codec, 0);
    if (decoder.stream < 0 || !codec) {
        return false;
    }
    decoder.context = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder.context, format->streams[decoder.stream]->codecpar);
    // Lets the decoder move a frame's time past the priming samples it drops.
    decoder.context->pkt_timebase = format->streams[decoder.stream]->time_base;
    return avcodec_open2(decoder.context, codec, nullptr) >= 0;
}

void keepPicture(const AVFrame* frame, ReadBack& out) {
    const int w = frame->width;
    const int h = frame->height;
    SwsContext* sws = sws_getContext(w, h, AVPixelFormat(frame->format), w, h, AV_PIX_FMT_BGR24,
                                     SWS_POINT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    std::vector<std::uint8_t> picture(std::size_t(w) * h * 3);
    // Written bottom row first, like the engine's frames.
    std::uint8_t* target[1] = {picture.data() + std::size_t(h - 1) * w * 3};
    const int stride[1] = {-w * 3};
    sws_scale(sws, frame->data, frame->linesize, 0, h, target, stride);
    sws_freeContext(sws);
    out.frames.push_back(std::move(picture));
}

void keepSamples(AVFrame* frame, ReadBack& out) {
    SwrContext* swr = nullptr;
    swr_alloc_set_opts2(&swr, &frame->ch_layout, AV_SAMPLE_FMT_FLT, frame->sample_rate,
                        &frame->ch_layout, AVSampleFormat(frame->format), frame->sample_rate, 0,
                        nullptr);
    swr_init(swr);
    const std::size_t first = out.samples.size();
    out.samples.resize(first + std::size_t(frame->nb_samples) * frame->ch_layout.nb_channels);
    auto* target = reinterpret_cast<std::uint8_t*>(out.samples.data() + first);
    swr_convert(swr, &target, frame->nb_samples, const_cast<const std::uint8_t**>(frame->data),
                frame->nb_samples);
    swr_free(&swr);
}

void noteFirstTime(const AVFrame* frame, AVRational timeBase, double& seconds) {
    if (std::isnan(seconds) && frame->best_effort_timestamp != AV_NOPTS_VALUE) {
        seconds = double(frame->best_effort_timestamp) * av_q2d(timeBase);
    }
}

void drain(AVCodecContext* context, AVRational timeBase, AVFrame* frame, bool video,
           ReadBack& out) {
    while (avcodec_receive_frame(context, frame) >= 0) {
        noteFirstTime(frame, timeBase, video ? out.firstFrameSeconds : out.firstSampleSeconds);
        video ? keepPicture(frame, out) : keepSamples(frame, out);
        av_frame_unref(frame);
    }
}

void describe(AVFormatContext* format, const Decoder& video, const Decoder& audio, ReadBack& out) {
    out.container = format->iformat->name;
    if (format->duration != AV_NOPTS_VALUE) {
        out.formatSeconds = double(format->duration) / AV_TIME_BASE;
    }
    if (video.context) {
        const AVStream* stream = format->streams[video.stream];
        out.hasVideo = true;
        out.videoCodec = avcodec_get_name(stream->codecpar->codec_id);
        out.width = stream->codecpar->width;
        out.height = stream->codecpar->height;
        out.rateNumerator = stream->r_frame_rate.num;
        out.rateDenominator = stream->r_frame_rate.den;
        if (stream->duration != AV_NOPTS_VALUE) {
            out.videoStreamSeconds = double(stream->duration) * av_q2d(stream->time_base);
        }
    }
    if (audio.context) {
        const AVStream* stream = format->streams[audio.stream];
        out.hasAudio = true;
        out.audioCodec = avcodec_get_name(stream->codecpar->codec_id);
        out.sampleRate = stream->codecpar->sample_rate;
        out.channels = stream->codecpar->ch_layout.nb_channels;
    }
}

}  // namespace

ReadBack ReadRecording(const std::filesystem::path& file) {
    ReadBack out;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, file.c_str(), nullptr, nullptr) < 0) {
        return out;
    }
    avformat_find_stream_info(format, nullptr);
    Decoder video;
    Decoder audio;
    if (!openDecoder(format, AVMEDIA_TYPE_VIDEO, video)) {
        avcodec_free_context(&video.context);
    }
    if (!openDecoder(format, AVMEDIA_TYPE_AUDIO, audio)) {
        avcodec_free_context(&audio.context);
    }
    out.opened = true;
    describe(format, video, audio, out);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (av_read_frame(format, packet) >= 0) {
        for (Decoder* decoder : {&video, &audio}) {
            if (decoder->context && packet->stream_index == decoder->stream) {
                if (decoder == &video && packet->pts != AV_NOPTS_VALUE) {
                    const AVStream* stream = format->streams[packet->stream_index];
                    const AVRational perFrame{out.rateDenominator, out.rateNumerator};
                    out.framePts.push_back(av_rescale_q(packet->pts, stream->time_base, perFrame));
                }
                avcodec_send_packet(decoder->context, packet);
                drain(decoder->context, format->streams[decoder->stream]->time_base, frame,
                      decoder == &video, out);
            }
        }
        av_packet_unref(packet);
    }
    for (Decoder* decoder : {&video, &audio}) {
        if (decoder->context) {
            avcodec_send_packet(decoder->context, nullptr);
            drain(decoder->context, format->streams[decoder->stream]->time_base, frame,
                  decoder == &video, out);
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return out;
}

std::vector<double> Loudness(const std::vector<float>& samples, std::size_t window) {
    std::vector<double> out;
    for (std::size_t start = 0; start + window * 2 <= samples.size(); start += window * 2) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + window * 2; ++i) {
            sum += double(samples[i]) * samples[i];
        }
        out.push_back(std::sqrt(sum / double(window * 2)));
    }
    return out;
}

}  // namespace vesta::test
