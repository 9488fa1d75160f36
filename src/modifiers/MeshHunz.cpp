#include "modifiers/MeshHunz.h"

#include <array>

#include "modifiers/SceneLookup.h"
#include "render/RenderResources.h"
#include "render/vsasm/ToonShade.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(22, "MeshHunz", CMeshHunz);

namespace {

using Register = std::array<float, 4>;

// Column `column` of `m`: the register a dp4 against a row vector needs.
Register column(const Matrix4& m, int column) {
    return {m.m[0][column], m.m[1][column], m.m[2][column], m.m[3][column]};
}

}  // namespace

CMeshHunz::CMeshHunz(CScene* scene, RenderModule* renderModule, void* /*extra*/)
    : CModifier(scene, renderModule) {
    AddTextParameter("Object", &m_object);
    AddBoolParameter("FullScene", &m_fullScene);
    AddTextParameter("Texture", &m_texture);
    AddTextParameter("Light", &m_light);
}

CMeshHunz::~CMeshHunz() {
    restore();
}

void CMeshHunz::Start() {
    RenderModule& module = *Renderer();
    m_material.name = "MeshHunz";
    m_material.maps = {{"NoName", m_texture}};
    Texture* ramp = module.CreateTexture();
    if (!ramp->Load(m_texture)) {
        module.DestroyTexture(ramp);
        ramp = nullptr;
    }
    m_material.textures = {ramp};
    m_material.colour2 = {1.0f, 1.0f, 1.0f, 1.0f};
    m_material.wireframe = false;

    CScene& scene = *Scene();
    if (m_fullScene) {
        for (CMeshe* mesh : scene.meshes) {
            hook(*mesh);
            mesh->material = &m_material;
        }
    } else {
        hook(FindMeshOrRaise(scene, m_object));
    }
    m_lightObject = nullptr;
    for (CLight* light : scene.lights) {
        if (light->Name() == m_light) {
            m_lightObject = light;
            break;
        }
    }
    m_shader = module.LoadVertexShader(kShaderFile);
}

void CMeshHunz::Release() {
    restore();
}

void CMeshHunz::hook(CMeshe& mesh) {
    m_meshes.emplace_back(&mesh, mesh.material);
    mesh.drawCallback = [this](CMeshe& drawn) { shade(drawn); };
}

void CMeshHunz::restore() {
    for (auto& [mesh, material] : m_meshes) {
        mesh->material = material;
        mesh->drawCallback = nullptr;
    }
    m_meshes.clear();
    for (Texture*& texture : m_material.textures) {
        if (texture) {
            Renderer()->ReleaseTexture(texture);
            texture = nullptr;
        }
    }
}

void CMeshHunz::shade(CMeshe& mesh) {
    RenderModule& module = *Renderer();
    if (m_shader == 0) {
        return;
    }
    // The mesh keeps the hue of its own material; the ramp gives the bands.
    ColourValue colour{1.0f, 1.0f, 1.0f, 1.0f};
    for (const auto& [hooked, material] : m_meshes) {
        if (hooked == &mesh && material) {
            colour = material->colour1;
        }
    }
    const Matrix4 transform = mesh.worldMatrix * module.ViewMatrix() * module.ProjectionMatrix();
    std::array<Register, vsasm::kToonConstantCount> c{};
    for (int i = 0; i < 4; ++i) {
        c[static_cast<std::size_t>(vsasm::kToonTransform + i)] = column(transform, i);
    }
    for (int i = 0; i < 3; ++i) {
        c[static_cast<std::size_t>(vsasm::kToonWorld + i)] = column(mesh.worldMatrix, i);
    }
    Vector3 light;
    if (m_lightObject) {
        light = m_lightObject->WorldPosition();
    } else if (const CCamera* camera = Scene()->CurrentCamera()) {
        light = camera->WorldPosition();
    }
    c[vsasm::kToonLight] = {light.x, light.y, light.z, 1.0f};
    c[vsasm::kToonNumbers] = {0.0f, 0.5f, 0.9f, 0.05f};
    c[vsasm::kToonColour] = {colour.r, colour.g, colour.b, 1.0f};
    module.SetVertexShaderConstant(0, c[0].data(), vsasm::kToonConstantCount);

    module.SetTexture(0, m_material.textures.front());
    module.SetColorOp(0, ColorOp::Modulate);
    module.SetColorArg1(0, ColorArg::Texture);
    module.SetColorArg2(0, ColorArg::Diffuse);
    module.SetVertexShader(m_shader);
}

}  // namespace vesta
