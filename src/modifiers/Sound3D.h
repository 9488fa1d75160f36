#pragma once
// A sound that comes from a mesh of the scene: a tracker module or, failing
// that, a sample, played positioned in 3D at the mesh's animated place, heard
// from the scene's current camera.

#include <string>

#include "sound/SoundSystem.h"
#include "timeline/Modifier.h"

namespace vesta {

class CMeshe;

class C3DSound : public CModifier {
public:
    // Full volume up to here, no further fading beyond.
    static constexpr float kMinDistance = 35.0f;
    static constexpr float kMaxDistance = 1000.0f;

    C3DSound(CScene* scene, RenderModule* renderModule, void* extra);

    // Raises "Cannot open file [%s]", "Unknown SoundSystem error." and
    // "Cannot find meshe [%s]". Without a sound system nothing is loaded.
    void Start() override;
    // Stops the channel and frees the sound.
    void Release() override;
    const char* GetKindName() const override { return "3DSound"; }
    const char* GetClassName() const override { return "C3DSound"; }
    void Render() override;

    SoundHandle Channel() const { return m_channel; }

private:
    void load(SoundSystem& sound);
    void placeListener(SoundSystem& sound);

    int m_loop = 0;
    std::string m_file;
    std::string m_objectName;

    SoundSystem* m_sound = nullptr;
    CMeshe* m_mesh = nullptr;
    SoundHandle m_module = 0;
    SoundHandle m_sample = 0;
    SoundHandle m_channel = 0;
};

}  // namespace vesta
