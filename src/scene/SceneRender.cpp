// Drawing the scene at a frame: mirrors, the two mesh lists (again for each
// motion blur image), halos, particles and the face count.

#include <algorithm>
#include <cmath>

#include "platform/Clock.h"
#include "render/CommonSetups.h"
#include "render/FogFadesToBlack.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

// The alpha of a mesh drawn outside a blur image.
constexpr int kNoBlur = -1;
constexpr float kHaloFadePerSecond = 9.0f;
constexpr float kParticleSize = 75.0f;

ColorArgb argb(float alpha, const ColourValue& colour) {
    return {alpha, colour.r, colour.g, colour.b};
}

RenderMaterial renderMaterial(const CMaterial* material) {
    RenderMaterial record;
    if (!material) {
        record.diffuse = record.ambient = record.emissive = record.specular = {1, 0, 0, 0};
        return record;
    }
    record.diffuse = argb(material->opacity, material->colour1);
    record.ambient = argb(material->opacity, material->colour1);
    record.emissive = argb(material->opacity, material->colour2);
    record.specular = argb(1.0f, material->colour3);
    record.specularLevel = material->specularLevel;
    record.power = material->glossiness;
    return record;
}

Texture* mapTexture(const CMaterial* material, std::size_t index) {
    return material && index < material->textures.size() ? material->textures[index] : nullptr;
}

RenderVertex vertexAt(const Vector3& p, std::uint32_t colour, float u = 0.0f, float v = 0.0f) {
    return {p.x, p.y, p.z, 0.0f, 0.0f, 0.0f, colour, u, v, 0.0f, 0.0f};
}

// The view of one face of a cube map from `eye`: +x, -x, +y, -y, +z, -z.
Matrix4 cubeFaceView(const Vector3& eye, int face) {
    static constexpr float kAxes[6][2][3] = {
        {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}},
        {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}},
    };
    const float* z = kAxes[face][0];
    const float* y = kAxes[face][1];
    const float x[3] = {y[1] * z[2] - y[2] * z[1], y[2] * z[0] - y[0] * z[2],
                        y[0] * z[1] - y[1] * z[0]};
    Matrix4 view;
    for (int row = 0; row < 3; ++row) {
        view.m[row][0] = x[row];
        view.m[row][1] = y[row];
        view.m[row][2] = z[row];
    }
    view.m[3][0] = -(eye.x * x[0] + eye.y * x[1] + eye.z * x[2]);
    view.m[3][1] = -(eye.x * y[0] + eye.y * y[1] + eye.z * y[2]);
    view.m[3][2] = -(eye.x * z[0] + eye.y * z[1] + eye.z * z[2]);
    return view;
}

// Where a light is this frame: moved with the objects, by its own track, or
// where the file put it.
Vector3 lightPosition(const CLight& light, float frame) {
    if (light.dynamic && light.anim) {
        return light.WorldPosition();
    }
    if (light.anim && !light.anim->position.empty()) {
        return EvaluateTrack(light.anim->position, frame);
    }
    return {light.position.x, light.position.y, light.position.z};
}

// A camera-facing quad around `centre` with half-size `size`, turned by
// `angle` in the view plane.
void facingQuad(const Matrix4& view, const Vector3& centre, float size, float angle,
                std::uint32_t colour, RenderVertex (&quad)[4]) {
    // The view's rotation rows are the camera's axes in world space.
    const Vector3 right{view.m[0][0], view.m[1][0], view.m[2][0]};
    const Vector3 up{view.m[0][1], view.m[1][1], view.m[2][1]};
    const float c = std::cos(angle) * size;
    const float s = std::sin(angle) * size;
    const Vector3 a{right.x * c + up.x * s, right.y * c + up.y * s, right.z * c + up.z * s};
    const Vector3 b{up.x * c - right.x * s, up.y * c - right.y * s, up.z * c - right.z * s};
    auto at = [&](float i, float j) {
        return Vector3{centre.x + a.x * i + b.x * j, centre.y + a.y * i + b.y * j,
                       centre.z + a.z * i + b.z * j};
    };
    quad[0] = vertexAt(at(-1, 1), colour, 0, 0);
    quad[1] = vertexAt(at(1, 1), colour, 1, 0);
    quad[2] = vertexAt(at(-1, -1), colour, 0, 1);
    quad[3] = vertexAt(at(1, -1), colour, 1, 1);
}

}  // namespace

