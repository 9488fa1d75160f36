#pragma once
// Copies of finished frames kept on the device. A copy is drawn behind the
// frame's own drawing, as one more draw of the same stream, and read a frame
// or two later, when it is long done: neither making nor reading it waits for
// the frame being drawn. (A blit would: drivers that draw on the processors
// turn a same-format blit into a copy made at once, after the frame is done.)

#include <cstdint>
#include <epoxy/gl.h>
#include <vector>

namespace vesta {

class GlFrameCopies {
public:
    // Copies of a `width` × `height` colour buffer in `colorFormat`, read back
    // as `format` / `type` pixels of `bytesPerPixel`.
    GlFrameCopies(int width, int height, GLenum colorFormat, GLenum format, GLenum type,
                  int bytesPerPixel);
    ~GlFrameCopies();
    GlFrameCopies(const GlFrameCopies&) = delete;
    GlFrameCopies& operator=(const GlFrameCopies&) = delete;

    // Copies the colour texture `source` (rows as drawn); false when every copy
    // still waits to be read. Leaves `rebind` bound and the rest of the state as it was.
    bool Queue(GLuint source, GLuint rebind);
    // The oldest queued copy, rows as drawn, or null when none is queued.
    const std::uint8_t* ReadOldest(int& pitch, GLuint rebind);

private:
    static constexpr int kCopies = 3;

    int m_width;
    int m_height;
    GLenum m_format;
    GLenum m_type;
    int m_bytesPerPixel;
    GLuint m_framebuffers[kCopies] = {};
    GLuint m_colors[kCopies] = {};
    GLuint m_program = 0;
    GLuint m_vertexArray = 0;
    int m_oldest = 0;
    int m_queued = 0;
    std::vector<std::uint8_t> m_pixels;
};

}  // namespace vesta
