#pragma once
// Values shared by every user of the render module. Callers pass positions
// in these lists; the concrete module maps them to its graphics interface.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vesta {

enum class BlendFactor {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColor,
    InvDestColor,
    SrcAlphaSat
};
enum class Comparison { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class StencilOp {
    Keep,
    Zero,
    Replace,
    IncrementSat,
    DecrementSat,
    Invert,
    Increment,
    Decrement
};
enum class ColorOp { Disable, SelectArg1, Modulate, Add, AddSigned, BlendFactorAlpha };
enum class ColorArg { Diffuse, Current, Texture };
enum class AlphaOp { Disable, SelectArg1, Modulate, Add, AddSigned, Subtract, BlendFactorAlpha };
enum class AlphaArg { Current, Texture, Diffuse, TextureFactor };
enum class PrimitiveType {
    PointList,
    LineList,
    LineStrip,
    TriangleList,
    TriangleStrip,
    TriangleFan
};
enum class CullMode { None, Clockwise, CounterClockwise };
enum class ShadeMode { Flat, Gouraud, Phong };
enum class FillMode { Point, Wireframe, Solid };
enum class FogMode { Linear, Exponential, ExponentialSquared };
enum class TextureAddress { Wrap, Mirror, Clamp, Border, MirrorOnce };

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vector3&) const = default;
};

// Row-major, row vectors: a point is multiplied on the left, translation is the fourth row.
struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix4 Identity() { return {}; }
    bool operator==(const Matrix4& other) const;
};

Matrix4 operator*(const Matrix4& a, const Matrix4& b);

// The vertex of Draw and DrawIndexed; 44 bytes, laid out as the vertex streams expect.
struct RenderVertex {
    float x, y, z;
    float nx, ny, nz;
    std::uint32_t diffuse;  // A8R8G8B8
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(RenderVertex) == 44);

struct VideoMode {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;  // 15, 16 or 32
    std::int32_t index = 0;         // in the display's own mode list
};

struct RenderDevice {
    virtual ~RenderDevice() = default;
    std::string name;
    std::string description;
    std::int32_t index = 0;
    std::vector<VideoMode> modes;
};

struct RenderDriver {
    virtual ~RenderDriver() = default;
    std::string name;
    std::string description;
    std::int32_t index = 0;
    std::vector<std::unique_ptr<RenderDevice>> devices;
};

}  // namespace vesta