void CScene::Render(float frame) {
    if (frame != kRenderAgain) {
        m_currentFrame = WrapFrame(frame, lastFrame);
    }
    meshesDrawn = 0;
    facesDrawn = 0;
    if (!m_renderer) {
        return;
    }
    RenderModule& m = *m_renderer;
    placeCamera(m_currentFrame);
    evaluateObjects();
    cullMeshes();
    updateGeometry();
    // Fire and plasma maps draw their next pictures, each at its own pace.
    for (const auto& material : materials) {
        for (Texture* texture : material->textures) {
            if (texture) {
                texture->UpdateDynamic();
            }
        }
    }
    setLights();
    sortBlended();
    chooseLods();
    renderMirrors();
    m.SetTextureFiltering(0, true);
    m.SetTextureFiltering(1, true);
    drawLists(kNoBlur);
    if (m_motionBlur && m_blurImageCount > 0) {
        m.Clear(1);
        m.SetAlphaBlend(true);
        m.SetDepthWrite(true);
        for (int i = 1; i <= m_blurImageCount; ++i) {
            placeCamera(
                WrapFrame(m_currentFrame + m_blurTimeDecal * static_cast<float>(i), lastFrame));
            m.SetDepthFunc(Comparison::Less);
            drawDepthOnly();
            const int alpha = 255 - (255 / m_blurImageCount) * (i - 1);
            m.SetDepthFunc(Comparison::LessEqual);
            drawLists(alpha);
            m.Clear(1);
        }
        m.SetAlphaBlend(false);
        // Halos and particles belong to this frame's camera, not the last image's.
        placeCamera(m_currentFrame);
    }
    drawHalos();
    drawParticles();
    drawMeshCount();
    resetAfterFrame();
    m_lastCameraPosition = m_cameraPosition;
}

void CScene::renderMirrors() {
    RenderModule& m = *m_renderer;
    if (mirrors.empty()) {
        return;
    }
    const Matrix4 savedProjection = m.State().projection;
    const std::optional<Matrix4> square = CameraProjectionMatrix(1.5707964f, 1.0f, 4500.0f, 1.0f);
    for (CMeshe* mirror : mirrors) {
        if (!mirror->mirrorTexture) {
            continue;
        }
        for (int face = 0; face < 6; ++face) {
            // Selecting a face makes it the render target.
            mirror->mirrorTexture->SetCubeFace(face);
            m.Clear(0);
            m.SetViewMatrix(cubeFaceView(mirror->WorldPosition(), face));
            if (square) {
                m.SetProjectionMatrix(*square);
            }
            for (CMeshe* mesh : meshes) {
                if (mesh != mirror && mesh->IsDrawn()) {
                    drawMesh(*mesh, kNoBlur);
                }
            }
        }
    }
    m.SetRenderTarget(nullptr, 0);
    m.SetProjectionMatrix(savedProjection);
    m.ApplyCamera();
}

void CScene::drawLists(int blurAlpha) {
    for (const std::vector<CMeshe*>* list : {&opaqueMeshes, &blendedMeshes}) {
        for (CMeshe* mesh : *list) {
            if (!mesh->IsDrawn()) {
                if (showBoundingBoxes) {
                    drawBox(*mesh, 0xFF0000u);
                }
                continue;
            }
            if (showBoundingBoxes) {
                drawBox(*mesh, 0xFFFFFFu);
            }
            drawMesh(*mesh, blurAlpha);
            ++meshesDrawn;
            facesDrawn += static_cast<int>(mesh->faces.size());
        }
    }
}

