#pragma once
// Copies of finished frames kept on the device: a copy is queued behind the
// frame's own drawing and read a frame later, when it is long done, so that
// reading it never waits for the frame being drawn. (A driver that draws on
// the processors makes the copy at once, after the frame: a plain memory copy,
// cheaper there than drawing the copy as one more draw of the stream.)

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

    // Copies the colour of `source` (rows as drawn); false when every copy
    // still waits to be read. Leaves `source` bound.
    bool Queue(GLuint source);
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
    int m_oldest = 0;
    int m_queued = 0;
    std::vector<std::uint8_t> m_pixels;
};

}  // namespace vesta
