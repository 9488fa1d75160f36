// The streaming ring under frames still in flight.

#include "render/gl/StreamBuffer.h"

#include <cstring>
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <vector>

#include "GlTestSupport.h"
#include "render/gl/GlPipeline.h"

namespace vesta::test {
namespace {

// Full-target blended quads: tens of milliseconds of work for a software
// rasteriser, queued behind whatever is fenced next.
void queueHeavyFrame(gl::GlPipeline& pipeline, int size) {
    gl::PipelineState& s = pipeline.State();
    s.viewport = {0, 0, size, size, 0.0f, 1.0f};
    s.projection = PixelProjection(size, size);
    s.cull = CullMode::None;
    s.depth.enabled = false;
    s.blend = {true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
    const std::vector<RenderVertex> quad =
        Quad(-0.5f, -0.5f, size - 0.5f, size - 0.5f, 0.5f, 0x80406080);
    for (int i = 0; i < 100; ++i) {
        pipeline.Draw(PrimitiveType::TriangleStrip, 4, quad.data());
    }
    glFlush();
}

TEST(StreamBufferTest, ALapThatWouldWaitForAFrameInFlightGrowsTheRingAndKeepsTheWrite) {
    CoreContext();
    constexpr int Size = 512;
    RenderTarget target(Size, Size);
    target.Bind();
    gl::GlPipeline pipeline;
    GLuint array = 0;
    glGenVertexArrays(1, &array);
    glBindVertexArray(array);
    gl::StreamBuffer ring(GL_ARRAY_BUFFER, 4096);
    const GLuint first = ring.Name();
    GLint capacity = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &capacity);

    queueHeavyFrame(pipeline, Size);
    const GLsync probe = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    const GLenum drawn = glClientWaitSync(probe, 0, 0);
    glDeleteSync(probe);
    if (drawn != GL_TIMEOUT_EXPIRED) {
        // Rasterising at the flush itself (LP_NUM_THREADS=0): nothing is in flight.
        GTEST_SKIP() << "the device drew the frame before the flush returned";
    }
    // A lap and a bit: the fences the first lap leaves cover the heavy frame,
    // which is still being drawn when the second lap reaches them.
    std::vector<unsigned char> chunk(1024);
    std::size_t offset = 0;
    for (int i = 0; ring.Name() == first && i * chunk.size() < 2 * std::size_t(capacity); ++i) {
        std::memset(chunk.data(), i & 0xFF, chunk.size());
        offset = ring.Write(chunk.data(), chunk.size(), 4);
    }
    ASSERT_NE(ring.Name(), first) << "the second lap waited for the frame in flight";
    GLint grown = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &grown);
    EXPECT_GE(grown, 2 * capacity);
    // The write that caused the growth is in the new buffer, where it says.
    std::vector<unsigned char> stored(chunk.size());
    glGetBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset),
                       static_cast<GLsizeiptr>(stored.size()), stored.data());
    EXPECT_EQ(stored, chunk);
    glFinish();
    glDeleteVertexArrays(1, &array);
}

}  // namespace
}  // namespace vesta::test
