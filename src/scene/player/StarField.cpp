#include "scene/player/StarField.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "fs/DataFile.h"
#include "log/Log.h"
#include "render/CommonSetups.h"
#include "render/RenderModule.h"
#include "scene/player/ScenePoses.h"
#include "script/TextNumbers.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(15, "StarField", CStarField);

namespace {

// One draw holds at most this many stars (16-bit indices).
constexpr int kMaxStars = 16384;

float randomUnit() {
    return static_cast<float>(std::rand() % 1000) * 0.001f;
}

Vector3 add(const Vector3& a, const Vector3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vector3 sub(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 mul(const Vector3& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// `fallback` when the vector has no length.
Vector3 normalised(const Vector3& v, const Vector3& fallback) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length > 1e-6f ? mul(v, 1.0f / length) : fallback;
}

// Two directions across `axis`, each at right angles to it and to the other.
void acrossAxis(const Vector3& axis, Vector3& right, Vector3& up) {
    const Vector3 helper = std::fabs(axis.y) > 0.99f ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
    right = normalised(cross(helper, axis), {1, 0, 0});
    up = cross(axis, right);
}

RenderVertex vertexAt(const Vector3& p, std::uint32_t colour, float u, float v) {
    return RenderVertex{p.x, p.y, p.z, 0.0f, 0.0f, 0.0f, colour, u, v, 0.0f, 0.0f};
}

}  // namespace

CStarField::CStarField(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    AddAccessorParameter(
        kEffectIdentifier, [this] { return std::to_string(m_routine); },
        [this](std::string_view text) {
            const std::int32_t routine = ParseIntPrefix(text);
            if (routine == 0 || routine == 1) {
                m_routine = routine;
            }
            return true;
        },
        "Effect", ParameterType::Int);
    AddIntParameter("Count", &m_count);
    AddFloatParameter("Speed", &m_speed);
    AddFloatParameter("SpeedDelta", &m_speedDelta);
    AddFloatParameter("Length", &m_length);
    AddVectorParameter("Direction", &m_direction);
    AddVectorParameter("Source", &m_source);
    AddVectorParameter("PlaneScale", &m_planeScale);
    AddFloatParameter("Rotate", &m_rotate);
    AddFloatParameter("Scintille", &m_scintille);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddBoolParameter("Loop", &m_loop);
    AddTextParameter("File", &m_soundFile);
    AddTextParameter("Object", &m_object);
    AddTextParameter("Object2", &m_object2);
    AddTextParameter("Object3", &m_object3);
    AddTextParameter("MDLFile", &m_modelFile);
}

CStarField::~CStarField() = default;

void CStarField::Start() {
    CEnvelopeLayer::Start();
    RenderModule& m = *Context();
    m_textureObject = LoadTextureFile(m, m_texture, m_alphaTexture);
    if (!m_modelFile.empty()) {
        m_scene.Load(m_modelFile);
        m_hasModel = true;
        m_emitter = FindSceneObject(m_scene, m_object);
        m_aim = FindSceneObject(m_scene, m_object2);
        m_camera = m_object3.empty() ? nullptr : m_scene.FindCamera(m_object3);
        if (!m_camera && !m_scene.cameras.empty()) {
            m_camera = m_scene.cameras.front();
        }
    }
    const int count = std::clamp(m_count, 0, kMaxStars);
    if (count != m_count) {
        LogPrintf("Warning : %s draws %d of its %d stars", Describe().c_str(), count, m_count);
    }
    m_stars.resize(static_cast<std::size_t>(count));
    for (Star& star : m_stars) {
        star.start = {(randomUnit() - 0.5f) * m_planeScale.x,
                      (randomUnit() - 0.5f) * m_planeScale.y,
                      (randomUnit() - 0.5f) * m_planeScale.z};
        star.speed = m_speed + m_speedDelta * (randomUnit() - 0.5f);
    }
    m_vertices.resize(m_stars.size() * 4);
    m_indices.clear();
    for (int q = 0; q < count; ++q) {
        for (const int corner : {0, 1, 2, 2, 1, 3}) {
            m_indices.push_back(static_cast<std::uint16_t>(q * 4 + corner));
        }
    }
    loadSound();
    follow(0.0f);
}

void CStarField::loadSound() {
    m_sound = Context()->GetSoundSystem();
    if (m_soundFile.empty() || !m_sound) {
        return;
    }
    DataFile file;
    if (!file.Open(m_soundFile)) {
        RaiseError("Cannot open [%s]", m_soundFile.c_str());
    }
    const unsigned flags = kSound3D | (m_loop ? kSoundLoop : 0u);
    m_sample = m_sound->SampleLoad({file.Data(), file.Size()}, 1, flags);
    if (!m_sample) {
        LogPrintf("Warning : %s could not play [%s]", Describe().c_str(), m_soundFile.c_str());
    }
}

void CStarField::Release() {
    if (m_sound) {
        if (m_channel) {
            m_sound->ChannelStop(m_channel);
        }
        if (m_sample) {
            m_sound->SampleFree(m_sample);
        }
    }
    m_channel = m_sample = 0;
    if (m_textureObject) {
        Context()->ReleaseTexture(m_textureObject);
        m_textureObject = nullptr;
    }
    m_scene.ReleaseResources();
}

// The box, its heading and the camera at this frame of the model.
void CStarField::follow(float frame) {
    const Vector3 source{m_source.x, m_source.y, m_source.z};
    const Vector3 direction{m_direction.x, m_direction.y, m_direction.z};
    m_centre = m_emitter ? add(source, PositionAt(*m_emitter, frame)) : source;
    m_heading = normalised(direction, {0, 0, -1});
    if (m_emitter && m_aim) {
        m_heading =
            normalised(sub(PositionAt(*m_aim, frame), PositionAt(*m_emitter, frame)), m_heading);
    }
    if (m_camera) {
        const CameraPose pose = PoseAt(*m_camera, frame);
        m_eye = pose.position;
        m_lookAt = pose.target;
        m_fov = pose.fov;
        m_roll = pose.roll;
    }
}

void CStarField::placeSound() {
    if (!m_sound || !m_sample) {
        return;
    }
    const SoundVector at{m_centre.x, m_centre.y, m_centre.z};
    if (!m_channel) {
        m_channel = m_sound->SamplePlay3D(m_sample, &at);
    }
    m_sound->ChannelSet3DPosition(m_channel, &at, nullptr, nullptr);
    m_sound->ChannelSetAttributes(m_channel, kFrequencyUnchanged,
                                  static_cast<int>(Intensity() * 100.0f), kPanUnchanged);
    const Vector3 front = normalised(sub(m_lookAt, m_eye), {0, 0, 1});
    const SoundVector listener{m_eye.x, m_eye.y, m_eye.z};
    const SoundVector facing{front.x, front.y, front.z};
    const SoundVector top{0.0f, 1.0f, 0.0f};
    m_sound->Set3DPosition(&listener, nullptr, &facing, &top);
    m_sound->Apply3D();
}

void CStarField::drawFrame() {
    if (m_hasModel) {
        follow(SceneFrameAt(m_scene, Age()));
    }
    placeSound();
    RenderModule& m = *Context();
    m.SetCameraPosition(m_eye);
    m.SetCameraTarget(m_lookAt);
    m.SetFieldOfView(m_fov);
    m.SetRoll(m_roll);
    m.SetNearPlane(0.1f);
    m.SetFarPlane(1000.0f);
    m.ApplyCamera();
    m.SetWorldMatrix(Matrix4::Identity());
    SetModulatingStage(m);
    m.SetFogEnable(false);
    m.SetDepthTest(false);
    m.SetLighting(false);
    m.SetCullMode(CullMode::None);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::One);
    m.SetDestBlend(BlendFactor::One);
    m.SetTexture(0, m_textureObject);
    buildQuads(m_eye);
    if (!m_stars.empty()) {
        m.DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
    }
    m.SetAlphaOp(0, AlphaOp::Disable);
    m.SetAlphaBlend(false);
    m.SetDepthTest(true);
}

void CStarField::buildQuads(const Vector3& eye) {
    const float a = Age();
    const float depth = m_planeScale.z;
    Vector3 right;
    Vector3 up;
    acrossAxis(m_heading, right, up);
    const float turn = m_rotate * a;
    const float c = std::cos(turn);
    const float s = std::sin(turn);
    const Vector3 forward = normalised(sub(m_lookAt, eye), {0, 0, 1});
    Vector3 viewRight;
    Vector3 viewUp;
    acrossAxis(forward, viewRight, viewUp);
    const float half = m_xScale * 0.5f;
    const Vector3 tailOffset = mul(m_heading, -m_length * m_yScale);
    for (std::size_t n = 0; n < m_stars.size(); ++n) {
        const Star& star = m_stars[n];
        float along = star.start.z + star.speed * a;
        bool shown = true;
        if (depth > 0.0f) {
            if (m_loop) {
                along = along + 0.5f * depth;
                along = along - std::floor(along / depth) * depth - 0.5f * depth;
            } else {
                shown = along < 0.5f * depth;
            }
        }
        const float x = c * star.start.x + s * star.start.y;
        const float y = c * star.start.y - s * star.start.x;
        const Vector3 head =
            add(m_centre, add(add(mul(right, x), mul(up, y)), mul(m_heading, along)));
        const float light =
            shown ? Intensity() *
                        (1.0f - randomUnit() * std::clamp(m_scintille, 0.0f, 255.0f) / 255.0f)
                  : 0.0f;
        const auto byte = static_cast<std::uint32_t>(std::clamp(light, 0.0f, 1.0f) * 255.0f);
        const std::uint32_t colour = byte * 0x01010101u;
        RenderVertex* quad = &m_vertices[n * 4];
        if (m_routine == 1) {
            const Vector3 across = mul(viewRight, half);
            const Vector3 over = mul(viewUp, half);
            quad[0] = vertexAt(add(add(head, across), mul(over, -1.0f)), colour, 1, 1);
            quad[1] = vertexAt(add(add(head, across), over), colour, 1, 0);
            quad[2] = vertexAt(sub(sub(head, across), over), colour, 0, 1);
            quad[3] = vertexAt(add(sub(head, across), over), colour, 0, 0);
        } else {
            // Across the streak, facing the eye.
            const Vector3 side = mul(normalised(cross(m_heading, sub(head, eye)), viewRight), half);
            const Vector3 tail = add(head, tailOffset);
            quad[0] = vertexAt(add(head, side), colour, 1, 0);
            quad[1] = vertexAt(sub(head, side), colour, 0, 0);
            quad[2] = vertexAt(add(tail, side), colour, 1, 1);
            quad[3] = vertexAt(sub(tail, side), colour, 0, 1);
        }
    }
}

}  // namespace vesta
