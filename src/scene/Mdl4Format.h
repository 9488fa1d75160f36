#pragma once
// The MDL4 model file: "MDL4", a u32 version (0), then one root chunk.
// Every chunk is a 16-byte header {kind, total size, data size, child count},
// its child chunks, and then its own data at start + total size - data size.
// All values are little-endian.

#include <cstdint>

namespace vesta::mdl4 {

inline constexpr char kMagic[4] = {'M', 'D', 'L', '4'};
inline constexpr std::uint32_t kVersion = 0;
inline constexpr std::uint32_t kHeaderSize = 8;
inline constexpr std::uint32_t kChunkHeaderSize = 16;
inline constexpr std::uint32_t kMatrixSize = 64;

// The one extension the scene loader knows, compared in upper case.
inline constexpr const char* kExtension = "VESTAMDL4";

inline constexpr float kDegreesToRadians = 0.017453292f;
inline constexpr float kTransparencyToAlpha = 0.003921569f;  // 1 / 255
inline constexpr std::uint32_t kLoadedColourAlpha = 0x7F000000u;

enum ChunkKind : std::uint32_t {
    Scene = 0x00000001,
    Mesh = 0x00010001,
    Camera = 0x00010002,
    Light = 0x00010003,
    Material = 0x00010004,
    Point = 0x00010005,
    UserText = 0x00100000,
    Vertices = 0x00110001,
    Normals = 0x00110002,
    TexCoords = 0x00110003,
    Faces = 0x00110004,
    FaceNormals = 0x00110005,  // written by the exporter, never read
    Colours = 0x00110006,
    Anim = 0x00110007,
    PosKeys = 0x00210001,
    RotKeys = 0x00210002,
    ScaleKeys = 0x00210003,
    FovKeys = 0x00210004,
    RollKeys = 0x00210005,
    ColourKeys = 0x00210006,
    OuterConeKeys = 0x00210007,
    InnerConeKeys = 0x00210008,
    Bone = 0x00120011,
    BonePosKeys = 0x00120022,
    BoneRotKeys = 0x00120021,
    Skin = 0x00120002,
};

}  // namespace vesta::mdl4
