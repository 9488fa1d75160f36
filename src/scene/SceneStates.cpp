// The render states a scene draws with: its defaults, applied before every
// mesh, and each mesh's own on top, chosen by the mesh's flags. Meshes with
// the same state flags share one block.

#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "scene/ScenePostLoad.h"

namespace vesta {

void RecordDefaultStates(CScene& scene, RenderModule& module) {
    module.BeginStateBlock();
    module.SetAlphaBlend(false);
    module.SetSrcBlend(BlendFactor::SrcAlpha);
    module.SetDestBlend(BlendFactor::InvSrcAlpha);
    module.SetDepthTest(true);
    module.SetDepthWrite(true);
    module.SetDepthFunc(Comparison::LessEqual);
    module.SetCullMode(CullMode::CounterClockwise);
    module.SetFillMode(FillMode::Solid);
    module.SetShadeMode(ShadeMode::Gouraud);
    module.SetColorOp(0, ColorOp::Modulate);
    module.SetColorArg1(0, ColorArg::Texture);
    module.SetColorArg2(0, ColorArg::Diffuse);
    module.SetAlphaOp(0, AlphaOp::SelectArg1);
    module.SetAlphaArg1(0, AlphaArg::Diffuse);
    module.SetTextureCoordIndex(0, 0);
    module.SetColorOp(1, ColorOp::Disable);
    module.SetAlphaOp(1, AlphaOp::Disable);
    module.SetTextureCoordIndex(1, 0);
    RenderModule::StateBlock token = 0;
    module.EndStateBlock(token, -1);
    scene.defaultStateBlock = token;
}

void RecordMeshStates(CMeshe& mesh, RenderModule& module) {
    const std::uint32_t flags = mesh.flags & MeshFlag::StateMask;
    module.BeginStateBlock();
    if (flags & MeshFlag::Flat) {
        module.SetShadeMode(ShadeMode::Flat);
    }
    if (flags & MeshFlag::Wire) {
        module.SetFillMode(FillMode::Wireframe);
    }
    // Blended meshes see the opaque ones through them and leave the depth
    // buffer to those.
    if (flags & (MeshFlag::Alpha | MeshFlag::AlphaMap | MeshFlag::Floor)) {
        module.SetAlphaBlend(true);
        module.SetSrcBlend(BlendFactor::SrcAlpha);
        module.SetDestBlend(BlendFactor::InvSrcAlpha);
        module.SetDepthWrite((flags & MeshFlag::Floor) != 0);
    }
    if (flags & MeshFlag::SrcAlpha) {
        module.SetAlphaBlend(true);
        module.SetSrcBlend(BlendFactor::SrcAlpha);
        module.SetDestBlend(BlendFactor::One);
        module.SetDepthWrite(false);
    }
    if (flags & MeshFlag::AlphaMap) {
        module.SetAlphaOp(0, AlphaOp::Modulate);
        module.SetAlphaArg1(0, AlphaArg::Texture);
        module.SetAlphaArg2(0, AlphaArg::Diffuse);
    }
    if (flags & MeshFlag::Ray) {
        // Light rays add their glow through the second stage's texture.
        module.SetAlphaBlend(true);
        module.SetSrcBlend(BlendFactor::SrcAlpha);
        module.SetDestBlend(BlendFactor::One);
        module.SetDepthWrite(false);
        module.SetColorOp(1, ColorOp::Modulate);
        module.SetColorArg1(1, ColorArg::Texture);
        module.SetColorArg2(1, ColorArg::Current);
    }
    if (flags & MeshFlag::EnvMap) {
        module.SetColorOp(1, ColorOp::Add);
        module.SetColorArg1(1, ColorArg::Texture);
        module.SetColorArg2(1, ColorArg::Current);
        module.SetTextureCoordIndex(1, 1);
    }
    if (flags & MeshFlag::NoCull) {
        module.SetCullMode(CullMode::None);
    }
    if (flags & MeshFlag::NoDynaLight) {
        module.SetLighting(false);
    }
    if (flags & MeshFlag::Mirror) {
        module.SetColorOp(1, ColorOp::Modulate);
        module.SetColorArg1(1, ColorArg::Texture);
        module.SetColorArg2(1, ColorArg::Current);
        module.SetEnvironmentMapping(1, true);
    }
    // Textures carry no mip levels, so NoMipMap has nothing to switch off.
    RenderModule::StateBlock token = 0;
    module.EndStateBlock(token, static_cast<std::int32_t>(flags));
    mesh.stateBlock = token;
}

}  // namespace vesta
