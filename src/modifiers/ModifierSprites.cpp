#include "modifiers/ModifierSprites.h"

#include <algorithm>
#include <cmath>

#include "log/Log.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

// 16-bit indices reach 16384 quads per draw.
constexpr std::size_t kQuadsPerDraw = 16384;

RenderVertex cornerVertex(const Vector3& p, std::uint32_t colour, float u, float v) {
    return {p.x, p.y, p.z, 0.0f, 0.0f, 0.0f, colour, u, v, 0.0f, 0.0f};
}

}  // namespace

C3DObject* FindPlacedObjectOrLog(const CScene& scene, std::string_view name) {
    C3DObject* object = FindPlacedObject(scene, name);
    if (!object) {
        LogPrintf("Unable to find [%s]", std::string(name).c_str());
    }
    return object;
}

C3DObject* FindPlacedObject(const CScene& scene, std::string_view name) {
    if (C3DObject* object = scene.FindObject(name)) {
        return object;
    }
    for (CLight* light : scene.lights) {
        if (light->Name() == name) {
            return light;
        }
    }
    return nullptr;
}

Vector3 ObjectCentre(const CScene& scene, const C3DObject& object) {
    if (const auto* mesh = dynamic_cast<const CMeshe*>(&object)) {
        return TransformPoint(mesh->box.centre, mesh->worldMatrix);
    }
    if (const auto* light = dynamic_cast<const CLight*>(&object)) {
        // Lights outside the moving objects keep their own track.
        if (!light->dynamic && light->anim && !light->anim->position.empty()) {
            return EvaluateTrack(light->anim->position, scene.CurrentFrame());
        }
        if (!light->dynamic || !light->anim) {
            return {light->position.x, light->position.y, light->position.z};
        }
    }
    return object.WorldPosition();
}

float ObjectRadius(const C3DObject& object) {
    if (const auto* mesh = dynamic_cast<const CMeshe*>(&object)) {
        return Length(mesh->box.cornerB - mesh->box.cornerA) * 0.5f;
    }
    return 0.0f;
}

void ModifierPicture::Load(RenderModule& module, const std::string& file,
                           const std::string& alphaFile) {
    Release(module);
    if (file.empty()) {
        return;
    }
    m_texture = module.CreateTexture();
    if (!alphaFile.empty()) {
        m_texture->SetAlphaMap(alphaFile, 255);
    }
    m_texture->LoadOrRaise(file);
}

void ModifierPicture::Release(RenderModule& module) {
    if (m_texture) {
        module.ReleaseTexture(m_texture);
        m_texture = nullptr;
    }
}

void ModifierPicture::BeginDraw(RenderModule& module, bool additive) const {
    module.SetLighting(false);
    module.SetDepthTest(true);
    module.SetDepthWrite(false);
    module.SetCullMode(CullMode::None);
    module.SetWorldMatrix(Matrix4::Identity());
    module.SetAlphaBlend(true);
    module.SetSrcBlend(additive ? BlendFactor::One : BlendFactor::SrcAlpha);
    module.SetDestBlend(additive ? BlendFactor::One : BlendFactor::InvSrcAlpha);
    module.SetTexture(0, m_texture);
    module.SetTexture(1, nullptr);
    if (m_texture) {
        module.SetColorOp(0, ColorOp::Modulate);
        module.SetColorArg1(0, ColorArg::Texture);
        module.SetColorArg2(0, ColorArg::Diffuse);
        module.SetAlphaOp(0, AlphaOp::Modulate);
        module.SetAlphaArg1(0, AlphaArg::Texture);
        module.SetAlphaArg2(0, AlphaArg::Diffuse);
    } else {
        module.SetColorOp(0, ColorOp::SelectArg1);
        module.SetColorArg1(0, ColorArg::Diffuse);
        module.SetAlphaOp(0, AlphaOp::SelectArg1);
        module.SetAlphaArg1(0, AlphaArg::Diffuse);
    }
}

void ModifierPicture::EndDraw(RenderModule& module) {
    module.SetTexture(0, nullptr);
    module.SetAlphaOp(0, AlphaOp::Disable);
    module.SetColorOp(0, ColorOp::Modulate);
    module.SetColorArg1(0, ColorArg::Texture);
    module.SetColorArg2(0, ColorArg::Diffuse);
    module.SetAlphaBlend(false);
    module.SetDepthWrite(true);
    module.SetCullMode(CullMode::CounterClockwise);
}

std::uint32_t GreyArgb(float value) {
    const auto byte = static_cast<std::uint32_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f);
    return byte << 24 | byte << 16 | byte << 8 | byte;
}

void SpriteBatch::Clear() {
    m_vertices.clear();
}

void SpriteBatch::AddFacing(const Matrix4& view, const Vector3& centre, float halfWidth,
                            float halfHeight, std::uint32_t colour) {
    // The view's rotation columns are the camera's axes in world space.
    const Vector3 right = Vector3{view.m[0][0], view.m[1][0], view.m[2][0]} * halfWidth;
    const Vector3 up = Vector3{view.m[0][1], view.m[1][1], view.m[2][1]} * halfHeight;
    const Vector3 corners[4] = {centre - right + up, centre + right + up, centre - right - up,
                                centre + right - up};
    AddQuad(corners, colour);
}

void SpriteBatch::AddQuad(const Vector3 (&corners)[4], std::uint32_t colour) {
    m_vertices.push_back(cornerVertex(corners[0], colour, 0.0f, 0.0f));
    m_vertices.push_back(cornerVertex(corners[1], colour, 1.0f, 0.0f));
    m_vertices.push_back(cornerVertex(corners[2], colour, 0.0f, 1.0f));
    m_vertices.push_back(cornerVertex(corners[3], colour, 1.0f, 1.0f));
}

void SpriteBatch::Draw(RenderModule& module) {
    const std::size_t quads = QuadCount();
    const std::size_t piece = std::min(quads, kQuadsPerDraw);
    if (m_indices.size() != piece * 6) {
        m_indices.clear();
        for (std::size_t q = 0; q < piece; ++q) {
            const auto base = static_cast<std::uint16_t>(q * 4);
            for (const int corner : {0, 1, 2, 2, 1, 3}) {
                m_indices.push_back(static_cast<std::uint16_t>(base + corner));
            }
        }
    }
    if (quads <= kQuadsPerDraw) {
        if (quads > 0) {
            module.DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
        }
        return;
    }
    std::vector<RenderVertex> part;
    std::vector<std::uint16_t> indices;
    for (std::size_t first = 0; first < quads; first += kQuadsPerDraw) {
        const std::size_t count = std::min(kQuadsPerDraw, quads - first);
        const auto begin = m_vertices.begin() + static_cast<std::ptrdiff_t>(first * 4);
        part.assign(begin, begin + static_cast<std::ptrdiff_t>(count * 4));
        indices.assign(m_indices.begin(),
                       m_indices.begin() + static_cast<std::ptrdiff_t>(count * 6));
        module.DrawIndexed(PrimitiveType::TriangleList, part, indices);
    }
}

float HashFraction(std::uint32_t a, std::uint32_t b) {
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

}  // namespace vesta
