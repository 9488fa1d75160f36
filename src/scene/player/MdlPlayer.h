#pragma once
// "MDLPlayer": a layer that plays one model file at a frame taken from its
// own clock, viewed through a chosen camera, with the modifiers its script
// block attaches.
//
// The scene is loaded by Start; the modifiers come from the child operations
// of the creating block and of every UPDATE of the layer.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/Scene.h"
#include "scene/player/ModifierList.h"
#include "timeline/Layer.h"

namespace vesta {

class CMDLPlayer : public CLayer {
public:
    static constexpr float kFramesPerSecond = 30.0f;

    CMDLPlayer(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CMDLPlayer() override;

    // Loads the scene and its textures, starts the modifiers made so far and
    // selects "CurrentCamera"; raises the loader's and the camera's messages.
    void Start() override;
    void Release() override;
    void CreateChildren(const std::vector<CLayerOperation>& children) override;
    // The modifiers' clocks follow the player's.
    void SetBirthTime(float time) override;
    const char* GetClassName() const override { return "CMDLPlayer"; }
    void Render() override;

    CScene& Scene() { return m_scene; }
    const CModifierList& Modifiers() const { return m_modifiers; }
    CCamera* SelectedCamera() const { return m_camera; }
    // The frame the scene is drawn at, at layer time `seconds`.
    float FrameAt(float seconds) const;

private:
    void selectCamera();
    void passDrawMode();
    void drawScene();

    CScene m_scene;
    CModifierList m_modifiers;
    CCamera* m_camera = nullptr;
    bool m_loaded = false;

    std::string m_file;
    std::string m_cameraName;
    float m_nearPlane = 1.0f;
    float m_farPlane = 1000.0f;
    bool m_showBoxes = false;
    bool m_showMeshCount = false;
    std::int32_t m_forceFrame = -1;
    float m_cameraStartTime = 0.0f;
    bool m_motionBlur = false;
    float m_blurTimeDecal = 1.0f;
    std::int32_t m_blurImageCount = 3;
    ParameterVector m_viewportCorner;  // percent of the back buffer
    ParameterVector m_viewportSize;    // width 0: the whole back buffer
};

}  // namespace vesta
