#include "scene/player/TrouDuVers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "log/Log.h"
#include "render/CommonSetups.h"
#include "render/RenderModule.h"
#include "scene/player/ScenePoses.h"
#include "script/TextNumbers.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(17, "TrouDuVers", CTrouDuVers);

namespace {

float distance(const Vector3& a, const Vector3& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vector3 unit(const Vector3& v) {
    const float length = std::hypot(v.x, v.y, v.z);
    return length > 1e-6f ? Vector3{v.x / length, v.y / length, v.z / length} : Vector3{0, 0, 1};
}

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

CTrouDuVers::CTrouDuVers(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    AddTextParameter("MDLFile", &m_modelFile);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
}

CTrouDuVers::~CTrouDuVers() = default;

void CTrouDuVers::Start() {
    CEnvelopeLayer::Start();
    RenderModule& m = *Context();
    m_textureObject = LoadTextureFile(m, m_texture, m_alphaTexture);
    m_scene.Load(m_modelFile);
    if (m_scene.cameras.empty()) {
        LogPrintf("Warning : %s : [%s] has no camera to fly the tunnel along", Describe().c_str(),
                  m_modelFile.c_str());
        return;
    }
    m_camera = m_scene.cameras.front();
    buildSpine();
    buildTube();
}

void CTrouDuVers::Release() {
    if (m_textureObject) {
        Context()->ReleaseTexture(m_textureObject);
        m_textureObject = nullptr;
    }
    m_scene.ReleaseResources();
}

// The camera's positions over the animation; points closer than a hundredth
// of the path to the previous one are left out, so a camera that waits does
// not fold the tube.
void CTrouDuVers::buildSpine() {
    const int frames = static_cast<int>(std::max<std::uint32_t>(m_scene.lastFrame, 1));
    std::vector<Vector3> path;
    float length = 0.0f;
    for (int n = 0; n <= kMaxRings * 4; ++n) {
        path.push_back(PositionAt(*m_camera, static_cast<float>(frames) * n / (kMaxRings * 4)));
        if (n > 0) {
            length += distance(path[path.size() - 2], path.back());
        }
    }
    m_radius = length > 0.0f ? length / 20.0f : 1.0f;
    for (const UserParameter& parameter : m_camera->userParameters) {
        if (parameter.name == "Radius") {
            m_radius = ParseFloatPrefix(parameter.value);
        }
    }
    const float step = std::max(length / kMaxRings, 1e-4f);
    m_spine = {path.front()};
    for (const Vector3& point : path) {
        if (distance(point, m_spine.back()) >= step && m_spine.size() < kMaxRings) {
            m_spine.push_back(point);
        }
    }
    if (m_spine.size() < 2) {
        m_spine.push_back({path.front().x, path.front().y, path.front().z + 1.0f});
    }
}

// Rings around the spine, each turned from the previous one as little as the
// bend needs, so that the texture does not twist.
void CTrouDuVers::buildTube() {
    const float pi = std::numbers::pi_v<float>;
    const std::size_t rings = m_spine.size();
    Vector3 normal{0, 1, 0};
    float along = 0.0f;
    m_tube.clear();
    for (std::size_t r = 0; r < rings; ++r) {
        const Vector3& at = m_spine[r];
        const Vector3& next = m_spine[std::min(r + 1, rings - 1)];
        const Vector3& before = m_spine[r == 0 ? 0 : r - 1];
        const Vector3 tangent = unit({next.x - before.x, next.y - before.y, next.z - before.z});
        normal = unit({normal.x - tangent.x * dot(normal, tangent),
                       normal.y - tangent.y * dot(normal, tangent),
                       normal.z - tangent.z * dot(normal, tangent)});
        if (std::fabs(dot(normal, tangent)) > 0.99f ||
            std::hypot(normal.x, normal.y, normal.z) < 0.5f) {
            normal = unit(cross(tangent, {1, 0, 0}));
        }
        const Vector3 binormal = cross(tangent, normal);
        if (r > 0) {
            along += distance(m_spine[r - 1], at);
        }
        for (int s = 0; s <= kSides; ++s) {
            const float angle = 2.0f * pi * static_cast<float>(s) / kSides;
            const float c = std::cos(angle) * m_radius;
            const float d = std::sin(angle) * m_radius;
            m_tube.push_back({at.x + normal.x * c + binormal.x * d,
                              at.y + normal.y * c + binormal.y * d,
                              at.z + normal.z * c + binormal.z * d, 0.0f, 0.0f, 0.0f, 0xFFFFFFFFu,
                              2.0f * static_cast<float>(s) / kSides,
                              along / (2.0f * pi * m_radius) * 2.0f, 0.0f, 0.0f});
        }
    }
    m_indices.clear();
    const int row = kSides + 1;
    for (int r = 0; r + 1 < static_cast<int>(rings); ++r) {
        for (int s = 0; s < kSides; ++s) {
            const int a = r * row + s;
            for (const int corner : {a, a + row, a + 1, a + 1, a + row, a + row + 1}) {
                m_indices.push_back(static_cast<std::uint16_t>(corner));
            }
        }
    }
    m_drawn = m_tube;
}

void CTrouDuVers::drawFrame() {
    if (!m_camera) {
        return;
    }
    RenderModule& m = *Context();
    const CameraPose pose = PoseAt(*m_camera, SceneFrameAt(m_scene, Age()));
    m.SetCameraPosition(pose.position);
    m.SetCameraTarget(pose.target);
    m.SetFieldOfView(pose.fov);
    m.SetRoll(pose.roll);
    m.SetNearPlane(m_radius * 0.01f);
    m.SetFarPlane(m_radius * kFadeRadii * 2.0f);
    m.ApplyCamera();
    m.SetWorldMatrix(Matrix4::Identity());
    SetModulatingStage(m);
    m.SetFogEnable(false);
    m.SetLighting(false);
    m.SetCullMode(CullMode::None);
    const bool blended = !m_alphaTexture.empty();
    m.SetAlphaBlend(blended);
    m.SetSrcBlend(BlendFactor::SrcAlpha);
    m.SetDestBlend(BlendFactor::InvSrcAlpha);
    m.SetDepthTest(!blended);
    m.SetDepthWrite(!blended);
    m.SetTexture(0, m_textureObject);
    const float scroll = Age() * 0.5f;
    const float reach = m_radius * kFadeRadii;
    for (std::size_t n = 0; n < m_tube.size(); ++n) {
        const float near = std::clamp(
            1.0f - distance({m_tube[n].x, m_tube[n].y, m_tube[n].z}, pose.position) / reach, 0.0f,
            1.0f);
        const auto grey = static_cast<std::uint32_t>(near * Intensity() * 255.0f);
        m_drawn[n].diffuse = (blended ? grey << 24 | 0xFFFFFFu : 0xFF000000u) | grey * 0x010101u;
        m_drawn[n].v0 = m_tube[n].v0 - scroll;
    }
    m.DrawIndexed(PrimitiveType::TriangleList, m_drawn, m_indices);
    m.SetAlphaOp(0, AlphaOp::Disable);
    m.SetAlphaBlend(false);
    m.SetDepthTest(true);
    m.SetDepthWrite(true);
}

}  // namespace vesta
