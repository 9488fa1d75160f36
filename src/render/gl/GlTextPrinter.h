#pragma once
// The system-font printer: glyphs rasterised once into a texture, text drawn
// as textured quads in white, over whatever the frame holds.

#include <epoxy/gl.h>

#include <vector>

#include "render/GlyphAtlas.h"
#include "render/RenderResources.h"

namespace vesta {

class GlTextPrinter : public Font {
public:
    // Heights are in points at 96 dots per inch, as the system font's were.
    static constexpr int kPointHeight = 10;
    static constexpr const char* kFamily = "Arial";

    GlTextPrinter(RenderModule& module, std::string name);
    ~GlTextPrinter() override;

protected:
    void DrawText(float x, float y, const char* text) override;

private:
    void createProgram();

    GlyphAtlas m_atlas;
    GLuint m_texture = 0;
    GLuint m_program = 0;
    GLuint m_vertexArray = 0;
    GLuint m_buffer = 0;
    GLint m_targetSizeLocation = -1;
    std::vector<float> m_vertices;
};

}  // namespace vesta
