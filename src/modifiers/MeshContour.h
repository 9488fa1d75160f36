#pragma once
// "MeshContour": the outline of the mesh "Object". Each frame every edge
// of the mesh between a face turned towards the eye and one turned away
// (and every edge with a single face) becomes a thin quad, drawn white with
// both blend factors the inverse of the frame's colour, so that the line
// stands out on dark and light alike.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "modifiers/SelfNamingModifier.h"
#include "render/RenderTypes.h"

namespace vesta {

class CMeshe;

class CMeshContour : public CSelfNamingModifier {
public:
    // An edge's quad is this fraction of its distance to the eye wide.
    static constexpr float kWidthPerDistance = 0.008f;

    CMeshContour(CScene* scene, RenderModule* renderModule, void* extra);
    ~CMeshContour() override;

    void Release() override { m_mesh = nullptr; }
    const char* GetKindName() const override { return "MeshContour"; }
    const char* GetClassName() const override { return "CMeshContour"; }
    void Render() override;

    std::size_t EdgeCount() const { return m_edges.size(); }
    // The quads of the last frame, six vertices each, in the mesh's space.
    const std::vector<RenderVertex>& Outline() const { return m_outline; }

protected:
    // Raises "Cannot find object [%s]"; joins the faces that share an edge.
    void Initialise() override;

private:
    // Corners are indices into m_points; `second` is -1 on an open border.
    struct Edge {
        std::uint32_t a = 0;
        std::uint32_t b = 0;
        std::int32_t first = -1;
        std::int32_t second = -1;
    };

    void buildOutline(const Vector3& eye);

    std::string m_objectName;
    CMeshe* m_mesh = nullptr;
    // The mesh's vertices with those at one place merged, and its faces over them.
    std::vector<Vector3> m_points;
    std::vector<std::array<std::uint32_t, 3>> m_faces;
    std::vector<Edge> m_edges;
    std::vector<RenderVertex> m_outline;
};

}  // namespace vesta
