#include "scene/player/MdlPlayer.h"

#include <cstdio>
#include <cstdlib>

#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(3, "MDLPlayer", CMDLPlayer);

namespace {

// Only needs to look unique until the script's NAME replaces it.
std::string randomName() {
    char name[48];
    std::snprintf(name, sizeof name, "MDLPlayer Layer [%X]", static_cast<unsigned>(std::rand()));
    return name;
}

}  // namespace

CMDLPlayer::CMDLPlayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CLayer(context, children), m_scene(context) {
    SetDefaultName(randomName());
    AddTextParameter("MDLFile", &m_file);
    AddTextParameter("CurrentCamera", &m_cameraName, [this] {
        if (m_loaded) {
            selectCamera();
        }
    });
    AddFloatParameter("NearPlane", &m_nearPlane);
    AddFloatParameter("FarPlane", &m_farPlane);
    AddBoolParameter("ShowBBoxes", &m_showBoxes);
    AddBoolParameter("ShowMesheCount", &m_showMeshCount);
    AddIntParameter("ForceFrame", &m_forceFrame);
    AddFloatParameter("CameraStartTime", &m_cameraStartTime);
    AddBoolParameter("MotionBlur", &m_motionBlur, [this] { passDrawMode(); });
    AddFloatParameter("BlurTimeDecal", &m_blurTimeDecal, [this] { passDrawMode(); });
    AddIntParameter("BlurImgCount", &m_blurImageCount, [this] { passDrawMode(); });
    AddVectorParameter("VPCorner", &m_viewportCorner);
    AddVectorParameter("VPSize", &m_viewportSize);
}

// The modifiers go before the scene they point into.
CMDLPlayer::~CMDLPlayer() = default;

void CMDLPlayer::Start() {
    m_scene.Load(m_file);
    m_scene.LoadTextures();
    m_modifiers.StartAll();
    m_loaded = true;
    selectCamera();
}

void CMDLPlayer::Release() {
    m_modifiers.ReleaseAll();
    m_scene.ReleaseResources();
}

void CMDLPlayer::CreateChildren(const std::vector<CLayerOperation>& children) {
    m_modifiers.Apply(children, {&m_scene, Context(), this}, m_loaded);
}

void CMDLPlayer::SetBirthTime(float time) {
    CLayer::SetBirthTime(time);
    m_modifiers.SetBirthTimeAll(time);
}

// An empty name leaves the view to the scene's own current camera.
void CMDLPlayer::selectCamera() {
    m_camera = m_cameraName.empty() ? nullptr : m_scene.FindCamera(m_cameraName);
}

void CMDLPlayer::passDrawMode() {
    m_scene.SetDrawMode(m_motionBlur, m_blurTimeDecal, m_blurImageCount);
}

float CMDLPlayer::FrameAt(float seconds) const {
    if (m_forceFrame != -1) {
        return static_cast<float>(m_forceFrame);
    }
    return (m_cameraStartTime + seconds) * kFramesPerSecond;
}

void CMDLPlayer::Render() {
    RenderModule& m = *Context();
    const bool ownViewport = m_viewportSize.x != 0.0f;
    if (ownViewport) {
        m.SetViewport(m_viewportCorner.x, m_viewportCorner.y, m_viewportSize.x, m_viewportSize.y);
    }
    drawScene();
    if (ownViewport) {
        m.SetViewport(0.0f, 0.0f, 0.0f, 0.0f);
    }
}

void CMDLPlayer::drawScene() {
    RenderModule& m = *Context();
    m_scene.showBoundingBoxes = m_showBoxes;
    m_scene.showMeshCount = m_showMeshCount;
    m.SetNearPlane(m_nearPlane);
    m.SetFarPlane(m_farPlane);
    m.SetCullMode(CullMode::CounterClockwise);
    m.ApplyCamera();
    m.SetDepthTest(true);
    m.SetDepthWrite(true);
    if (m_camera) {
        m_scene.SetCurrentCamera(m_camera);
    }
    m_modifiers.PreFrame();
    m_scene.Render(FrameAt(Age()));
    m_modifiers.PerFrame();
    m_modifiers.RemoveOneFinished();
}

}  // namespace vesta
