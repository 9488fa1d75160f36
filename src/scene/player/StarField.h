#pragma once
// "StarField": Count stars streaming through a box around Source, along
// Direction, each at Speed give or take half of SpeedDelta (units per
// second), drawn as camera-facing streaks of Length × YScale and width
// XScale (Effect 0) or as square dots of XScale (Effect 1), adding their
// light to what lies below. Rotate turns the field about its direction,
// Scintille makes each star flicker (0 to 255), Loop brings a star that left
// the box back in at its far end (otherwise each flies through once).
//
// Without a model the field is seen from (0, 0, -20) towards the origin.
// With MDLFile it follows the model's animation at the model player's frame
// rate, so that it can be laid over a model player of the same file: it is
// seen through the camera named Object3 (or the model's first camera), its
// box is centred on Source plus the position of Object, and when Object2 is
// given the stars fly from Object towards Object2. "File" is a sound sample
// played in 3D at the box's centre while the layer is shown, heard from the
// camera, looping with Loop, its volume following the envelope.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/RenderTypes.h"
#include "scene/Scene.h"
#include "sound/SoundSystem.h"
#include "timeline/EnvelopeLayer.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class Texture;

class CStarField : public CEnvelopeLayer {
public:
    static constexpr int kEffectIdentifier = 11500;
    static constexpr int kStateBlockId = 0x53544152;

    struct Star {
        Vector3 start;  // in the box, relative to its centre, before the flight
        float speed = 0.0f;
        float flicker = 0.0f;
    };

    CStarField(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CStarField() override;

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CStarField"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

    int Routine() const { return m_routine; }
    const std::vector<Star>& Stars() const { return m_stars; }
    SoundHandle Channel() const { return m_channel; }
    // Where the box's centre and its flight direction are this frame.
    Vector3 Centre() const { return m_centre; }
    Vector3 Heading() const { return m_heading; }

private:
    void loadSound();
    void follow(float frame);
    void placeSound();
    void drawFrame();
    void buildQuads(const Vector3& eye);

    int m_routine = 0;
    std::int32_t m_count = 200;
    float m_speed = 10.0f;
    float m_speedDelta = 0.0f;
    float m_length = 1.0f;
    ParameterVector m_direction{0.0f, 0.0f, -1.0f, 0.0f};
    ParameterVector m_source;
    ParameterVector m_planeScale{20.0f, 15.0f, 40.0f, 0.0f};
    float m_rotate = 0.0f;
    float m_scintille = 0.0f;
    std::string m_alphaTexture;
    std::string m_texture;
    float m_xScale = 0.05f;
    float m_yScale = 1.0f;
    bool m_loop = true;
    std::string m_soundFile;
    std::string m_object;
    std::string m_object2;
    std::string m_object3;
    std::string m_modelFile;

    CScene m_scene;
    bool m_hasModel = false;
    const C3DObject* m_emitter = nullptr;
    const C3DObject* m_aim = nullptr;
    const CCamera* m_camera = nullptr;
    Vector3 m_centre;
    Vector3 m_heading{0.0f, 0.0f, -1.0f};
    Vector3 m_eye{0.0f, 0.0f, -20.0f};
    Vector3 m_lookAt;
    float m_fov = 0.7853982f;
    float m_roll = 0.0f;

    Texture* m_textureObject = nullptr;
    SoundSystem* m_sound = nullptr;
    SoundHandle m_sample = 0;
    SoundHandle m_channel = 0;
    std::vector<Star> m_stars;
    std::vector<RenderVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
