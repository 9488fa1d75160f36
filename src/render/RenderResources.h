#pragma once
// The objects the render module hands out: textures, mesh buffers, image
// surfaces and fonts, and the records of lights and materials.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "render/Handle.h"
#include "render/RenderTypes.h"

namespace vesta {

class RenderModule;

inline constexpr std::uint32_t kRenderVertexFormat = 0x252;  // position, normal, diffuse, 2 uv
inline constexpr std::uint32_t kPointSpriteFormat = 0x42;    // position, diffuse

// The vertex of point-sprite mesh buffers.
struct PointSpriteVertex {
    float x, y, z;
    std::uint32_t diffuse;  // A8R8G8B8
};
static_assert(sizeof(PointSpriteVertex) == 16);

struct ColorArgb {
    float a = 1.0f;
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

// Diffuse; the rgb of ambient and emissive; the rgb of specular scaled by the level.
struct RenderMaterial {
    ColorArgb diffuse;
    ColorArgb ambient;
    ColorArgb emissive;
    ColorArgb specular;
    float specularLevel = 0.0f;
    float power = 0.0f;
};

struct RenderLight {
    bool spot = false;
    Vector3 color{1.0f, 1.0f, 1.0f};
    Vector3 position;
    Vector3 target;
    float range = 1.8446743e19f;
    float attenuation[3] = {1.0f, 0.0f, 0.0f};
    float innerCone = 0.0f;  // radians
    float outerCone = 0.0f;
};

// Device textures shared by the NameHash of their key, with a user count.
struct SharedTexture {
    std::uint32_t handle = 0;  // a TextureHandle's id
    int width = 0;
    int height = 0;
    int bits = 0;
    int count = 0;
};

class SharedTextureMap {
public:
    const SharedTexture* Find(std::string_view key) const;
    // A new entry counts 1, an existing one one user more.
    const SharedTexture& Register(std::string_view key, const SharedTexture& texture);
    // One user fewer; true when that was the last one and the entry is gone.
    bool Release(std::string_view key);
    std::size_t Size() const { return m_entries.size(); }

private:
    std::map<std::uint16_t, SharedTexture> m_entries;
};

// Objects owned by the module and handed out by pointer.
template <typename T>
class OwnedSet {
public:
    T* Adopt(std::unique_ptr<T> item) {
        T* raw = item.get();
        m_items.emplace(raw, std::move(item));
        return raw;
    }
    bool Contains(const T* item) const { return m_items.count(item) != 0; }
    bool Destroy(const T* item) { return m_items.erase(item) != 0; }
    void Clear() { m_items.clear(); }
    std::size_t Count() const { return m_items.size(); }
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const auto& entry : m_items) {
            visit(*entry.second);
        }
    }

private:
    std::unordered_map<const T*, std::unique_ptr<T>> m_items;
};

class DynaTexture;
class Texture;

// The name under which a picture file is looked up: its bare name in lower case.
std::string PictureLookupName(const std::string& file);
using ImageLoader = bool (*)(Texture& texture, const std::string& path,
                             std::vector<std::uint8_t>& image, int& width, int& height);

// A picture, render target or cube render target. The device texture behind
// it is a handle, shared with other textures of the same key.
class Texture {
public:
    explicit Texture(RenderModule& module);
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Flags bit 0: a cube map. A named target is shared with earlier ones of that name.
    virtual bool CreateRenderTarget(int size, const char* sharedName, std::uint32_t flags);
    // Level 0 as A8R8G8B8 rows of Pitch() bytes; written back by UnlockPixels.
    virtual std::uint8_t* LockPixels(int ignored);
    virtual void UnlockPixels();
    virtual void SetCubeFace(int face);
    // Null pixels bind the device texture shared under this texture's key.
    virtual bool Upload(const std::uint8_t* pixels, int width, int height, bool hasAlpha,
                        bool noDither);
    virtual bool IsShared(const std::string& key) const;
    // A 24-bit image of the texture's size becomes 16-bit pixels in the same buffer.
    virtual bool DitherTo16(std::uint8_t* buffer, bool maskOrder);

    void SetAlphaMap(const std::string& file, std::uint8_t ignored = 0);
    // Loads the picture and its alpha map, or binds the device texture already
    // made from them.
    [[nodiscard]] bool Load(const std::string& file);
    // Load for callers that cannot go on without the picture: a failure ends
    // the run with a message naming the file.
    void LoadOrRaise(const std::string& file);
    // The picture (and its alpha map) read again from its file into the
    // device texture it has, scaled to that texture's size: every texture
    // sharing it shows the new picture. False for a render target, a texture
    // an effect draws, or a picture that cannot be read now.
    bool ReloadPicture();
    bool LoadImage(const std::string& file, std::vector<std::uint8_t>& image, int& width,
                   int& height);
    // Where a loader leaves the picture's own alpha (one byte per pixel);
    // empty when the last picture loaded is opaque by its format.
    std::vector<std::uint8_t>& PictureAlpha() { return m_pictureAlpha; }
    // The file a loader is reading, as the production spelt it: what its
    // messages name.
    const std::string& ShownName() const { return m_shownName; }

