#include "modifiers/Sound3D.h"

#include <cmath>
#include <span>

#include "fs/DataFile.h"
#include "log/Log.h"
#include "modifiers/ObjectPosition.h"
#include "modifiers/SceneLookup.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(7, "3DSound", C3DSound);

namespace {

constexpr float kFramesPerSecond = 30.0f;

SoundVector soundVector(const Vector3& v) {
    return {v.x, v.y, v.z};
}

}  // namespace

C3DSound::C3DSound(CScene* scene, RenderModule* renderModule, void*)
    : CModifier(scene, renderModule) {
    AddIntParameter("Loop", &m_loop);
    AddTextParameter("File", &m_file);
    AddTextParameter("Object", &m_objectName);
}

void C3DSound::Start() {
    TakeKindNameWhenUnnamed();
    m_sound = Renderer()->GetSoundSystem();
    DataFile file;
    if (!file.Open(m_file)) {
        RaiseError("Cannot open file [%s]", m_file.c_str());
    }
    if (m_sound) {
        const std::span<const std::uint8_t> bytes(file.Data(), file.Size());
        const unsigned flags = kSound3D | (m_loop != 0 ? kSoundLoop : 0u);
        std::string whyNot;
        m_module = m_sound->MusicLoad(bytes, flags);
        if (!m_module) {
            m_sample = m_sound->SampleLoad(bytes, 1, flags, &whyNot);
        }
        if (!m_module && !m_sample) {
            RaiseError("Unknown SoundSystem error. [%s]: %s", m_file.c_str(), whyNot.c_str());
        }
        load(*m_sound);
    }
    m_mesh = FindMesh(*Scene(), m_objectName);
    if (!m_mesh) {
        RaiseError("Cannot find meshe [%s]", m_objectName.c_str());
    }
}

void C3DSound::load(SoundSystem& sound) {
    if (m_module) {
        sound.ChannelSet3DAttributes(m_module, Sound3DMode::Unchanged, kMinDistance, kMaxDistance);
        return;
    }
    SampleInfo info;
    if (sound.SampleGetInfo(m_sample, info)) {
        info.minDistance = kMinDistance;
        info.maxDistance = kMaxDistance;
        sound.SampleSetInfo(m_sample, info);
    }
}

void C3DSound::Release() {
    if (!m_sound) {
        return;
    }
    if (m_channel) {
        m_sound->ChannelStop(m_channel);
    }
    if (m_sample) {
        m_sound->SampleFree(m_sample);
    }
    if (m_module) {
        m_sound->MusicFree(m_module);
    }
    m_channel = m_sample = m_module = 0;
}

void C3DSound::Render() {
    if (!m_sound || !m_mesh || (!m_module && !m_sample)) {
        return;
    }
    if (!m_channel) {
        if (m_module) {
            m_sound->MusicPlay(m_module, true);
            m_channel = m_module;
        } else {
            m_channel = m_sound->SamplePlay3D(m_sample);
        }
    }
    placeListener(*m_sound);
    const SoundVector at =
        soundVector(ObjectPositionAt(*Scene(), *m_mesh, Age() * kFramesPerSecond));
    const SoundVector still{};
    m_sound->ChannelSet3DPosition(m_channel, &at, &still, &still);
    m_sound->Apply3D();
}

// The listener stands at the current camera and faces its target.
void C3DSound::placeListener(SoundSystem& sound) {
    const CCamera* camera = Scene()->CurrentCamera();
    if (!camera) {
        return;
    }
    const Vector3 eye = camera->WorldPosition();
    const Vector3 target =
        camera->target ? camera->target->WorldPosition() : eye + Vector3{0, 0, 1};
    const SoundVector position = soundVector(eye);
    const SoundVector front = soundVector(Unit(target - eye));
    const float roll = camera->roll;
    const SoundVector top{std::sin(roll), std::cos(roll), std::sin(roll) * std::cos(roll)};
    const SoundVector still{};
    sound.Set3DPosition(&position, &still, &front, &top);
}

}  // namespace vesta
