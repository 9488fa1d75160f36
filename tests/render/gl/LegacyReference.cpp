#include "LegacyReference.h"

#include <cmath>
#include <epoxy/gl.h>

#include "render/gl/GlEnums.h"

namespace vesta::test {
namespace {

Matrix4 directToGlClip(const gl::Viewport& v) {
    // Direct3D clip (x, y, z 0..1, w) to GL clip: y turned over, half a pixel
    // shifted, z to -1..1. Row vectors, so the fourth row adds w times it.
    Matrix4 m;
    m.m[1][1] = -1.0f;
    m.m[2][2] = 2.0f;
    m.m[3][0] = 1.0f / static_cast<float>(v.width);
    m.m[3][1] = 1.0f / static_cast<float>(v.height);
    m.m[3][2] = -1.0f;
    return m;
}

void color4(GLenum light, GLenum name, const gl::ColorValue& c, float alpha) {
    const GLfloat value[4] = {c.r, c.g, c.b, alpha};
    glLightfv(light, name, value);
}

void setLight(int index, const gl::Light& light, bool specular) {
    const GLenum id = GL_LIGHT0 + static_cast<GLenum>(index);
    if (!light.enabled) {
        glDisable(id);
        return;
    }
    glEnable(id);
    color4(id, GL_DIFFUSE, light.diffuse, 1.0f);
    color4(id, GL_SPECULAR, specular ? light.specular : gl::ColorValue{}, 1.0f);
    color4(id, GL_AMBIENT, light.ambient, 1.0f);
    const GLfloat position[4] = {light.position.x, light.position.y, light.position.z, 1.0f};
    glLightfv(id, GL_POSITION, position);
    glLightf(id, GL_CONSTANT_ATTENUATION, light.attenuation0);
    glLightf(id, GL_LINEAR_ATTENUATION, light.attenuation1);
    glLightf(id, GL_QUADRATIC_ATTENUATION, light.attenuation2);
    if (light.type == gl::LightType::Spot) {
        const GLfloat direction[3] = {light.direction.x, light.direction.y, light.direction.z};
        glLightfv(id, GL_SPOT_DIRECTION, direction);
        glLightf(id, GL_SPOT_CUTOFF, light.phi * 0.5f * 180.0f / 3.14159265f);
        glLightf(id, GL_SPOT_EXPONENT, light.falloff);
    } else {
        glLightf(id, GL_SPOT_CUTOFF, 180.0f);
    }
}

void material(GLenum name, const gl::ColorValue& c, float alpha) {
    const GLfloat value[4] = {c.r, c.g, c.b, alpha};
    glMaterialfv(GL_FRONT_AND_BACK, name, value);
}

void setLighting(const gl::PipelineState& s) {
    if (!s.lighting) {
        glDisable(GL_LIGHTING);
        return;
    }
    glEnable(GL_LIGHTING);
    const GLfloat ambient[4] = {s.ambient.r, s.ambient.g, s.ambient.b, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    material(GL_DIFFUSE, s.material.diffuse, s.material.diffuse.a);
    material(GL_AMBIENT, s.material.ambient, 1.0f);
    material(GL_EMISSION, s.material.emissive, 1.0f);
    material(GL_SPECULAR, s.specular ? s.material.specular : gl::ColorValue{}, 1.0f);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, s.material.power);
    // Lights are given in world space: positions go through the view matrix.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&s.view.m[0][0]);
    for (int i = 0; i < gl::MaxLights; ++i) {
        setLight(i, s.lights[i], s.specular);
    }
}

void setFog(const gl::PipelineState& s) {
    if (!s.fog.enabled) {
        glDisable(GL_FOG);
        return;
    }
    glEnable(GL_FOG);
    static const GLint modes[] = {GL_LINEAR, GL_EXP, GL_EXP2};
    glFogi(GL_FOG_MODE, modes[static_cast<int>(s.fog.mode)]);
    glFogf(GL_FOG_START, s.fog.start);
    glFogf(GL_FOG_END, s.fog.end);
    glFogf(GL_FOG_DENSITY, s.fog.density);
    const GLfloat color[4] = {s.fog.color.r, s.fog.color.g, s.fog.color.b, 1.0f};
    glFogfv(GL_FOG_COLOR, color);
    glFogi(GL_FOG_COORD_SRC, GL_FRAGMENT_DEPTH);
    glHint(GL_FOG_HINT, s.fog.table ? GL_NICEST : GL_FASTEST);
}

GLint colorSource(ColorArg arg) {
    switch (arg) {
    case ColorArg::Diffuse:
        return GL_PRIMARY_COLOR;
    case ColorArg::Current:
        return GL_PREVIOUS;
    case ColorArg::Texture:
        return GL_TEXTURE;
    }
    return GL_PREVIOUS;
}

GLint alphaSource(AlphaArg arg) {
    switch (arg) {
    case AlphaArg::Current:
        return GL_PREVIOUS;
    case AlphaArg::Texture:
        return GL_TEXTURE;
    case AlphaArg::Diffuse:
        return GL_PRIMARY_COLOR;
    case AlphaArg::TextureFactor:
        return GL_CONSTANT;
    }
    return GL_PREVIOUS;
}

GLint combineColor(ColorOp op) {
    switch (op) {
    case ColorOp::SelectArg1:
        return GL_REPLACE;
    case ColorOp::Modulate:
        return GL_MODULATE;
    case ColorOp::Add:
        return GL_ADD;
    case ColorOp::AddSigned:
        return GL_ADD_SIGNED;
    case ColorOp::BlendFactorAlpha:
        return GL_INTERPOLATE;
    case ColorOp::Disable:
        break;
    }
    return GL_REPLACE;
}

GLint combineAlpha(AlphaOp op) {
    switch (op) {
    case AlphaOp::SelectArg1:
        return GL_REPLACE;
    case AlphaOp::Modulate:
        return GL_MODULATE;
    case AlphaOp::Add:
        return GL_ADD;
    case AlphaOp::AddSigned:
        return GL_ADD_SIGNED;
    case AlphaOp::Subtract:
        return GL_SUBTRACT;
    case AlphaOp::BlendFactorAlpha:
        return GL_INTERPOLATE;
    case AlphaOp::Disable:
        break;
    }
    return GL_REPLACE;
}

void setCombine(const gl::TextureStage& stage, std::uint32_t factor) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, combineColor(stage.colorOp));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB, colorSource(stage.colorArg1));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_RGB, colorSource(stage.colorArg2));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC2_RGB, GL_CONSTANT);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_ALPHA);
    const bool alphaOff = stage.alphaOp == AlphaOp::Disable;
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, combineAlpha(stage.alphaOp));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_ALPHA, alphaOff ? GL_PREVIOUS : alphaSource(stage.alphaArg1));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_ALPHA, alphaSource(stage.alphaArg2));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC2_ALPHA, GL_CONSTANT);
    const gl::ColorValue f = gl::UnpackColor(factor);
    const GLfloat constant[4] = {f.r, f.g, f.b, f.a};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant);
}