    TextureHandle Handle() const { return m_device; }
    bool IsCube() const { return m_cube; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    int Pitch() const { return m_width * 4; }
    const std::string& Name() const { return m_name; }
    const std::string& AlphaMapName() const { return m_alphaName; }
    std::string Key() const { return m_name + m_alphaName; }
    int AlphaWidth() const { return m_alphaWidth; }
    int AlphaHeight() const { return m_alphaHeight; }
    RenderModule& Module() const { return m_module; }

    // The effect that rewrites this texture's pixels, made on the first
    // request (later ones return it, whatever they name): the module then
    // finds this texture by `name`. An effect that is not registered ends
    // the run.
    DynaTexture& MakeDynamic(const std::string& name, const std::string& effect);
    // The effect's next picture, when it has one and its interval has passed.
    void UpdateDynamic();
    DynaTexture* Dynamic() const { return m_effect.get(); }
    const std::string& DynamicName() const { return m_dynamicName; }

protected:
    RenderModule& m_module;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    int m_bytesPerSourcePixel = 3;
    std::string m_name;
    std::string m_alphaName;
    std::string m_alphaSpelt;
    std::string m_shownName;
    int m_alphaWidth = 0;
    int m_alphaHeight = 0;
    std::map<std::string, ImageLoader> m_loaders;

private:
    // Takes `handle` (sharing it under `key` when there is one), giving up
    // whatever device texture this texture held before.
    void hold(const SharedTexture& device, const std::string& key);
    void releaseDevice();

    TextureHandle m_device;
    bool m_cube = false;
    std::string m_sharedKey;  // the key this texture holds a count of
    bool m_shared = false;
    std::vector<std::uint8_t> m_locked;
    std::vector<std::uint8_t> m_pictureAlpha;
    std::string m_dynamicName;
    std::unique_ptr<DynaTexture> m_effect;
};

// Vertices and indices kept in memory and on the device; a lock hands out
// the memory copy, the unlock sends it.
class MeshBuffer {
public:
    explicit MeshBuffer(RenderModule& module) : m_module(module) {}
    ~MeshBuffer();
    MeshBuffer(const MeshBuffer&) = delete;
    MeshBuffer& operator=(const MeshBuffer&) = delete;

    bool Create(bool writeOnly, int vertexCount, int indexCount, bool pointSprite);
    void* LockVertices() { return m_vertices.data(); }
    void* LockVerticesForWrite() { return m_vertices.data(); }
    void UnlockVertices();
    void DrawPrimitives(PrimitiveType type, int vertexCount, int indexCount);
    void DrawTriangles(int ignored);
    // -1 draws every vertex.
    void DrawPoints(int count);
    void SetVertexFormat(std::uint32_t format) { m_vertexFormat = format; }
    std::uint16_t* LockIndices() { return m_indices.data(); }
    void UnlockIndices();
    int GetIndexCount() const { return m_indexCount; }

    MeshHandle Handle() const { return m_device; }
    int VertexCount() const { return m_vertexCount; }
    int TriangleCount() const { return m_triangleCount; }
    std::uint32_t VertexFormat() const { return m_vertexFormat; }

private:
    RenderModule& m_module;
    MeshHandle m_device;
    int m_vertexCount = 0;
    bool m_writeOnly = false;
    bool m_pointSprite = false;
    int m_indexCount = 0;
    int m_triangleCount = 0;
    std::uint32_t m_vertexFormat = kRenderVertexFormat;
    std::vector<std::uint8_t> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

// An image surface lives in memory, in the 32-bit format.
class Surface2D {
public:
    bool Create(int width, int height);
    std::uint8_t* Lock(int& pitch);
    void Unlock() {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_pixels;
};

class Font {
public:
    struct GlyphBox {
        std::int32_t x = 0, y = 0, width = 0, height = 0;
    };
    static constexpr int kGlyphCount = 94;  // '!' to '~'

    Font(RenderModule& module, std::string name);
    virtual ~Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // printf-formatted white text with its top-left corner at pixel (x, y).
    void Print(int ignored, unsigned x, unsigned y, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    virtual void Load() {}

    const std::string& Name() const { return m_name; }

protected:
    virtual void DrawText(float x, float y, const char* text) = 0;

    RenderModule& m_module;
    std::string m_name;
    GlyphBox m_glyphs[kGlyphCount];
};

}  // namespace vesta
