#pragma once
// What one model file becomes in memory. The scene owns every object; the
// lists below point into that store and keep the file's order.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/ObjectAnim.h"
#include "scene/ParticleSource.h"

namespace vesta {

class RenderModule;

class CScene {
public:
    // Renders again at the current frame without advancing it.
    static constexpr float kRenderAgain = -2.0f;

    // Without a render module a scene loads and evaluates but draws nothing.
    explicit CScene(RenderModule* renderer = nullptr);
    ~CScene();
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    // Reads the model file and runs the steps that follow a load; raises the
    // reader's and the steps' messages.
    void Load(std::string_view path);
    // The material maps and the halo textures, through the render module.
    void LoadTextures();
    // Evaluates and draws the scene at `frame`, wrapped into its range;
    // kRenderAgain draws the current frame once more.
    void Render(float frame);
    // Textures, mesh buffers and state blocks go back to the render module.
    void ReleaseResources();

    void SetDrawMode(bool motionBlur, float blurTimeDecal, int blurImageCount);
    // Raises "Could not find any camera named [%s]" for a name it lacks.
    CCamera* FindCamera(std::string_view cameraName) const;
    void SetCurrentCamera(CCamera* camera) { m_currentCamera = camera; }
    CCamera* CurrentCamera() const { return m_currentCamera; }
    float CurrentFrame() const { return m_currentFrame; }
    RenderModule* Renderer() const { return m_renderer; }

    // Creates an object that the scene owns; it is in none of the lists yet.
    template <class Object>
    Object* Create() {
        auto object = std::make_unique<Object>();
        Object* raw = object.get();
        m_store.push_back(std::move(object));
        return raw;
    }

    // The first object of the list of all objects with exactly this name.
    C3DObject* FindObject(std::string_view objectName) const;

    std::string name;  // the file name without its folder
    std::uint32_t lastFrame = 0;
    std::int64_t totalFaces = 0;
    std::int64_t totalVertices = 0;

    std::vector<CMeshe*> meshes;
    std::vector<C3DObject*> objects;  // meshes, cameras, camera targets, points
    std::vector<CCamera*> cameras;
    std::vector<CCameraTarget*> cameraTargets;
    std::vector<CLight*> lights;
    std::vector<std::unique_ptr<C3DObjectAnim>> animations;
    std::vector<std::unique_ptr<CMaterial>> materials;

    // Filled by the steps after the load.
    std::vector<CLight*> dynamicLights;
    std::vector<CMeshe*> mirrors;
    std::vector<CMeshe*> lodRoots;
    std::vector<C3DObject*> movingObjects;
    std::vector<CMeshe*> opaqueMeshes;
    std::vector<CMeshe*> blendedMeshes;  // farthest first once sorted
    std::vector<std::unique_ptr<ParticleSource>> particleSources;
    std::uint32_t defaultStateBlock = 0;

    // Added to the camera's animated values; modifiers move the view with them.
    Vector3 cameraOffset;
    Vector3 targetOffset;
    float fovOffset = 0.0f;
    float rollOffset = 0.0f;

    // Whether meshes wholly before the near plane, or wholly beyond the far
    // plane, are left out of the frame; modifiers that split the view in
    // depth switch them off.
    bool cullNearPlane = true;
    bool cullFarPlane = true;

    bool showBoundingBoxes = false;
    bool showMeshCount = false;

    // This frame's counts.
    int meshesDrawn = 0;
    int facesDrawn = 0;

private:
    // Per-frame steps (SceneEvaluate.cpp, SceneRender.cpp).
    void placeCamera(float frame);
    void evaluateObjects();
    void cullMeshes();
    void updateGeometry();
    void setLights();
    void sortBlended();
    void chooseLods();
    void renderMirrors();
    void drawLists(int blurAlpha);
    void drawMesh(CMeshe& mesh, int blurAlpha);
    void drawBox(const CMeshe& mesh, std::uint32_t colour);
    void drawDepthOnly();
    void drawHalos();
    void drawParticles();
    void drawMeshCount();
    void resetAfterFrame();

    RenderModule* m_renderer;
    std::vector<std::unique_ptr<C3DObject>> m_store;
    CCamera* m_currentCamera = nullptr;
    float m_currentFrame = 0.0f;
    bool m_motionBlur = false;
    float m_blurTimeDecal = 1.0f;
    int m_blurImageCount = 3;
    // What this frame's drawing needs from the camera.
    Matrix4 m_viewProjection;
    Vector3 m_cameraPosition;
    Vector3 m_lastCameraPosition;
    int m_lightsSet = 0;
};

}  // namespace vesta
