#include "modifiers/ObjectRays.h"

#include <cmath>

#include "log/Log.h"
#include "modifiers/Billboards.h"
#include "modifiers/SceneLookup.h"
#include "modifiers/ScreenOverlay.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(13, "Rays", CObjectRays);

namespace {

constexpr float kBreathsPerSecond = 3.0f;
constexpr float kWidthPerLength = 0.06f;

// The same vertices every run: a small generator of its own.
struct Sequence {
    std::uint32_t state = 12345u;
    float next() {
        state = state * 1103515245u + 12345u;
        return static_cast<float>((state >> 8) & 0xFFFF) / 65536.0f;
    }
};

}  // namespace

CObjectRays::CObjectRays(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddTextParameter("Object", &m_objectName);
    AddVectorParameter("Color", &m_colour);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("RayPercentage", &m_rayPercentage);
    AddFloatParameter("RaySize", &m_raySize);
    AddFloatParameter("RaySizeDelta", &m_raySizeDelta);
}

CObjectRays::~CObjectRays() = default;

void CObjectRays::Initialise() {
    C3DObject& object = FindObjectOrRaise(*Scene(), m_objectName);
    if (m_objectName.find(kRequiredTag) == std::string::npos) {
        RaiseError("Must specifiy the [.UserRead] for object [%s]", m_objectName.c_str());
    }
    m_object = &object;
    GiveBackTexture(*Renderer(), m_picture);
    if (!m_texture.empty()) {
        m_picture = Renderer()->CreateTexture();
        m_picture->LoadOrRaise(m_texture);
    }
    chooseRays();
}

void CObjectRays::chooseRays() {
    m_rays.clear();
    Sequence sequence;
    const auto* mesh = dynamic_cast<const CMeshe*>(m_object);
    if (mesh && !mesh->vertices.empty()) {
        for (const MeshVertex& vertex : mesh->vertices) {
            const float pick = sequence.next() * 100.0f;
            const float phase = sequence.next() * 6.2831853f;
            if (pick < m_rayPercentage) {
                m_rays.push_back({vertex.position - mesh->box.centre, phase});
            }
        }
        return;
    }
    // Spread evenly over the sphere (a golden-angle spiral).
    for (int i = 0; i < kFreeRays; ++i) {
        const float z = 1.0f - (2.0f * static_cast<float>(i) + 1.0f) / kFreeRays;
        const float ring = std::sqrt(1.0f - z * z);
        const float angle = 2.3999632f * static_cast<float>(i);
        m_rays.push_back(
            {{ring * std::cos(angle), ring * std::sin(angle), z}, sequence.next() * 6.2831853f});
    }
}

void CObjectRays::Release() {
    if (Renderer()) {
        GiveBackTexture(*Renderer(), m_picture);
    }
    m_object = nullptr;
}

void CObjectRays::Render() {
    if (!m_object || m_rays.empty()) {
        return;
    }
    RenderModule& m = *Renderer();
    const auto* mesh = dynamic_cast<const CMeshe*>(m_object);
    const Vector3 centre =
        mesh ? TransformPoint(mesh->box.centre, mesh->worldMatrix) : m_object->WorldPosition();
    const Vector3 eye = ViewerPosition(m.ViewMatrix());
    const std::uint32_t base = PackColour(1.0f, m_colour.x, m_colour.y, m_colour.z);
    const std::uint32_t tip = base & 0x00FFFFFFu;
    m_streaks.clear();
    for (const Ray& ray : m_rays) {
        // Through the object's own axes, without its place.
        Vector3 direction = TransformPoint(ray.through, m_object->worldMatrix) -
                            TransformPoint({}, m_object->worldMatrix);
        direction = Unit(direction);
        const float length =
            m_raySize + m_raySizeDelta * std::sin(kBreathsPerSecond * Age() + ray.phase);
        if (length <= 0.0f) {
            continue;
        }
        AppendStreak(m_streaks, eye, centre, centre + direction * length, length * kWidthPerLength,
                     base, tip);
    }
    drawStreaks();
}

void CObjectRays::drawStreaks() const {
    if (m_streaks.empty()) {
        return;
    }
    RenderModule& m = *Renderer();
    const bool fog = m.FogEnabled();
    m.SetFogEnable(false);
    m.SetLighting(false);
    m.SetCullMode(CullMode::None);
    m.SetWorldMatrix(Matrix4::Identity());
    m.SetDepthTest(true);
    m.SetDepthWrite(false);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::SrcAlpha);
    m.SetDestBlend(BlendFactor::One);
    UseTextureTimesColour(m, m_picture);
    m.Draw(PrimitiveType::TriangleList, static_cast<int>(m_streaks.size()), m_streaks.data());
    m.SetTexture(0, nullptr);
    m.SetAlphaBlend(false);
    m.SetDepthWrite(true);
    m.SetFogEnable(fog);
}

}  // namespace vesta
