#include "modifiers/WaterPlane.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "log/Log.h"
#include "modifiers/SceneLookup.h"
#include "modifiers/WaterGrid.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(16, "WaterPlane", CWaterPlane);

namespace {

void uploadVertices(CMeshe& mesh, MeshBuffer& buffer) {
    std::memcpy(buffer.LockVertices(), mesh.vertices.data(),
                mesh.vertices.size() * sizeof(MeshVertex));
    buffer.UnlockVertices();
}

}  // namespace

CWaterPlane::CWaterPlane(CScene* scene, RenderModule* renderModule, void*)
    : CModifier(scene, renderModule) {
    AddTextParameter("Object", &m_objectName);
    AddIntParameter("SquareSize", &m_squareSize);
    AddFloatParameter("UpdateFrequency", &m_updateFrequency);
    AddFloatParameter("PeakFrequency", &m_peakFrequency);
    AddFloatParameter("PeakSize", &m_peakSize);
    AddFloatParameter("Density", &m_density);
    AddBoolParameter("AlreadyMoving", &m_alreadyMoving);
    AddBoolParameter("InvertNormals", &m_invertNormals);
}

CWaterPlane::~CWaterPlane() = default;

void CWaterPlane::Start() {
    TakeKindNameWhenUnnamed();
    m_mesh = FindMesh(*Scene(), m_objectName);
    if (!m_mesh) {
        RaiseError("Could not find meshe [%s]", m_objectName.c_str());
    }
    if (m_mesh->Name().find(".UserModif") == std::string::npos) {
        RaiseError("Cannot use mesh [%s], must have the flag .UserModif", m_objectName.c_str());
    }
    if (m_mesh->vertices.size() != 4) {
        RaiseError("Cannot use mesh [%s], must have exactly 4 vertices", m_objectName.c_str());
    }
    if (m_squareSize < kSmallestSquare) {
        RaiseError("CWaterPlane : SquareSize must be at least 6");
    }
    if (m_squareSize > kLargestSquare) {
        RaiseError("CWaterPlane : SquareSize must be at most 256");
    }
    rebuildMesh();
    m_ripples = std::make_unique<WaterRipples>(m_squareSize, static_cast<int>(m_density));
    m_lastUpdate = 0.0f;
    m_lastPeak = 0.0f;
    if (m_alreadyMoving) {
        // Ripples of one peak period, so that the surface is in motion from the first frame.
        const int n = m_squareSize;
        m_ripples->DropPeak(n / 2, n / 2, m_peakSize);
        const int steps =
            m_updateFrequency > 0.0f
                ? static_cast<int>(std::min(m_peakFrequency / m_updateFrequency, 500.0f))
                : 0;
        for (int i = 0; i < steps; ++i) {
            m_ripples->Step();
        }
    }
}

void CWaterPlane::rebuildMesh() {
    CMeshe& mesh = *m_mesh;
    std::array<Vector3, 4> corners;
    for (int i = 0; i < 4; ++i) {
        corners[i] = mesh.vertices[i].position;
    }
    WaterGrid grid = BuildWaterGrid(corners, mesh.faces, m_squareSize, m_invertNormals);
    m_normal = grid.normal;
    CScene& scene = *Scene();
    scene.totalVertices += static_cast<std::int64_t>(grid.vertices.size() - mesh.vertices.size());
    scene.totalFaces +=
        static_cast<std::int64_t>(grid.faces.size()) - static_cast<std::int64_t>(mesh.faces.size());
    mesh.vertices = std::move(grid.vertices);
    mesh.faces = std::move(grid.faces);
    mesh.restVertices = mesh.vertices;
    mesh.staticGeometry = false;
    m_rest.clear();
    for (const MeshVertex& vertex : mesh.vertices) {
        m_rest.push_back(vertex.position);
    }
    mesh.indices.clear();
    for (const MeshFace& face : mesh.faces) {
        mesh.indices.insert(mesh.indices.end(),
                            {static_cast<std::uint16_t>(face.a), static_cast<std::uint16_t>(face.b),
                             static_cast<std::uint16_t>(face.c)});
    }
    RenderModule* module = Renderer();
    if (!module) {
        return;
    }
    if (mesh.buffer) {
        module->DestroyMeshBuffer(mesh.buffer);
        mesh.buffer = nullptr;
    }
    MeshBuffer* buffer = module->CreateMeshBuffer();
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    const int indexCount = static_cast<int>(mesh.indices.size());
    if (buffer && buffer->Create(false, vertexCount, indexCount, false)) {
        uploadVertices(mesh, *buffer);
        std::copy(mesh.indices.begin(), mesh.indices.end(), buffer->LockIndices());
        buffer->UnlockIndices();
        mesh.buffer = buffer;
    } else if (buffer) {
        module->DestroyMeshBuffer(buffer);
    }
}

void CWaterPlane::PreRender() {
    // Without ripples the initialisation failed.
    if (!m_ripples || (m_mesh->flags & MeshFlag::Visible) == 0) {
        return;
    }
    const float time = Age();
    advance(time);
    placeVertices(time);
}

void CWaterPlane::advance(float time) {
    if (time - m_lastUpdate <= m_updateFrequency) {
        return;
    }
    m_lastUpdate = time;
    if (time - m_lastPeak > m_peakFrequency) {
        const int range = m_squareSize - 5;
        const int row = std::rand() % range + 4;
        const int column = std::rand() % range + 4;
        m_ripples->DropPeak(row, column, m_peakSize);
        m_lastPeak = time;
    }
    m_ripples->Step();
}

void CWaterPlane::placeVertices(float time) {
    CMeshe& mesh = *m_mesh;
    const float c = m_updateFrequency > 0.0f
                        ? std::clamp((time - m_lastUpdate) / m_updateFrequency, 0.0f, 1.0f)
                        : 1.0f;
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        const float height = m_ripples->Blend(static_cast<int>(i), c);
        mesh.vertices[i].position = m_rest[i] + m_normal * height;
    }
    if (mesh.buffer) {
        uploadVertices(mesh, *mesh.buffer);
    }
}

}  // namespace vesta