void CScene::drawMesh(CMeshe& mesh, int blurAlpha) {
    RenderModule& m = *m_renderer;
    const bool blur = blurAlpha != kNoBlur;
    const bool fogWasOn = m.State().fog.enabled;
    const bool lightingWasOn = m.LightingEnabled();
    m.ApplyStateBlock(defaultStateBlock);
    if ((mesh.flags & MeshFlag::NoFog) && fogWasOn) {
        m.SetFogEnable(false);
    }
    m.SetWorldMatrix(mesh.worldMatrix);
    if (blur) {
        m.SetSrcBlend(BlendFactor::SrcAlpha);
        m.SetDestBlend(BlendFactor::InvSrcAlpha);
    }
    m.ApplyStateBlock(mesh.stateBlock);

    const CMaterial* material = mesh.material;
    m.SetTexture(0, mapTexture(material, 0));
    constexpr std::uint32_t kSecondStage = MeshFlag::EnvMap | MeshFlag::BinMap | MeshFlag::Mirror;
    Texture* second = nullptr;
    if (mesh.flags & MeshFlag::Mirror) {
        second = mesh.mirrorTexture;
    } else if (mesh.flags & kSecondStage) {
        second = mapTexture(material, 1);
    }
    if ((mesh.flags & MeshFlag::BinMap) && !(mesh.flags & MeshFlag::Mirror)) {
        m.SetColorOp(1, ColorOp::Add);
        m.SetColorArg1(1, ColorArg::Texture);
        m.SetColorArg2(1, ColorArg::Current);
        m.SetTextureCoordIndex(1, 1);
    }
    m.SetTexture(1, second);
    if (material && material->wireframe) {
        m.SetFillMode(FillMode::Wireframe);
    }
    if (material && material->flatShading) {
        m.SetShadeMode(ShadeMode::Flat);
    }
    if (m.LightingEnabled()) {
        m.SetMaterial(renderMaterial(material));
    }
    if (blur) {
        m.SetAlphaBlend(true);
        m.SetAlphaOp(0, AlphaOp::BlendFactorAlpha);
        m.SetAlphaArg1(0, AlphaArg::Texture);
        m.SetAlphaArg2(0, AlphaArg::TextureFactor);
        m.SetTextureFactor(static_cast<std::uint32_t>(blurAlpha) << 24);
    }
    if (mesh.drawCallback) {
        mesh.drawCallback(mesh);
    }
    if (mesh.buffer) {
        mesh.buffer->DrawTriangles(0);
    }
    // A callback's vertex shader is for its own mesh.
    if (m.State().vertexShader.handle != 0) {
        m.SetVertexShader(0);
    }

    if (mesh.flags & MeshFlag::Mirror) {
        m.SetEnvironmentMapping(1, false);
    }
    if ((mesh.flags &
         (MeshFlag::Alpha | MeshFlag::AlphaMap | MeshFlag::Floor | MeshFlag::SrcAlpha)) &&
        !blur) {
        m.SetAlphaBlend(false);
        m.SetDepthWrite(true);
    }
    if (mesh.flags & kSecondStage) {
        m.SetAlphaOp(1, AlphaOp::Disable);
        m.SetColorOp(1, ColorOp::Modulate);
        m.SetColorArg1(1, ColorArg::Texture);
        m.SetColorArg2(1, ColorArg::Current);
        m.SetTexture(1, nullptr);
    }
    if (fogWasOn) {
        m.SetFogEnable(true);
    }
    if (lightingWasOn) {
        m.SetLighting(true);
    }
}

void CScene::drawBox(const CMeshe& mesh, std::uint32_t colour) {
    RenderModule& m = *m_renderer;
    const bool lightingWasOn = m.LightingEnabled();
    m.SetLighting(false);
    m.SetTexture(0, nullptr);
    m.SetTexture(1, nullptr);
    m.SetColorOp(0, ColorOp::SelectArg1);
    m.SetColorArg1(0, ColorArg::Diffuse);
    m.SetWorldMatrix(TranslationMatrix(mesh.WorldPosition()));
    const std::array<Vector3, 8>& p = mesh.box.points;
    const std::uint32_t argb = 0xFF000000u | colour;
    // The bottom ring, the top ring, then the four edges between them.
    static constexpr int kRings[2][5] = {{0, 1, 3, 2, 0}, {4, 5, 7, 6, 4}};
    for (const auto& ring : kRings) {
        RenderVertex strip[5];
        for (int i = 0; i < 5; ++i) {
            strip[i] = vertexAt(p[static_cast<std::size_t>(ring[i])], argb);
        }
        m.Draw(PrimitiveType::LineStrip, 5, strip);
    }
    RenderVertex edges[8];
    for (int i = 0; i < 4; ++i) {
        edges[i * 2] = vertexAt(p[static_cast<std::size_t>(i)], argb);
        edges[i * 2 + 1] = vertexAt(p[static_cast<std::size_t>(i + 4)], argb);
    }
    m.Draw(PrimitiveType::LineList, 8, edges);
    m.SetLighting(lightingWasOn);
}

void CScene::drawDepthOnly() {
    RenderModule& m = *m_renderer;
    m.SetDepthTest(true);
    m.SetDepthWrite(true);
    m.SetLighting(false);
    m.SetTexture(0, nullptr);
    m.SetTexture(1, nullptr);
    m.SetColorWriteMask(false, false, false, false);
    for (auto it = meshes.rbegin(); it != meshes.rend(); ++it) {
        CMeshe& mesh = **it;
        if (mesh.IsDrawn() && mesh.buffer) {
            m.SetWorldMatrix(mesh.worldMatrix);
            mesh.buffer->DrawTriangles(0);
        }
    }
    m.SetColorWriteMask(true, true, true, true);
    if (m_lightsSet > 0) {
        m.SetLighting(true);
    }
}

