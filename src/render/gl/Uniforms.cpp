#include "render/gl/Uniforms.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <epoxy/gl.h>
#include <initializer_list>
#include <string>

namespace vesta::gl {

namespace {

void copyMatrix(const Matrix4& matrix, float out[16]) {
    std::memcpy(out, matrix.m, 64);
}

void copyRgb(const ColorValue& color, float out[3]) {
    out[0] = color.r;
    out[1] = color.g;
    out[2] = color.b;
}

void transformPoint(const Matrix4& m, const Vector3& p, float out[3]) {
    for (int c = 0; c < 3; ++c) {
        out[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + m.m[3][c];
    }
}

void transformDirection(const Matrix4& m, const Vector3& d, float out[3]) {
    for (int c = 0; c < 3; ++c) {
        out[c] = d.x * m.m[0][c] + d.y * m.m[1][c] + d.z * m.m[2][c];
    }
    const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (length > 0.0f) {
        for (int c = 0; c < 3; ++c) {
            out[c] /= length;
        }
    }
}

// Records in `source` what the transform group is computed from; false when
// it held that already.
bool takeTransformSource(const PipelineState& state, TransformSource& source, bool known) {
    TransformSource now;
    copyMatrix(state.world, now.world);
    copyMatrix(state.view, now.view);
    copyMatrix(state.projection, now.projection);
    const Viewport& v = state.viewport;
    now.viewport[0] = v.x;
    now.viewport[1] = v.y;
    now.viewport[2] = v.width;
    now.viewport[3] = v.height;
    if (known && std::memcmp(&now, &source, sizeof now) == 0) {
        return false;
    }
    source = now;
    return true;
}

void computeTransform(const PipelineState& state, TransformUniforms& out) {
    const Matrix4 worldView = state.world * state.view;
    copyMatrix(worldView, out.worldView);
    copyMatrix(state.projection, out.projection);
    float inverse[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Inverse3x3(worldView, inverse);
    // Normals transform by the inverse transpose; for row vectors that is
    // n' = M^-1 n in column form, which GLSL gets column-major.
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            out.normalMatrix[column * 3 + row] = inverse[row][column];
        }
    }
    out.target[0] = static_cast<float>(state.viewport.x);
    out.target[1] = static_cast<float>(state.viewport.y);
    out.target[2] = static_cast<float>(state.viewport.width);
    out.target[3] = static_cast<float>(state.viewport.height);
}

void computeLights(const PipelineState& state, LightUniforms& out) {
    for (int i = 0; i < MaxLights; ++i) {
        const Light& light = state.lights[i];
        transformPoint(state.view, light.position, out.position[i]);
        transformDirection(state.view, light.direction, out.direction[i]);
        copyRgb(light.diffuse, out.diffuse[i]);
        copyRgb(light.specular, out.specular[i]);
        copyRgb(light.ambient, out.ambient[i]);
        out.attenuation[i][0] = light.attenuation0;
        out.attenuation[i][1] = light.attenuation1;
        out.attenuation[i][2] = light.attenuation2;
        out.attenuation[i][3] = light.range;
        out.spot[i][0] = std::cos(light.theta * 0.5f);
        out.spot[i][1] = std::cos(light.phi * 0.5f);
        out.spot[i][2] = light.falloff;
    }
}

void computeSurface(const PipelineState& state, SurfaceUniforms& out) {
    const Material& material = state.material;
    out.diffuse[0] = material.diffuse.r;
    out.diffuse[1] = material.diffuse.g;
    out.diffuse[2] = material.diffuse.b;
    out.diffuse[3] = material.diffuse.a;
    copyRgb(material.ambient, out.ambient);
    copyRgb(material.emissive, out.emissive);
    copyRgb(material.specular, out.specular);
    out.power = material.power;
    copyRgb(state.ambient, out.globalAmbient);
}

void computePixel(const PipelineState& state, PixelUniforms& out) {
    const ColorValue factor = UnpackColor(state.textureFactor);
    out.textureFactor[0] = factor.r;
    out.textureFactor[1] = factor.g;
    out.textureFactor[2] = factor.b;
    out.textureFactor[3] = factor.a;
    copyRgb(state.fog.color, out.fogColor);
    out.fogParams[0] = state.fog.start;
    out.fogParams[1] = state.fog.end;
    out.fogParams[2] = state.fog.density;
    out.alphaRef = static_cast<float>(state.alphaTest.reference & 0xFF);
}

void computePoints(const PipelineState& state, PointUniforms& out) {
    out.point[0] = state.points.size;
    out.point[1] = state.points.minimum;
    out.point[2] = MaxPointSize;
    out.pointScale[0] = state.points.scaleA;
    out.pointScale[1] = state.points.scaleB;
    out.pointScale[2] = state.points.scaleC;
}

template <typename Group>
bool changed(const Group& value, Group& uploaded, bool force) {
    if (!force && std::memcmp(&value, &uploaded, sizeof(Group)) == 0) {
        return false;
    }
    std::memcpy(&uploaded, &value, sizeof(Group));
    return true;
}

void uploadLights(const UniformLocations& at, const LightUniforms& v) {
    glUniform3fv(at.lightPosition, MaxLights, &v.position[0][0]);
    glUniform3fv(at.lightDirection, MaxLights, &v.direction[0][0]);
    glUniform3fv(at.lightDiffuse, MaxLights, &v.diffuse[0][0]);
    glUniform3fv(at.lightSpecular, MaxLights, &v.specular[0][0]);
    glUniform3fv(at.lightAmbient, MaxLights, &v.ambient[0][0]);
    glUniform4fv(at.lightAttenuation, MaxLights, &v.attenuation[0][0]);
    glUniform3fv(at.lightSpot, MaxLights, &v.spot[0][0]);
}

void uploadSurface(const UniformLocations& at, const SurfaceUniforms& v) {
    glUniform4fv(at.materialDiffuse, 1, v.diffuse);
    glUniform3fv(at.materialAmbient, 1, v.ambient);
    glUniform3fv(at.materialEmissive, 1, v.emissive);
    glUniform3fv(at.materialSpecular, 1, v.specular);
    glUniform1f(at.materialPower, v.power);
    glUniform3fv(at.globalAmbient, 1, v.globalAmbient);
}

void uploadPixel(const UniformLocations& at, const PixelUniforms& v) {
    glUniform4fv(at.textureFactor, 1, v.textureFactor);
    glUniform3fv(at.fogColor, 1, v.fogColor);
    glUniform3fv(at.fogParams, 1, v.fogParams);
    glUniform1f(at.alphaRef, v.alphaRef);
}

void uploadPoints(const UniformLocations& at, const PointUniforms& v) {
    glUniform3fv(at.point, 1, v.point);
    glUniform3fv(at.pointScale, 1, v.pointScale);
}

}  // namespace

bool Inverse3x3(const Matrix4& matrix, float inverse[3][3]) {
    const auto& m = matrix.m;
    const float c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const float c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const float c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const float determinant = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    if (determinant == 0.0f) {
        return false;
    }
    const float f = 1.0f / determinant;
    inverse[0][0] = c00 * f;
    inverse[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * f;
    inverse[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * f;
    inverse[1][0] = c01 * f;
    inverse[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * f;
    inverse[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * f;
    inverse[2][0] = c02 * f;
    inverse[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * f;
    inverse[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * f;
    return true;
}

void ComputeUniforms(const PipelineState& state, const UniformLocations& locations,
                     UniformValues& values) {
    if (locations.transformUsed &&
        takeTransformSource(state, values.transformSource, values.transformComputed)) {
        computeTransform(state, values.transform);
        values.transformComputed = true;
    }
    if (locations.lightsUsed) {
        computeLights(state, values.lights);
    }
    if (locations.surfaceUsed) {
        computeSurface(state, values.surface);
    }
    if (locations.pixelUsed) {
        computePixel(state, values.pixel);
    }
    if (locations.pointsUsed) {
        computePoints(state, values.points);
    }
    if (locations.constants >= 0) {
        std::memcpy(values.constants.c, state.vertexShader.constants.data(),
                    sizeof values.constants.c);
    }
}

UniformLocations FindUniforms(std::uint32_t program) {
    auto at = [program](const char* name) { return glGetUniformLocation(program, name); };
    UniformLocations l{};
    l.worldView = at("uWorldView");
    l.projection = at("uProjection");
    l.normalMatrix = at("uNormalMatrix");
    l.target = at("uTarget");
    l.lightPosition = at("uLightPosition");
    l.lightDirection = at("uLightDirection");
    l.lightDiffuse = at("uLightDiffuse");
    l.lightSpecular = at("uLightSpecular");
    l.lightAmbient = at("uLightAmbient");
    l.lightAttenuation = at("uLightAttenuation");
    l.lightSpot = at("uLightSpot");
    l.materialDiffuse = at("uMaterialDiffuse");
    l.materialAmbient = at("uMaterialAmbient");
    l.materialEmissive = at("uMaterialEmissive");
    l.materialSpecular = at("uMaterialSpecular");
    l.materialPower = at("uMaterialPower");
    l.globalAmbient = at("uGlobalAmbient");
    l.textureFactor = at("uTextureFactor");
    l.fogColor = at("uFogColor");
    l.fogParams = at("uFogParams");
    l.alphaRef = at("uAlphaRef");
    l.point = at("uPoint");
    l.pointScale = at("uPointScale");
    l.constants = at("c");
    const auto any = [](std::initializer_list<int> group) {
        return std::any_of(group.begin(), group.end(), [](int location) { return location >= 0; });
    };
    l.transformUsed = any({l.worldView, l.projection, l.normalMatrix, l.target});
    l.lightsUsed = any({l.lightPosition, l.lightDirection, l.lightDiffuse, l.lightSpecular,
                        l.lightAmbient, l.lightAttenuation, l.lightSpot});
    l.surfaceUsed = any({l.materialDiffuse, l.materialAmbient, l.materialEmissive,
                         l.materialSpecular, l.materialPower, l.globalAmbient});
    l.pixelUsed = any({l.textureFactor, l.fogColor, l.fogParams, l.alphaRef});
    l.pointsUsed = any({l.point, l.pointScale});
    for (int stage = 0; stage < MaxStages; ++stage) {
        glUniform1i(at(("uTexture" + std::to_string(stage)).c_str()), stage);
    }
    return l;
}

void UploadUniforms(const UniformLocations& at, const UniformValues& values,
                    UniformValues& uploaded, bool force) {
    if (at.transformUsed && changed(values.transform, uploaded.transform, force)) {
        const TransformUniforms& t = values.transform;
        glUniformMatrix4fv(at.worldView, 1, GL_FALSE, t.worldView);
        glUniformMatrix4fv(at.projection, 1, GL_FALSE, t.projection);
        glUniformMatrix3fv(at.normalMatrix, 1, GL_FALSE, t.normalMatrix);
        glUniform4fv(at.target, 1, t.target);
    }
    if (at.lightsUsed && changed(values.lights, uploaded.lights, force)) {
        uploadLights(at, values.lights);
    }
    if (at.surfaceUsed && changed(values.surface, uploaded.surface, force)) {
        uploadSurface(at, values.surface);
    }
    if (at.pixelUsed && changed(values.pixel, uploaded.pixel, force)) {
        uploadPixel(at, values.pixel);
    }
    if (at.pointsUsed && changed(values.points, uploaded.points, force)) {
        uploadPoints(at, values.points);
    }
    if (at.constants >= 0 && changed(values.constants, uploaded.constants, force)) {
        glUniform4fv(at.constants, kMaxShaderConstants, &values.constants.c[0][0]);
    }
}

}  // namespace vesta::gl
