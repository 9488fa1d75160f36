#pragma once
// The back buffer's colour buffers. Without a recording there is one, drawn
// into frame after frame. While recording, a finished frame is retired as it
// stands, to be read a frame or two later, and drawing goes on in a free
// buffer: nothing is copied, unless the next frame wants the last picture
// underneath (its first clear leaves part of the colour), and then only once.
//
// Every buffer shares one depth-stencil buffer, attached at the first need
// (AttachDepth): a frame that never tests depth or stencil draws faster
// without one. Nothing reads depth or
// stencil once a frame is finished (only its colour is shown and recorded),
// and the player's clears of depth and stencil are limited to the viewport:
// with one shared buffer, what a frame leaves outside such a clear is there
// for the next frame, exactly as with a single back buffer, with nothing to
// carry over and no memory spent on depth the recorder never reads.

#include <cstddef>
#include <epoxy/gl.h>

namespace vesta {

class GlFrameBuffers {
public:
    // The one drawn into and up to eight retired ones in hand. On llvmpipe
    // any read of a buffer first finishes all the drawing queued, and the
    // rasteriser then idles while the next frame is built: reading the
    // frames in hand at once makes that one wait per eight frames (beside
    // four, vesta_bench_recording's ffvhuff recording came from 0.88 to 0.90
    // of the bound the processors set, in four runs side by side). Nothing
    // reads a frame there without that wait: not a fence waited on first,
    // not a read into a pixel buffer (copied at once), not a shader writing
    // a mapped buffer (its draw waits for the frame it samples). Large
    // frames keep fewer, so that the frames in hand stay within
    // kFrameBudget, or within five buffers where even those exceed it.
    static constexpr int kBuffers = 9;
    static constexpr std::size_t kFrameBudget = std::size_t(128) << 20;

    // The first buffer now, the others at the first Retire. Buffers are made
    // in `drawFormat` until the first read-back needs `readFormat`.
    GlFrameBuffers(int width, int height, GLenum drawFormat, GLenum readFormat,
                   GLuint depthStencil);
    ~GlFrameBuffers();
    GlFrameBuffers(const GlFrameBuffers&) = delete;
    GlFrameBuffers& operator=(const GlFrameBuffers&) = delete;

    bool Complete() const { return m_complete; }
    // The framebuffer that the frame is drawn into.
    GLuint Current() const { return m_slots[m_current].framebuffer; }
    // Where the back buffer's picture stands: after a Retire, the retired
    // buffer until the current one takes over; otherwise the current one.
    GLuint Picture() const { return m_slots[m_picture].framebuffer; }
    // True from a Retire until the current buffer takes over the picture.
    bool TakeOverPending() const { return m_picture != m_current; }

    // Queues the current buffer as it stands and binds a free one for
    // drawing; false, with nothing changed, when none is free. The buffers
    // take the read-back format first.
    bool Retire();
    // From now on every buffer is in the read-back format; those made
    // before are converted, their pictures kept. Leaves the current one bound.
    void UseReadFormat();
    // The current buffer becomes the back buffer: the retired picture is
    // copied into it, unless the caller is about to overwrite it whole.
    void TakeOver(bool overwrittenWhole);

    // Attaches the depth-stencil buffer to every buffer, made or to be made;
    // leaves the current one bound.
    void AttachDepth();

    // The oldest retired buffer's framebuffer; 0 when none waits.
    GLuint Oldest() const;
    // Hands the oldest retired buffer back for drawing.
    void FreeOldest();

private:
    struct Slot {
        GLuint framebuffer = 0;
        GLuint color = 0;
    };

    bool make(Slot& slot) const;
    void convert(Slot& slot) const;
    bool busy(int index) const;
    int freeSlot();
    void copyPicture() const;
    // The colour of framebuffer `from` into `to`, whole.
    void copy(GLuint from, GLuint to) const;
    void clearOpaque() const;

    int m_width;
    int m_height;
    GLenum m_colorFormat;
    GLenum m_readFormat;
    GLuint m_depthStencil;
    bool m_depthAttached = false;
    bool m_complete = false;
    Slot m_slots[kBuffers];
    int m_made = 0;
    int m_limit = kBuffers;  // buffers made at most, for the frame's size
    int m_current = 0;
    int m_picture = 0;
    // Retired buffers, oldest first, as a ring.
    int m_queue[kBuffers] = {};
    int m_oldest = 0;
    int m_waiting = 0;
};

}  // namespace vesta
