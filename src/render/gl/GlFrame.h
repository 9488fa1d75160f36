#pragma once
// The back buffer: an offscreen framebuffer of the video mode's size, drawn
// with its rows flipped so that row 0 is the top of the picture, shown scaled
// with its aspect kept.

#include <cstdint>
#include <epoxy/gl.h>
#include <vector>

#include "render/gl/GlFrameBuffers.h"

namespace vesta {

class GlFrame {
public:
    // 16 bits per pixel give an RGB565 colour buffer, anything else an
    // X8R8G8B8 frame (blending reads its alpha as 1): RGB8 until the first
    // Lock or QueueCopy, RGBA8 with alpha kept at 1 from then on. Depth 24
    // with stencil 8 either way.
    GlFrame(int width, int height, int bitsPerPixel);
    ~GlFrame();
    GlFrame(const GlFrame&) = delete;
    GlFrame& operator=(const GlFrame&) = delete;

    bool Complete() const { return m_buffers.Complete(); }
    // Binds the frame for drawing.
    void Bind();
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BytesPerPixel() const { return m_bitsPerPixel == 16 ? 2 : 4; }

    // The depth-stencil buffer, which the frame has from the first need on.
    void AttachDepth() { m_buffers.AttachDepth(); }

    // Scales the last finished frame into the default framebuffer of
    // `targetWidth` × `targetHeight`, black bars where the aspects differ.
    void PresentTo(int targetWidth, int targetHeight) const;

    // The frame in the back buffer's format (R5G6B5, or X8R8G8B8 as bytes
    // B, G, R, X with X 0xFF), top row first; written back on Unlock.
    std::uint8_t* Lock(int& pitch);
    void Unlock();
    // Hands the frame as it stands to ReadCopy, a frame or two later, without
    // copying it: drawing goes on in another buffer, bound now, which takes
    // the frame's picture over at the first BeforeClear of it, Bind, Unlock
    // or QueueCopy. Until then Lock, ReadPixel16 and PresentTo see the frame
    // handed over. Drawing before any of those would draw over an older
    // picture: the player clears after every present. False when every
    // buffer still waits to be read.
    bool QueueCopy();
    // The oldest queued frame in the Lock format, top row first; null when
    // none. Every frame queued by then is read back at once: valid until the
    // next call.
    const std::uint8_t* ReadCopy(int& pitch);
    // The first two bytes of pixel (x, y) (top-down), read straight from the frame.
    std::uint16_t ReadPixel16(int x, int y) const;

    // Called before each clear of whatever is bound, with the clear's colour
    // switch and rectangle. After a QueueCopy, the first clear of the frame
    // that leaves some of its colour (colour clear off, a viewport smaller
    // than the frame) has the last picture carried under it; a clear of all
    // of it needs no copy.
    void BeforeClear(bool color, int x, int y, int width, int height);

private:
    void readFormat(GLenum& format, GLenum& type) const;
    void readPixels(GLuint framebuffer, std::vector<std::uint8_t>& into, int& pitch) const;

    int m_width;
    int m_height;
    int m_bitsPerPixel;
    GLuint m_depthStencil = 0;
    GlFrameBuffers m_buffers;
    std::vector<std::uint8_t> m_locked;
    std::vector<std::uint8_t> m_snapshot;
    bool m_isLocked = false;
    // Frames read back and not handed out yet, oldest first, as a ring.
    std::vector<std::uint8_t> m_read[GlFrameBuffers::kBuffers];
    int m_readOldest = 0;
    int m_readCount = 0;
};

}  // namespace vesta
