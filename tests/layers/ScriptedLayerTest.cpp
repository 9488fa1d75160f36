// Image layers as a script makes them: CREATE by kind name, parameters from
// text, UPDATE switching the routine at once, and the error of a misspelt name.

#include "LayerTestSupport.h"
#include "layers/GfxLayer.h"
#include "timeline/Timeline.h"

namespace vesta::test {
namespace {

class ScriptedLayerTest : public LayerTest {
protected:
    void TearDown() override {
        m_timeline.reset();
        LayerTest::TearDown();
    }

    CTimeline& play(const std::string& script) {
        WriteFile(m_dir / "main.txt", script);
        m_timeline = std::make_unique<CTimeline>(module);
        m_timeline->LoadScript("main.txt");
        m_timeline->StartPlayback();
        return *m_timeline;
    }

    std::unique_ptr<CTimeline> m_timeline;
};

TEST_F(ScriptedLayerTest, ScriptCreatesAndUpdatesAnImageLayerByName) {
    CTimeline& timeline = play(
        "PART {\r\nTIME 0 {\r\nCREATE \"GFXLayer\" {\r\nNAME \"Back\";\r\nTexture \"a.png\";\r\n"
        "RisingTime 1;\r\nStableTime 5;\r\nXScale 0.5;\r\nBilinear No;\r\n}\r\n"
        "CREATE \"AnimGFXLayer\" {\r\nTexture \"a.png,b.png\";\r\nStableTime 5;\r\n}\r\n}\r\n"
        "TIME 2 {\r\nUPDATE \"Back\" {\r\nEffect 8;\r\n}\r\n}\r\n}\r\n");
    at(1.5f);
    module.ClearCalls();
    ASSERT_TRUE(timeline.RunFrame());
    ASSERT_EQ(timeline.CurrentPart()->Layers().size(), 2u);
    auto found = draws();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EXTENT(*found[0], -0.125f, 0.125f, -0.5f, 0.5f);
    EXPECT_EQ(found[0]->state.stages[0].filter, TextureFilter::Point);
    at(2.5f);
    module.ClearCalls();
    timeline.RunFrame();
    const auto& back = dynamic_cast<const CGfxLayer&>(*timeline.CurrentPart()->Layers().at(0));
    EXPECT_EQ(back.Routine(), 8);
    EXPECT_EQ(draws().size(), 7u);  // six copies, and the flip-book
}

TEST_F(ScriptedLayerTest, AMisspeltParameterListsWhatTheLayerAccepts) {
    const std::string error = EngineErrorOf([&] {
        play("PART {\r\nTIME -1 {\r\nCREATE \"GFXLayer\" {\r\nNAME \"Back\";\r\n"
             "Txture \"a.png\";\r\n}\r\n}\r\n}\r\n");
    });
    EXPECT_EQ(error.rfind("Layer [Near main.txt(3) - CGfxLayer - Back]\r\nCould not find "
                          "Parameter [Txture]\r\n Available are : \r\n",
                          0),
              0u)
        << error;
    for (const char* name : {"Effect", "AlphaType", "QuadCoefRise", "QuadCoefFall", "Vibration",
                             "YScaleEnd", "StartTime", "StableTime"}) {
        EXPECT_NE(error.find(std::string(" - ") + name + "\r\n"), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace vesta::test
