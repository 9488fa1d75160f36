#include "modifiers/MeshContour.h"

#include <map>
#include <tuple>

#include "modifiers/Billboards.h"
#include "modifiers/SceneLookup.h"
#include "modifiers/ScreenOverlay.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(21, "MeshContour", CMeshContour);

namespace {

// The inverse of a matrix made of a rotation, scale and translation.
Matrix4 inverseAffine(const Matrix4& w) {
    const float(&m)[4][4] = w.m;
    const float det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                      m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                      m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix4 inverse;
    if (det == 0.0f) {
        return inverse;
    }
    const float f = 1.0f / det;
    inverse.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) * f;
    inverse.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * f;
    inverse.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * f;
    inverse.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) * f;
    inverse.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * f;
    inverse.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * f;
    inverse.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) * f;
    inverse.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * f;
    inverse.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * f;
    for (int column = 0; column < 3; ++column) {
        inverse.m[3][column] = -(m[3][0] * inverse.m[0][column] + m[3][1] * inverse.m[1][column] +
                                 m[3][2] * inverse.m[2][column]);
    }
    return inverse;
}

}  // namespace

CMeshContour::CMeshContour(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddTextParameter("Object", &m_objectName);
}

CMeshContour::~CMeshContour() = default;

void CMeshContour::Initialise() {
    m_mesh = &FindMeshOrRaise(*Scene(), m_objectName);
    m_points.clear();
    m_faces.clear();
    m_edges.clear();
    // Split vertices (one per face corner, for their own normals) are one point here.
    std::map<std::tuple<float, float, float>, std::uint32_t> pointAt;
    std::vector<std::uint32_t> pointOf;
    for (const MeshVertex& vertex : m_mesh->vertices) {
        const Vector3& p = vertex.position;
        const auto [place, added] =
            pointAt.try_emplace({p.x, p.y, p.z}, static_cast<std::uint32_t>(m_points.size()));
        if (added) {
            m_points.push_back(p);
        }
        pointOf.push_back(place->second);
    }
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::size_t> edgeAt;
    for (const MeshFace& face : m_mesh->faces) {
        const std::array<std::uint32_t, 3> corners = {pointOf.at(face.a), pointOf.at(face.b),
                                                      pointOf.at(face.c)};
        const auto faceIndex = static_cast<std::int32_t>(m_faces.size());
        m_faces.push_back(corners);
        for (int side = 0; side < 3; ++side) {
            std::uint32_t a = corners[side];
            std::uint32_t b = corners[(side + 1) % 3];
            if (a > b) {
                std::swap(a, b);
            }
            const auto [place, added] = edgeAt.try_emplace({a, b}, m_edges.size());
            if (added) {
                m_edges.push_back({a, b, faceIndex, -1});
            } else if (m_edges[place->second].second == -1) {
                m_edges[place->second].second = faceIndex;
            }
        }
    }
}

void CMeshContour::buildOutline(const Vector3& eye) {
    std::vector<bool> facing(m_faces.size());
    for (std::size_t i = 0; i < m_faces.size(); ++i) {
        const Vector3& a = m_points[m_faces[i][0]];
        const Vector3 normal = Cross(m_points[m_faces[i][1]] - a, m_points[m_faces[i][2]] - a);
        facing[i] = Dot(normal, eye - a) > 0.0f;
    }
    m_outline.clear();
    for (const Edge& edge : m_edges) {
        const bool open = edge.second == -1;
        if (!open && facing[static_cast<std::size_t>(edge.first)] ==
                         facing[static_cast<std::size_t>(edge.second)]) {
            continue;
        }
        const Vector3& a = m_points[edge.a];
        const Vector3& b = m_points[edge.b];
        const Vector3 middle = (a + b) * 0.5f;
        const float distance = Length(eye - middle);
        // A little towards the eye, so that the faces beside it do not hide it.
        const Vector3 lift = Unit(eye - middle) * (distance * 0.01f);
        AppendStreak(m_outline, eye, a + lift, b + lift, distance * kWidthPerDistance, 0xFFFFFFFFu,
                     0xFFFFFFFFu);
    }
}

void CMeshContour::Render() {
    if (!m_mesh || !m_mesh->IsDrawn()) {
        return;
    }
    RenderModule& m = *Renderer();
    const Vector3 eye =
        TransformPoint(ViewerPosition(m.ViewMatrix()), inverseAffine(m_mesh->worldMatrix));
    buildOutline(eye);
    if (m_outline.empty()) {
        return;
    }
    m.SetWorldMatrix(m_mesh->worldMatrix);
    m.SetLighting(false);
    m.SetCullMode(CullMode::None);
    UseTextureTimesColour(m, nullptr);
    m.SetDepthTest(true);
    m.SetDepthWrite(false);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::InvDestColor);
    m.SetDestBlend(BlendFactor::InvDestColor);
    m.Draw(PrimitiveType::TriangleList, static_cast<int>(m_outline.size()), m_outline.data());
    m.SetAlphaBlend(false);
    m.SetDepthWrite(true);
}

}  // namespace vesta
