#pragma once
// A 64 x 64 target drawn through GlPipeline on the core context, with the
// state the render module's Initialize leaves: depth on, culling off,
// lighting off; the projection maps world x and y to pixels.

#include <gtest/gtest.h>
#include <memory>

#include "GlTestSupport.h"
#include "render/gl/GlPipeline.h"

namespace vesta::test {

class PipelineFixture : public ::testing::Test {
protected:
    static constexpr int Size = 64;

    void SetUp() override {
        CoreContext();
        m_target = std::make_unique<RenderTarget>(Size, Size);
        m_pipeline = std::make_unique<gl::GlPipeline>();
        gl::PipelineState& s = m_pipeline->State();
        s.viewport = {0, 0, Size, Size, 0.0f, 1.0f};
        s.cull = CullMode::None;
        s.projection = PixelProjection(Size, Size);
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
    }
    void TearDown() override {
        m_pipeline.reset();
        m_target.reset();
    }

    gl::PipelineState& State() { return m_pipeline->State(); }
    void DrawStrip(const std::vector<RenderVertex>& vertices) {
        m_pipeline->Draw(PrimitiveType::TriangleStrip, static_cast<int>(vertices.size()),
                         vertices.data());
    }
    Image Read() { return m_target->Read(); }

    std::unique_ptr<RenderTarget> m_target;
    std::unique_ptr<gl::GlPipeline> m_pipeline;
};

}  // namespace vesta::test
