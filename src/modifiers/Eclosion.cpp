#include "modifiers/Eclosion.h"

#include <cmath>
#include <numbers>

#include "log/Log.h"
#include "render/FogFadesToBlack.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(10, "Eclosion", CEclosion);

namespace {

// `p` turned by `angle` about the unit `axis` through `pivot` (Rodrigues).
Vector3 turnAbout(const Vector3& p, const Vector3& pivot, const Vector3& axis, float angle) {
    const Vector3 r = p - pivot;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return pivot + r * c + Cross(axis, r) * s + axis * (Dot(axis, r) * (1.0f - c));
}

std::uint32_t argbOf(const ColourValue& colour, float scale, float alpha) {
    auto byte = [](float value) {
        return static_cast<std::uint32_t>(std::fmin(std::fmax(value, 0.0f), 1.0f) * 255.0f);
    };
    return byte(alpha) << 24 | byte(colour.r * scale) << 16 | byte(colour.g * scale) << 8 |
           byte(colour.b * scale);
}

}  // namespace

CEclosion::CEclosion(CScene* scene, RenderModule* renderModule, void*)
    : CEnvelopeModifier(scene, renderModule) {
    AddIntParameter("Effect", &m_effect);
    AddIntParameter("AlphaType", &m_alphaType);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddTextParameter("ObjetName", &m_objectName);
    AddFloatParameter("AmplitudeX", &m_amplitude.x);
    AddFloatParameter("AmplitudeY", &m_amplitude.y);
    AddFloatParameter("AmplitudeZ", &m_amplitude.z);
    AddFloatParameter("MaxIntensity", &m_maxIntensity);
    AddFloatParameter("SensX", &m_sens.x);
    AddFloatParameter("SensY", &m_sens.y);
    AddFloatParameter("SensZ", &m_sens.z);
    AddFloatParameter("Velocity", &m_velocity);
}

void CEclosion::Start() {
    CEnvelopeModifier::Start();
    m_mesh = nullptr;
    for (CMeshe* mesh : Scene()->meshes) {
        if (mesh->Name() == m_objectName) {
            m_mesh = mesh;
            break;
        }
    }
    if (!m_mesh) {
        LogPrintf("Unable to find [%s]", m_objectName.c_str());
    }
    m_picture.Load(*Renderer(), m_texture, m_alphaTexture);
}

void CEclosion::Release() {
    m_picture.Release(*Renderer());
}

void CEclosion::OnRising() {
    draw(Intensity(), 1.0f);
}

void CEclosion::OnStable() {
    draw(1.0f, 1.0f);
}

void CEclosion::OnFalling() {
    draw(1.0f, Intensity());
}

void CEclosion::draw(float opening, float strength) {
    if (!m_mesh) {
        return;
    }
    const CMeshe& mesh = *m_mesh;
    const bool additive = m_alphaType == 1;
    const float level = m_maxIntensity * strength;
    // Added pieces grow bright; blended ones grow opaque.
    const ColourValue white{1.0f, 1.0f, 1.0f, 1.0f};
    const ColourValue& tint = m_picture.Get() || !mesh.material ? white : mesh.material->colour1;
    const std::uint32_t colour = additive ? argbOf(tint, level, 1.0f) : argbOf(tint, 1.0f, level);
    const Vector3 centre = TransformPoint(mesh.box.centre, mesh.worldMatrix);
    const Vector3 drift = Vector3{m_sens.x, m_sens.y, m_sens.z} * (m_velocity * Age());
    m_triangles.clear();
    for (const MeshFace& face : mesh.faces) {
        Vector3 corner[3];
        const MeshVertex* source[3] = {&mesh.vertices[face.a], &mesh.vertices[face.b],
                                       &mesh.vertices[face.c]};
        for (int k = 0; k < 3; ++k) {
            corner[k] = TransformPoint(source[k]->position, mesh.worldMatrix);
        }
        const Vector3 middle = (corner[0] + corner[1] + corner[2]) * (1.0f / 3.0f);
        const Vector3 out = middle - centre;
        if (m_effect == 2) {
            for (Vector3& p : corner) {
                p = centre + (p - centre) * opening + drift;
            }
        } else {
            const Vector3 move{out.x * m_amplitude.x * opening, out.y * m_amplitude.y * opening,
                               out.z * m_amplitude.z * opening};
            const Vector3 hinge =
                Unit(Cross(Cross(corner[1] - corner[0], corner[2] - corner[0]), out));
            for (Vector3& p : corner) {
                if (m_effect == 1 && Length(hinge) > 0.0f) {
                    p = turnAbout(p, middle, hinge, opening * std::numbers::pi_v<float> * 0.5f);
                }
                p = p + move + drift;
            }
        }
        for (int k = 0; k < 3; ++k) {
            m_triangles.push_back({corner[k].x, corner[k].y, corner[k].z, 0, 0, 0, colour,
                                   source[k]->uv0[0], source[k]->uv0[1], 0, 0});
        }
    }
    RenderModule& m = *Renderer();
    const FogFadesToBlack fog(m, additive);
    m_picture.BeginDraw(m, additive);
    // The closed bud covers the mesh itself; it must not lose to its depth.
    const Comparison depthFunc = m.State().depth.comparison;
    m.SetDepthFunc(Comparison::LessEqual);
    m.Draw(PrimitiveType::TriangleList, static_cast<int>(m_triangles.size()), m_triangles.data());
    m.SetDepthFunc(depthFunc);
    ModifierPicture::EndDraw(m);
}

}  // namespace vesta
