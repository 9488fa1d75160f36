#pragma once
// A scene made in code, written as a model file and loaded as a player loads
// it, with modifiers carried by a real modifier list. A frame runs as the
// model player runs one: planes, culling and depth, the selected camera made
// current, pre-render, the scene, render with the after pass. The clock
// moves in hundredths of a second.

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EngineState.h"
#include "TestSupport.h"
#include "render/RenderModule.h"
#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"
#include "scene/SceneBuild.h"
#include "scene/player/ModifierList.h"

namespace vesta::test {

using Parameters = std::vector<std::pair<std::string, std::string>>;

class ModifierStage {
public:
    explicit ModifierStage(RenderModule& module) : m_module(module) {}
    ~ModifierStage() {
        m_list.ReleaseAll();
        if (m_scene) {
            m_scene->ReleaseResources();
        }
    }

    static void At(float seconds) {
        SetFrameIndex(static_cast<std::uint32_t>(std::lround(seconds * 100.0f)));
    }

    CScene& Load(const CScene& built) {
        WriteFile("stage.vestamdl4", mdl4::WriteScene(built));
        m_scene = std::make_unique<CScene>(&m_module);
        m_scene->Load("stage.vestamdl4");
        m_scene->LoadTextures();
        return *m_scene;
    }

    // Created, set and started now, as a CREATE inside a running player.
    CModifier& Add(const std::string& kind, const Parameters& parameters,
                   const std::string& name = "") {
        CLayerOperation operation;
        operation.kind = OperationKind::Create;
        operation.argument = kind;
        operation.name = name;
        operation.place = "main.txt(3)";
        for (const auto& [key, value] : parameters) {
            operation.parameters.push_back({key, value});
        }
        m_list.Apply({operation}, {m_scene.get(), &m_module, nullptr}, true);
        return *m_list.InOrder().back();
    }

    // The player's camera, made current at every frame; none leaves the scene's own.
    void SelectCamera(const std::string& name) { m_camera = m_scene->FindCamera(name); }

    // One frame at `seconds`, the scene at seconds x 30.
    void Frame(float seconds, std::uint32_t clearArgb = 0xFF000040u) {
        At(seconds);
        RenderModule& m = m_module;
        m.SetClearColor(((clearArgb >> 16) & 0xFF) / 255.0f, ((clearArgb >> 8) & 0xFF) / 255.0f,
                        (clearArgb & 0xFF) / 255.0f, 0.0f);
        m.BeginFrame();
        m.Clear(0);
        m.SetNearPlane(1.0f);
        m.SetFarPlane(4000.0f);
        m.SetCullMode(CullMode::CounterClockwise);
        m.ApplyCamera();
        m.SetDepthTest(true);
        m.SetDepthWrite(true);
        if (m_camera) {
            m_scene->SetCurrentCamera(m_camera);
        }
        m_list.PreFrame();
        m_scene->Render(seconds * 30.0f);
        m_list.PerFrame();
        m_list.RemoveOneFinished();
        m.EndFrame();
    }

    CScene& Scene() { return *m_scene; }
    CModifierList& List() { return m_list; }

private:
    RenderModule& m_module;
    std::unique_ptr<CScene> m_scene;
    CModifierList m_list;
    CCamera* m_camera = nullptr;
};

// The test's folder and the engine's state, fresh for every test.
class StageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 100.0f);
        SetFrameIndex(0);
    }
    void TearDown() override { ResetEngineState(); }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
};

}  // namespace vesta::test
