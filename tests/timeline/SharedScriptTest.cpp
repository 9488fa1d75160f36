// A parsed script is data the timeline only reads: the marks of fired blocks
// belong to the part being played, so one script plays again from its start
// and several timelines play it side by side.

#include <gtest/gtest.h>
#include <memory>

#include "ScriptTestSupport.h"
#include "platform/Clock.h"
#include "render/RecordingModule.h"
#include "script/ScriptParser.h"
#include "timeline/LayerFactory.h"
#include "timeline/Timeline.h"

namespace vesta::test {
namespace {

class QuietLayer : public CLayer {
public:
    using CLayer::CLayer;
    void Start() override {}
    void Release() override {}
    const char* GetClassName() const override { return "CQuietLayer"; }
    void Render() override {}
};

std::unique_ptr<CLayer> makeQuiet(RenderModule* renderModule,
                                  const std::vector<CLayerOperation>* children) {
    return std::make_unique<QuietLayer>(renderModule, children);
}

// A load-time layer, one layer at 1 s and one at 2 s, the end at 3 s.
constexpr const char* kScript = "PART {\r\n"
                                "TIME -1 {\r\nCREATE \"Quiet\" {\r\nNAME \"Early\";\r\n}\r\n}\r\n"
                                "TIME 1 {\r\nCREATE \"Quiet\" {\r\nNAME \"One\";\r\n}\r\n}\r\n"
                                "TIME 2 {\r\nCREATE \"Quiet\" {\r\nNAME \"Two\";\r\n}\r\n}\r\n"
                                "TIME 3 {\r\nEND;\r\n}\r\n"
                                "}\r\n";

class SharedScriptTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        SetFixedStep(true, 4.0f);  // quarter seconds, exactly
        at(0);
        m_factory.Register(1, "Quiet", &makeQuiet);
        write("main.txt", kScript);
        auto script = std::make_shared<ParsedScript>();
        CScriptParser parser(*script);
        parser.Load("main.txt");
        m_script = std::move(script);
    }

    static void at(float seconds) { SetFrameIndex(static_cast<std::uint32_t>(seconds * 4)); }

    std::unique_ptr<CTimeline> startTimeline() {
        auto timeline = std::make_unique<CTimeline>(m_module, m_factory);
        timeline->UseScript(m_script);
        timeline->StartPlayback();
        return timeline;
    }

    static std::vector<std::string> names(const CTimeline& timeline) {
        std::vector<std::string> result;
        for (const auto& layer : timeline.CurrentPart()->Layers()) {
            result.push_back(layer->GetName());
        }
        return result;
    }

    static std::vector<bool> fired(const CTimeline& timeline) {
        std::vector<bool> result;
        for (std::size_t block = 0; block < timeline.Parts().front().timeBlocks.size(); ++block) {
            result.push_back(timeline.CurrentPart()->HasFired(block));
        }
        return result;
    }

    RecordingModule m_module;
    CLayerFactory m_factory;
    std::shared_ptr<const ParsedScript> m_script;
};

TEST_F(SharedScriptTest, TheLoadTimeBlockIsMarkedFiredOnceThePartIsLoaded) {
    const auto timeline = startTimeline();
    EXPECT_EQ(fired(*timeline), (std::vector<bool>{true, false, false, false}));
    ASSERT_TRUE(timeline->RunFrame());
    EXPECT_EQ(names(*timeline), (std::vector<std::string>{"Early"}));
}

TEST_F(SharedScriptTest, TwoTimelinesOverOneScriptEachFireEveryBlock) {
    const auto first = startTimeline();
    const auto second = startTimeline();
    at(1);
    ASSERT_TRUE(first->RunFrame());
    ASSERT_TRUE(second->RunFrame());
    at(2);
    ASSERT_TRUE(first->RunFrame());
    EXPECT_EQ(fired(*first), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(fired(*second), (std::vector<bool>{true, true, false, false}));
    ASSERT_TRUE(second->RunFrame());
    const std::vector<std::string> all = {"Early", "One", "Two"};
    EXPECT_EQ(names(*first), all);
    EXPECT_EQ(names(*second), all);
}

TEST_F(SharedScriptTest, AScriptPlayedToItsEndPlaysAgainFromItsStart) {
    {
        const auto timeline = startTimeline();
        at(3);
        EXPECT_FALSE(timeline->RunFrame());
    }
    // The clock stays at 3 s: the new part's times count from its own start.
    const auto again = startTimeline();
    EXPECT_EQ(fired(*again), (std::vector<bool>{true, false, false, false}));
    at(4);
    ASSERT_TRUE(again->RunFrame());
    EXPECT_EQ(names(*again), (std::vector<std::string>{"Early", "One"}));
}

}  // namespace
}  // namespace vesta::test
