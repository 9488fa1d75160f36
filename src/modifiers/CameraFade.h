#pragma once
// A cross-fade over the modifier's lifetime from the view of a target
// camera to the view of the scene's current camera: the current view is
// darkened and the target's view, drawn into a texture, laid over it, both
// by the share of the lifetime still to run.

#include <string>

#include "timeline/Modifier.h"

namespace vesta {

class CCamera;
class Texture;

class CCameraFade : public CModifier {
public:
    CCameraFade(CScene* scene, RenderModule* renderModule, void* extra);

    // Raises when LifeTime or TargetCamera is missing, and the scene's
    // message for a camera it lacks.
    void Start() override;
    void Release() override;
    const char* GetKindName() const override { return "CameraFade"; }
    const char* GetClassName() const override { return "CCameraFade"; }
    void PreRender() override { SetSkip(false); }
    void Render() override;

private:
    // 1 at the start of the lifetime, 0 at its end.
    float shareLeft() const;

    std::string m_targetCameraName;
    CCamera* m_targetCamera = nullptr;
    Texture* m_view = nullptr;
    Texture* m_black = nullptr;
};

}  // namespace vesta
