#pragma once
// "FocalMDL": a model file drawn twice, once into a small render target that
// then tints a full-screen chrome picture laid over the frame, faded by the
// layer's envelope.

#include <memory>
#include <string>
#include <vector>

#include "timeline/EnvelopeLayer.h"

namespace vesta {

class CScene;
class Texture;

class CFocalMDL : public CEnvelopeLayer {
public:
    static constexpr int kTargetSize = 64;
    static constexpr const char* kChromePicture = "chromic.jpg";

    CFocalMDL(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CFocalMDL() override;

    // Loads the scene, its textures and the chrome picture with "AlphaMap".
    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CFocalMDL"; }
    void OnRising() override { draw(); }
    void OnStable() override { draw(); }
    void OnFalling() override { draw(); }

    CScene* Scene() const { return m_scene.get(); }
    Texture* Target() const { return m_target; }
    Texture* Chrome() const { return m_chrome; }

private:
    void draw();
    void drawOverlay();

    std::string m_file;
    std::string m_alphaMap;
    std::unique_ptr<CScene> m_scene;
    Texture* m_target = nullptr;
    Texture* m_chrome = nullptr;
};

}  // namespace vesta
