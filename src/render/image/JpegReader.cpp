#include "render/image/JpegReader.h"

// jpeglib.h needs size_t and FILE declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include "fs/DataFile.h"
#include "log/Log.h"

namespace vesta {
namespace {

// Larger than any texture a device takes; a forged header cannot ask for
// gigabytes.
constexpr JDIMENSION kMaximumSide = 8192;

// libjpeg's default error handler ends the process; this one jumps back to the
// guarded call that failed. The guarded functions hold only trivial locals and
// libjpeg calls no C++ code with destructors, so the jump skips none.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    const std::string* shownName = nullptr;
    char reason[JMSG_LENGTH_MAX] = {};  // libjpeg's words for the failure
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->reason);
    std::longjmp(errors->jump, 1);
}

// Warnings (a file cut short is padded, for one) leave a usable picture; the
// log keeps them instead of standard error.
void onMessage(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    char text[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, text);
    LogPrintf("JpegLoad : [%s] %s", errors->shownName->c_str(), text);
}

struct JpegSession {
    JpegSession() = default;
    ~JpegSession() {
        if (created) {
            jpeg_destroy_decompress(&info);
        }
    }
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;

    jpeg_decompress_struct info{};
    JpegErrors errors{};
    bool created = false;
};

bool guardedCreate(JpegSession* session) {
    session->info.err = jpeg_std_error(&session->errors.manager);
    session->errors.manager.error_exit = onError;
    session->errors.manager.output_message = onMessage;
    if (setjmp(session->errors.jump)) {
        return false;
    }
    jpeg_create_decompress(&session->info);
    session->created = true;
    return true;
}

bool guardedReadHeader(JpegSession* session, const std::uint8_t* data, std::uint32_t size) {
    if (setjmp(session->errors.jump)) {
        return false;
    }
    jpeg_mem_src(&session->info, data, size);
    jpeg_read_header(&session->info, TRUE);
    return true;
}

bool guardedDecode(JpegSession* session, std::uint8_t* destination, bool rgbOrder) {
    if (setjmp(session->errors.jump)) {
        return false;
    }
    jpeg_decompress_struct* info = &session->info;
    info->out_color_space = rgbOrder ? JCS_RGB : JCS_EXT_BGR;
    jpeg_start_decompress(info);
    const std::size_t rowBytes = std::size_t{info->output_width} * 3;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = destination + info->output_scanline * rowBytes;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

// One file opened and its header read; the library state is freed at the end.
class JpegFile {
public:
    JpegFile(const std::string& path, const std::string& shownName) : m_path(shownName) {
        m_session.errors.shownName = &m_path;
        if (!m_file.Open(path)) {
            RaiseError("Cannot open file [%s]", m_path.c_str());
        }
        if (!guardedCreate(&m_session)) {
            RaiseError("Cannot init jpeg lib");
        }
        if (!guardedReadHeader(&m_session, m_file.Data(), m_file.Size()) ||
            m_session.info.image_width > kMaximumSide ||
            m_session.info.image_height > kMaximumSide) {
            invalid();
        }
    }
    JpegFile(const JpegFile&) = delete;
    JpegFile& operator=(const JpegFile&) = delete;

    int Width() const { return static_cast<int>(m_session.info.image_width); }
    int Height() const { return static_cast<int>(m_session.info.image_height); }

    void Decode(std::vector<std::uint8_t>& destination, bool rgbOrder) {
        if (m_session.info.num_components != 3) {
            RaiseError("File [%s] is not valid JPEG file. (24Bits files only)", m_path.c_str());
        }
        destination.assign(std::size_t(Width()) * Height() * 3, 0);
        if (!guardedDecode(&m_session, destination.data(), rgbOrder)) {
            invalid();
        }
    }

private:
    [[noreturn]] void invalid() const {
        const char* reason = m_session.errors.reason;
        if (!reason[0]) {
            reason = "larger than 8192 pixels a side";
        }
        RaiseError("File [%s] is not valid JPEG file. %s", m_path.c_str(), reason);
    }

    std::string m_path;
    DataFile m_file;
    JpegSession m_session;
};

}  // namespace

bool JpegReader::ReadHeader(const std::string& path, int& width, int& height) {
    const JpegFile file(path, m_shownName.empty() ? path : m_shownName);
    width = file.Width();
    height = file.Height();
    return true;
}

void JpegReader::ReadImage(const std::string& path, std::vector<std::uint8_t>& destination,
                           bool rgbOrder) {
    JpegFile file(path, m_shownName.empty() ? path : m_shownName);
    file.Decode(destination, rgbOrder);
}

}  // namespace vesta
