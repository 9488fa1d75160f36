#include "app/dialogs/CodecChoices.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace vesta {
namespace {

// Encoders that need a device this player never opens; FFmpeg marks some
// of them with no capability, so their names say it.
bool needsHardware(const AVCodec& codec) {
    if (codec.capabilities & (AV_CODEC_CAP_HARDWARE | AV_CODEC_CAP_EXPERIMENTAL)) {
        return true;
    }
    const std::string name = codec.name;
    for (const char* suffix : {"_vaapi", "_nvenc", "_qsv", "_v4l2m2m", "_amf", "_vulkan",
                               "_videotoolbox", "_omx", "_mf", "_cuvid"}) {
        if (name.find(suffix) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<CodecChoice> VideoCodecChoices(const std::string& fileName) {
    const AVOutputFormat* format = av_guess_format(nullptr, fileName.c_str(), nullptr);
    if (!format) {
        format = av_guess_format("avi", nullptr, nullptr);
    }
    std::vector<CodecChoice> choices;
    void* state = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&state)) {
        if (codec->type != AVMEDIA_TYPE_VIDEO || !av_codec_is_encoder(codec) ||
            needsHardware(*codec) ||
            avformat_query_codec(format, codec->id, FF_COMPLIANCE_NORMAL) != 1) {
            continue;
        }
        std::string label = codec->name;
        if (codec->long_name) {
            label += std::string(" - ") + codec->long_name;
        }
        choices.push_back({codec->name, label});
    }
    std::sort(choices.begin(), choices.end(),
              [](const CodecChoice& a, const CodecChoice& b) { return a.name < b.name; });
    choices.insert(choices.begin(), {"", std::string("Default for ") + format->name});
    return choices;
}

}  // namespace vesta
