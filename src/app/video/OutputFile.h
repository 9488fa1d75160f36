#pragma once
// The container: the muxer chosen from the file name, its streams, the header
// written before the first packet and the trailer written at the end.
//
// The file itself is created with the header, once every encoder has opened
// and the first packet is ready: a recording refused or stopped before its
// first frame leaves nothing behind. Packets stop short of the file's room
// (file size limit, free space) by what the trailer needs, so that a
// recording cut short by a full disk still ends with its index.

#include <cstdint>
#include <string>

extern "C" {
struct AVCodecContext;
struct AVFormatContext;
struct AVOutputFormat;
struct AVStream;
struct AVPacket;
struct AVRational;
}

namespace vesta {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The container follows the extension; AVI when it names none FFmpeg
    // knows. Checks that the file can be created there, without creating it.
    void Open(const std::string& fileName);
    const std::string& FileName() const { return m_fileName; }
    bool IsOpen() const { return m_context != nullptr; }
    const AVOutputFormat* Format() const;
    const char* FormatName() const;
    bool WantsGlobalHeader() const;

    AVStream* AddStream(const char* failureText);

    // Before the first packet; later calls do nothing.
    void WriteHeader();
    bool HeaderWritten() const { return m_headerWritten; }

    // Takes the packet's contents; times are rescaled from `timeBase`.
    void WritePacket(AVPacket* packet, AVStream* stream, AVRational timeBase);
    // Everything `encoder` has ready, through `packet`, into `stream`, its
    // times moved later by `delay` (in the encoder's time base).
    void WriteEncoded(AVCodecContext* encoder, AVPacket* packet, AVStream* stream,
                      std::int64_t delay = 0);
    // Where the packets of an encoder that starts before zero (a priming
    // sound encoder) go, so that the other streams keep their times.
    enum class Priming {
        MuxerPlaces,  // the container declares it (edit list, codec delay)
        BeforeZero,   // written at their negative times
        AfterZero,    // no way to say it: the stream is delayed by its priming
    };
    Priming PrimingPlacement() const;
    // Lets packets before zero through unchanged (see Priming::BeforeZero).
    void KeepNegativeTimes();

    // Writes the trailer (when the header made it out) and closes the file.
    // Keeps going after a failure and reports the first one.
    void Close();
    // Closes without header or trailer, for an Open that failed half-way.
    void Abandon();

private:
    void createFile();
    void ensureRoomFor(int packetBytes);

    AVFormatContext* m_context = nullptr;
    std::string m_fileName;
    std::int64_t m_headerBytes = 0;
    std::int64_t m_packetBytes = 0;  // handed to the muxer so far
    std::int64_t m_packets = 0;
    bool m_headerWritten = false;
    bool m_failed = false;
    bool m_full = false;  // no room left for another packet
};

}  // namespace vesta
