#include "render/image/PngReader.h"

#include <cstdio>
#include <cstring>
#include <png.h>

#include "fs/DataFile.h"
#include "log/Log.h"

namespace vesta {
namespace {

// Larger than any texture a device takes; keeps a forged header from asking
// for gigabytes before the first row is read.
constexpr png_uint_32 kMaximumSide = 8192;

// libpng reports errors by longjmp. The functions that call setjmp below hold
// only trivial locals, and no C++ frame with a destructor lies between them
// and libpng's callbacks, so a jump never skips a destructor.

// What libpng said of the failure, kept for the message; the file's name for
// the log lines of its warnings.
struct PngReport {
    const std::string* shownName = nullptr;
    char reason[200] = {};
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* report = static_cast<PngReport*>(png_get_error_ptr(png));
    std::snprintf(report->reason, sizeof report->reason, "%s", message ? message : "");
    png_longjmp(png, 1);
}

// Warnings (sRGB profiles, stray chunks) do not change the pixels; the log
// keeps them instead of standard error.
void onWarning(png_structp png, png_const_charp message) {
    auto* report = static_cast<PngReport*>(png_get_error_ptr(png));
    LogPrintf("PngLoad : [%s] %s", report->shownName->c_str(), message ? message : "");
}

void readFromFile(png_structp png, png_bytep data, size_t length) {
    auto* file = static_cast<DataFile*>(png_get_io_ptr(png));
    if (length > 0xFFFFFFFFu || file->Read(data, static_cast<std::uint32_t>(length)) != length) {
        png_error(png, "the file ends early");
    }
}

struct PngLayout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::size_t rowBytes = 0;
    int channels = 0;  // after the expansions: 3 or 4
};

// Every layout becomes 8-bit RGB or RGBA.
void requestExpansion(png_structp png, png_infop info) {
    const int colorType = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_interlace_handling(png);
}

bool guardedReadInfo(png_structp png, png_infop info, PngLayout* layout) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    requestExpansion(png, info);
    png_read_update_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    layout->channels = png_get_channels(png, info);
    return true;
}

bool guardedReadRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

struct PngHandles {
    PngHandles() = default;
    ~PngHandles() {
        if (png) {
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        }
    }
    PngHandles(const PngHandles&) = delete;
    PngHandles& operator=(const PngHandles&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// One open PNG file with its libpng state.
class PngSession {
public:
    PngSession(const std::string& path, const std::string& shownName) : m_shownName(shownName) {
        if (!m_file.Open(path)) {
            RaiseError("PngLoad : Cannot open File [%s].", m_shownName.c_str());
        }
        png_byte signature[4] = {};
        if (m_file.Read(signature, 4) != 4 || png_sig_cmp(signature, 0, 4) != 0) {
            RaiseError("PngLoad : File [%s] is not a valid PNG file.", m_shownName.c_str());
        }
        m_file.Seek(0, DataFile::kBegin);
        m_report.shownName = &m_shownName;
        m_handles.png =
            png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_report, onError, onWarning);
        if (!m_handles.png) {
            RaiseError("PngLoad : Invalid PNGLibrary Version.");
        }
        m_handles.info = png_create_info_struct(m_handles.png);
        if (!m_handles.info) {
            fail();
        }
        png_set_read_fn(m_handles.png, &m_file, readFromFile);
        png_set_user_limits(m_handles.png, kMaximumSide, kMaximumSide);
        if (!guardedReadInfo(m_handles.png, m_handles.info, &m_layout)) {
            fail();
        }
        if ((m_layout.channels != 3 && m_layout.channels != 4) ||
            m_layout.rowBytes != std::size_t{m_layout.width} * m_layout.channels) {
            std::snprintf(m_report.reason, sizeof m_report.reason, "unexpected pixel layout");
            fail();
        }
    }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;

    const PngLayout& Layout() const { return m_layout; }

    // The rows as libpng delivers them, one after the other.
    std::vector<png_byte> ReadRows() {
        std::vector<png_byte> pixels(m_layout.rowBytes * m_layout.height);
        std::vector<png_bytep> rows(m_layout.height);
        for (png_uint_32 y = 0; y < m_layout.height; ++y) {
            rows[y] = pixels.data() + y * m_layout.rowBytes;
        }
        if (!guardedReadRows(m_handles.png, m_handles.info, rows.data())) {
            fail();
        }
        return pixels;
    }

private:
    [[noreturn]] void fail() const {
        RaiseError("PngLoad : Error while reading PNG. [%s]: %s", m_shownName.c_str(),
                   m_report.reason[0] ? m_report.reason : "libpng gave no reason");
    }

    std::string m_shownName;
    PngReport m_report;
    DataFile m_file;
    PngHandles m_handles;
    PngLayout m_layout;
};

}  // namespace

bool PngReader::ReadHeader(const std::string& path, int& width, int& height) {
    PngSession session(path, m_shownName.empty() ? path : m_shownName);
    width = static_cast<int>(session.Layout().width);
    height = static_cast<int>(session.Layout().height);
    return true;
}

void PngReader::ReadImage(const std::string& path, std::vector<std::uint8_t>& destination) {
    PngSession session(path, m_shownName.empty() ? path : m_shownName);
    const PngLayout& layout = session.Layout();
    const std::vector<png_byte> rows = session.ReadRows();
    const std::size_t count = std::size_t{layout.width} * layout.height;
    const int channels = layout.channels;
    destination.assign(count * 3, 0);
    m_alpha.clear();
    if (channels == 4) {
        m_alpha.resize(count);
    }
    const int first = m_swap ? 2 : 0;
    for (std::size_t i = 0; i < count; ++i) {
        const png_byte* source = rows.data() + i * channels;
        std::uint8_t* target = destination.data() + i * 3;
        target[0] = source[first];
        target[1] = source[1];
        target[2] = source[2 - first];
        if (channels == 4) {
            m_alpha[i] = source[3];
        }
    }
}

}  // namespace vesta
