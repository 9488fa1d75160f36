#pragma once
// The uniform values of the generated programs, in groups that change
// together; each group is compared as a whole before it is sent.

#include <cstdint>

#include "render/gl/PipelineState.h"

namespace vesta::gl {

struct TransformUniforms {
    float worldView[16];
    float projection[16];
    float normalMatrix[9];  // column-major, ready for glUniformMatrix3fv
    float target[4];        // viewport x, y, width, height
};

// Lights in view space.
struct LightUniforms {
    float position[MaxLights][3];
    float direction[MaxLights][3];
    float diffuse[MaxLights][3];
    float specular[MaxLights][3];
    float ambient[MaxLights][3];
    float attenuation[MaxLights][4];
    float spot[MaxLights][3];
};

struct SurfaceUniforms {
    float diffuse[4];
    float ambient[3];
    float emissive[3];
    float specular[3];
    float power;
    float globalAmbient[3];
};

struct PixelUniforms {
    float textureFactor[4];
    float fogColor[3];
    float fogParams[3];
    float alphaRef;
};

// Every fixed-function vertex program writes a point size.
struct PointUniforms {
    float point[3];
    float pointScale[3];
};

// A vertex shader's constant registers.
struct ConstantUniforms {
    float c[kMaxShaderConstants][4];
};

// What the transform group was computed from: most draws change none of it.
struct TransformSource {
    float world[16], view[16], projection[16];
    std::int32_t viewport[4];
};

struct UniformValues {
    TransformSource transformSource;
    bool transformComputed;
    TransformUniforms transform;
    LightUniforms lights;
    SurfaceUniforms surface;
    PixelUniforms pixel;
    PointUniforms points;
    ConstantUniforms constants;
};

struct UniformLocations {
    int worldView, projection, normalMatrix, target;
    int lightPosition, lightDirection, lightDiffuse, lightSpecular, lightAmbient;
    int lightAttenuation, lightSpot;
    int materialDiffuse, materialAmbient, materialEmissive, materialSpecular, materialPower;
    int globalAmbient;
    int textureFactor, fogColor, fogParams, alphaRef, point, pointScale;
    int constants;
    // The groups of which the program reads anything: the others are
    // neither computed nor sent (a layer's program reads no pixel group,
    // though its texture factor may change at every draw).
    bool transformUsed, lightsUsed, surfaceUsed, pixelUsed, pointsUsed;
};

// Fills the groups that `locations` use from the state; the others keep
// what they held.
void ComputeUniforms(const PipelineState& state, const UniformLocations& locations,
                     UniformValues& values);

// Looks the locations up in a linked program and binds its samplers to
// texture units 0 and 1. The program must be current.
UniformLocations FindUniforms(std::uint32_t program);

// Sends the used groups of `values` that differ from `uploaded` (all of them
// when `force`), and updates `uploaded`. The program must be current.
void UploadUniforms(const UniformLocations& locations, const UniformValues& values,
                    UniformValues& uploaded, bool force);

// The inverse of a matrix's upper 3x3; false when it is singular.
bool Inverse3x3(const Matrix4& matrix, float inverse[3][3]);

}  // namespace vesta::gl