void CScene::drawHalos() {
    RenderModule& m = *m_renderer;
    const double now = TimeNow();
    const FogState fog = m.State().fog;
    bool fogWidened = false;
    for (CLight* light : lights) {
        if (!light->halo || !light->haloTexture) {
            continue;
        }
        const Vector3 position = lightPosition(*light, m_currentFrame);
        m.SetWorldMatrix(Matrix4::Identity());
        const bool visible = m.IsPointVisible(position);
        auto fadeAt = [&](bool shown) {
            const auto elapsed = static_cast<float>(now - light->haloChangeTime);
            const float f =
                light->haloFadeStart + (shown ? 1.0f : -1.0f) * kHaloFadePerSecond * elapsed;
            const float clamped = std::clamp(f, 0.0f, 1.0f);
            return clamped < 0.000001f ? 0.0f : clamped;
        };
        if (visible != light->haloVisible) {
            light->haloFadeStart = fadeAt(light->haloVisible);
            light->haloChangeTime = now;
            light->haloVisible = visible;
        }
        const float fade = fadeAt(visible);
        if (!visible && fade == 0.0f) {
            continue;
        }
        if (!fogWidened) {
            m.SetFog(fog.mode, fog.start * 2.0f, fog.end * 2.0f, fog.density * 0.5f);
            fogWidened = true;
        }
        m.SetFogEnable(fog.enabled);
        const Vector3 toLight{position.x - m_cameraPosition.x, position.y - m_cameraPosition.y,
                              position.z - m_cameraPosition.z};
        const float distance =
            std::sqrt(toLight.x * toLight.x + toLight.y * toLight.y + toLight.z * toLight.z);
        const Vector3 moved{m_cameraPosition.x - m_lastCameraPosition.x,
                            m_cameraPosition.y - m_lastCameraPosition.y,
                            m_cameraPosition.z - m_lastCameraPosition.z};
        const float strength = light->haloStrength != 0.0f ? light->haloStrength : 1.0f;
        const float angle =
            (toLight.x * moved.x + toLight.y * moved.y + toLight.z * moved.z) * 0.00001f / strength;
        const std::uint32_t alpha = static_cast<std::uint32_t>(fade * 255.0f);
        RenderVertex quad[4];
        facingQuad(m.State().view, position, distance * 0.01f * light->haloStrength, angle,
                   (alpha << 24) | 0x00FFFFFFu, quad);
        m.SetLighting(false);
        m.SetDepthWrite(false);
        m.SetAlphaBlend(true);
        m.SetSrcBlend(BlendFactor::SrcAlpha);
        m.SetDestBlend(BlendFactor::One);
        m.SetCullMode(CullMode::None);
        m.SetTexture(0, light->haloTexture);
        SetModulatingStage(m);
        m.Draw(PrimitiveType::TriangleStrip, 4, quad);
    }
    if (fogWidened) {
        m.SetFog(fog.mode, fog.start, fog.end, fog.density);
        m.SetFogEnable(fog.enabled);
        m.SetAlphaBlend(false);
        m.SetDepthWrite(true);
        m.SetCullMode(CullMode::CounterClockwise);
    }
}

void CScene::drawParticles() {
    RenderModule& m = *m_renderer;
    if (particleSources.empty()) {
        return;
    }
    const FogFadesToBlack fog(m, true);
    m.SetLighting(false);
    m.SetDepthWrite(false);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::One);
    m.SetDestBlend(BlendFactor::One);
    m.SetCullMode(CullMode::None);
    m.SetWorldMatrix(Matrix4::Identity());
    m.SetColorOp(0, ColorOp::Modulate);
    m.SetColorArg1(0, ColorArg::Texture);
    m.SetColorArg2(0, ColorArg::Diffuse);
    for (const auto& source : particleSources) {
        const Vector3 from = lightPosition(*source->source, m_currentFrame);
        const Vector3 to =
            source->destination ? lightPosition(*source->destination, m_currentFrame) : from;
        source->Update(m_currentFrame, from, to);
        m.SetTexture(0, source->texture);
        for (const Particle& particle : source->particles) {
            if (!particle.visible) {
                continue;
            }
            const auto grey = static_cast<std::uint32_t>(particle.intensity * 255.0f);
            RenderVertex quad[4];
            facingQuad(m.State().view, particle.position, kParticleSize * 0.5f, 0.0f,
                       0xFF000000u | grey << 16 | grey << 8 | grey, quad);
            m.Draw(PrimitiveType::TriangleStrip, 4, quad);
        }
    }
    m.SetDepthWrite(true);
    m.SetAlphaBlend(false);
    m.SetCullMode(CullMode::CounterClockwise);
}

void CScene::drawMeshCount() {
    if (!showMeshCount) {
        return;
    }
    if (Font* font = m_renderer->GetFont("font1.png")) {
        font->Print(0, 200, 10, "%d/%d", facesDrawn, static_cast<int>(totalFaces));
    }
}

void CScene::resetAfterFrame() {
    RenderModule& m = *m_renderer;
    m.SetAlphaOp(1, AlphaOp::Disable);
    m.SetTexture(1, nullptr);
    if (m_lightsSet > 0) {
        m.SetLighting(false);
        for (int i = 0; i < m_lightsSet; ++i) {
            m.EnableLight(i, false);
        }
    }
}

}  // namespace vesta
