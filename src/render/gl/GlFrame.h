#pragma once
// The back buffer: an offscreen framebuffer of the video mode's size, drawn
// with its rows flipped so that row 0 is the top of the picture, shown scaled
// with its aspect kept.

#include <cstdint>
#include <epoxy/gl.h>
#include <memory>
#include <vector>

#include "render/gl/GlFrameCopies.h"

namespace vesta {

class GlFrame {
public:
    // 16 bits per pixel give an RGB565 colour buffer, anything else RGBA8;
    // depth 24 with stencil 8 either way.
    GlFrame(int width, int height, int bitsPerPixel);
    ~GlFrame();
    GlFrame(const GlFrame&) = delete;
    GlFrame& operator=(const GlFrame&) = delete;

    bool Complete() const { return m_complete; }
    void Bind() const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BytesPerPixel() const { return m_bitsPerPixel == 16 ? 2 : 4; }

    // Scales the frame into the default framebuffer of `targetWidth` ×
    // `targetHeight`, black bars where the aspects differ.
    void PresentTo(int targetWidth, int targetHeight) const;

    // The frame in the back buffer's format (R5G6B5, or X8R8G8B8 as bytes
    // B, G, R, X), top row first; written back on Unlock.
    std::uint8_t* Lock(int& pitch);
    void Unlock();
    // A copy of the frame as it is now, read by ReadCopy a frame later
    // without waiting for the drawing in between; false when three wait.
    bool QueueCopy();
    // The oldest queued copy in the Lock format, top row first; null when none.
    const std::uint8_t* ReadCopy(int& pitch);
    // The first two bytes of pixel (x, y) (top-down), read straight from the frame.
    std::uint16_t ReadPixel16(int x, int y) const;

private:
    void readFormat(GLenum& format, GLenum& type) const;

    int m_width;
    int m_height;
    int m_bitsPerPixel;
    GLuint m_framebuffer = 0;
    GLuint m_color = 0;
    GLuint m_depthStencil = 0;
    bool m_complete = false;
    std::vector<std::uint8_t> m_locked;
    std::vector<std::uint8_t> m_snapshot;
    std::unique_ptr<GlFrameCopies> m_copies;  // made on the first QueueCopy
};

}  // namespace vesta
