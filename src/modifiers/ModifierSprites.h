#pragma once
// What the decorating modifiers share around their draws: a picture with its
// alpha picture, the blend of an AlphaType, camera-facing quads, and where a
// named object of the scene stands this frame.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/RenderTypes.h"

namespace vesta {

class C3DObject;
class CScene;
class RenderModule;
class Texture;

// A mesh, light, camera or point object by its exact name; null when none.
C3DObject* FindPlacedObject(const CScene& scene, std::string_view name);
// The same, logging "Unable to find [%s]" for a name the scene lacks.
C3DObject* FindPlacedObjectOrLog(const CScene& scene, std::string_view name);
// A mesh's box centre, else the object's own position, in world space this
// frame (a light as the scene lights it).
Vector3 ObjectCentre(const CScene& scene, const C3DObject& object);
// Half the diagonal of a mesh's box; 0 for objects without geometry.
float ObjectRadius(const C3DObject& object);

// The one picture of a modifier. Without a picture (no file, or one that does
// not load) the quads are drawn in their vertex colours alone.
class ModifierPicture {
public:
    void Load(RenderModule& module, const std::string& file, const std::string& alphaFile);
    void Release(RenderModule& module);
    Texture* Get() const { return m_texture; }

    // Over the scene: lighting off, depth tested but not written, both sides,
    // identity world, the picture modulated by the vertex colour; blending
    // one-and-one when `additive`, else by the alpha.
    void BeginDraw(RenderModule& module, bool additive) const;
    // The scene's own settings back: depth writes, no blending, culling.
    static void EndDraw(RenderModule& module);

private:
    Texture* m_texture = nullptr;
};

// A colour byte of `value` (0..1, clamped) in every channel, alpha included.
std::uint32_t GreyArgb(float value);

// Camera-facing quads gathered into one indexed draw.
class SpriteBatch {
public:
    void Clear();
    // A quad around `centre`, `halfWidth` along the view's right and
    // `halfHeight` along its up, the picture's whole area on it.
    void AddFacing(const Matrix4& view, const Vector3& centre, float halfWidth, float halfHeight,
                   std::uint32_t colour);
    // Any four corners in strip order (0 1 on one edge, 2 3 on the other).
    void AddQuad(const Vector3 (&corners)[4], std::uint32_t colour);
    // Draws in pieces that the 16-bit indices can reach.
    void Draw(RenderModule& module);
    std::size_t QuadCount() const { return m_vertices.size() / 4; }
    const std::vector<RenderVertex>& Vertices() const { return m_vertices; }

private:
    std::vector<RenderVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

// A repeatable pseudo-random fraction in [0, 1) for a pair of whole numbers,
// so that an effect looks the same at a given time however it got there.
float HashFraction(std::uint32_t a, std::uint32_t b);

}  // namespace vesta
