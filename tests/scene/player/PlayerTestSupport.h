#pragma once
// Model players made by name as the timeline makes them, over a model file
// the tests write, drawn into the recording module on a clock that moves in
// hundredths of a second. The "Probe" modifier kind journals what its player
// asks of it and draws one triangle in its render pass, so that the state
// the player leaves for its modifiers can be read from the recording.

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EngineState.h"
#include "SceneFixtures.h"
#include "TestSupport.h"
#include "render/RecordingModule.h"
#include "scene/Mdl4Writer.h"
#include "scene/player/MdlPlayer.h"
#include "timeline/LayerFactory.h"

namespace vesta::test {

using Parameters = std::vector<std::pair<std::string, std::string>>;

// "A render", "B start", ... in the order the calls came.
std::vector<std::string>& ProbeJournal();

inline CLayerOperation CreateModifier(const std::string& kind, const std::string& name,
                                      const Parameters& parameters = {}) {
    CLayerOperation operation;
    operation.kind = OperationKind::Create;
    operation.argument = kind;
    operation.name = name;
    operation.place = "main.txt(7)";
    for (const auto& [key, value] : parameters) {
        operation.parameters.push_back({key, value});
    }
    return operation;
}

inline CLayerOperation TargetModifier(OperationKind kind, const std::string& name) {
    CLayerOperation operation;
    operation.kind = kind;
    operation.argument = name;
    return operation;
}

class PlayerTest : public ::testing::Test {
protected:
    static constexpr const char* kSceneFile = "ship.vestamdl4";

    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 100.0f);
        at(0);
        CScene sample;
        BuildSampleScene(sample);  // last frame 120, one camera "Cam01"
        // The player's tests draw no pictures: the materials keep their colours only.
        for (const auto& material : sample.materials) {
            material->maps.clear();
        }
        WriteFile(m_dir / kSceneFile, mdl4::WriteScene(sample));
        module.Initialize(nullptr, false, 640, 480, 32);
        ProbeJournal().clear();
    }
    void TearDown() override {
        for (auto& layer : m_layers) {
            layer->Release();
        }
        m_layers.clear();
        ResetEngineState();
    }

    static void at(float seconds) {
        SetFrameIndex(static_cast<std::uint32_t>(std::lround(seconds * 100.0f)));
    }

    // Parameters, Start, the block's modifier operations, born at 0: the
    // timeline's order.
    template <class Layer = CMDLPlayer>
    Layer& make(const char* kind, Parameters parameters,
                std::vector<CLayerOperation> children = {}) {
        at(0);
        m_children.push_back(std::make_unique<std::vector<CLayerOperation>>(std::move(children)));
        auto layer = CLayerFactory::Instance().CreateLayer(&module, m_children.back().get(), kind);
        parameters.insert(parameters.begin(), {"MDLFile", kSceneFile});
        for (const auto& [name, value] : parameters) {
            layer->Set(name, value);
        }
        layer->Start();
        layer->CreateChildren(*m_children.back());
        layer->SetBirthTime(0);
        auto* typed = dynamic_cast<Layer*>(layer.get());
        EXPECT_NE(typed, nullptr);
        m_layers.push_back(std::move(layer));
        return *typed;
    }

    CMDLPlayer& player(Parameters parameters = {}, std::vector<CLayerOperation> children = {}) {
        return make<CMDLPlayer>("MDLPlayer", std::move(parameters), std::move(children));
    }

    // One Update at `seconds`, with the journal and the recording emptied first.
    void frame(CLayer& layer, float seconds) {
        at(seconds);
        module.ClearCalls();
        ProbeJournal().clear();
        layer.Update();
    }

    static std::vector<std::string> namesOf(const CMDLPlayer& player) {
        std::vector<std::string> names;
        for (const CModifier* modifier : player.Modifiers().InOrder()) {
            names.push_back(modifier->GetName());
        }
        return names;
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    RecordingModule module;
    std::vector<std::unique_ptr<std::vector<CLayerOperation>>> m_children;
    std::vector<std::unique_ptr<CLayer>> m_layers;
};

}  // namespace vesta::test