GLuint setStage(int unit, const gl::PipelineState& s, const TexelImage* texels, bool enabled) {
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    const gl::TextureStage& stage = s.stages[unit];
    if (!enabled || !texels) {
        glDisable(GL_TEXTURE_2D);
        return 0;
    }
    const GLuint name = MakeTexture(texels->width, texels->height, texels->argb);
    const GLint f = stage.filter != TextureFilter::Point ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                    static_cast<GLint>(gl::GlTextureAddress(stage.addressU, true)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                    static_cast<GLint>(gl::GlTextureAddress(stage.addressV, true)));
    glEnable(GL_TEXTURE_2D);
    setCombine(stage, s.textureFactor);
    return name;
}

void setFixed(const gl::PipelineState& s) {
    s.blend.enabled ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    glBlendFunc(gl::GlBlendFactor(s.blend.source), gl::GlBlendFactor(s.blend.destination));
    s.depth.enabled ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    glDepthMask(s.depth.write);
    glDepthFunc(gl::GlComparison(s.depth.comparison));
    s.alphaTest.enabled ? glEnable(GL_ALPHA_TEST) : glDisable(GL_ALPHA_TEST);
    glAlphaFunc(gl::GlComparison(s.alphaTest.comparison),
                static_cast<float>(s.alphaTest.reference) / 255.0f);
    glShadeModel(s.shade == ShadeMode::Flat ? GL_FLAT : GL_SMOOTH);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glFrontFace(GL_CCW);
    if (s.cull == CullMode::None) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(s.cull == CullMode::Clockwise ? GL_FRONT : GL_BACK);
    }
    const gl::Viewport& v = s.viewport;
    glViewport(v.x, v.y, v.width, v.height);
    glDepthRange(v.minZ, v.maxZ);
}

void setArrays(const std::vector<RenderVertex>& vertices) {
    const GLsizei stride = sizeof(RenderVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &vertices[0].x);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, stride, &vertices[0].nx);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, &vertices[0].diffuse);
    for (int unit = 0; unit < 2; ++unit) {
        glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, unit == 0 ? &vertices[0].u0 : &vertices[0].u1);
    }
}

}  // namespace

Image RenderLegacy(const gl::PipelineState& s, PrimitiveType primitive,
                   const std::vector<RenderVertex>& vertices, int size,
                   const TexelImage* textures[2], std::uint32_t clearArgb) {
    LegacyContext();
    Image image;
    {
        RenderTarget target(size, size);
        const gl::ColorValue clear = gl::UnpackColor(clearArgb);
        glClearColor(clear.r, clear.g, clear.b, clear.a);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        setFixed(s);
        glMatrixMode(GL_PROJECTION);
        const Matrix4 projection = s.projection * directToGlClip(s.viewport);
        glLoadMatrixf(&projection.m[0][0]);
        setLighting(s);
        glMatrixMode(GL_MODELVIEW);
        const Matrix4 worldView = s.world * s.view;
        glLoadMatrixf(&worldView.m[0][0]);
        setFog(s);
        const bool first = s.stages[0].colorOp != ColorOp::Disable;
        const bool second = first && s.stages[1].colorOp != ColorOp::Disable;
        const GLuint names[2] = {setStage(0, s, textures[0], first),
                                 setStage(1, s, textures[1], second)};
        setArrays(vertices);
        glDrawArrays(gl::GlPrimitive(primitive), 0, static_cast<GLsizei>(vertices.size()));
        image = target.Read();
        for (GLuint name : names) {
            if (name) {
                DeleteTexture(name);
            }
        }
    }
    CoreContext();
    return image;
}

}  // namespace vesta::test
