// Playing a parsed script: the load-time block, firing blocks at their
// times, the stack operations, expiry, descriptions and the change of parts,
// with the recording render module and no sound.

#include "timeline/Timeline.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "ScriptTestSupport.h"
#include "platform/Clock.h"
#include "render/RecordingModule.h"
#include "sound/SoundSystem.h"
#include "timeline/LayerFactory.h"

namespace vesta::test {
namespace {

std::vector<std::string>* g_events = nullptr;

void appendChunk(std::vector<std::uint8_t>& png, const char* type,
                 const std::vector<std::uint8_t>& data) {
    const auto size = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    const auto crc =
        static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    png.insert(png.end(), body.begin(), body.end());
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(crc >> shift));
    }
}

// A white 1 x 1 RGB picture.
std::vector<std::uint8_t> onePixelPng() {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendChunk(png, "IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0});
    const std::uint8_t row[] = {0, 255, 255, 255};
    std::vector<std::uint8_t> packed(64);
    uLongf packedSize = static_cast<uLongf>(packed.size());
    compress(packed.data(), &packedSize, row, sizeof row);
    packed.resize(packedSize);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

class ProbeLayer : public CLayer {
public:
    ProbeLayer(RenderModule* renderModule, const std::vector<CLayerOperation>* children)
        : CLayer(renderModule, children) {
        AddTextParameter("Tag", &tag);
    }
    void Start() override { note("start"); }
    void Release() override { note("release"); }
    void CreateChildren(const std::vector<CLayerOperation>& children) override {
        if (!children.empty()) {
            note("children " + std::to_string(children.size()));
        }
    }
    const char* GetClassName() const override { return "CProbeLayer"; }
    void Render() override { ++renders; }

    void note(const std::string& what) {
        if (g_events) {
            g_events->push_back(GetName() + tag + " " + what);
        }
    }

    std::string tag;
    int renders = 0;
};

std::unique_ptr<CLayer> makeProbe(RenderModule* renderModule,
                                  const std::vector<CLayerOperation>* children) {
    return std::make_unique<ProbeLayer>(renderModule, children);
}

class TimelineTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        SetFixedStep(true, 4.0f);  // quarter seconds, exactly
        at(0);
        m_factory.Register(1, "Probe", &makeProbe);
        g_events = &m_events;
    }
    void TearDown() override {
        m_timeline.reset();
        g_events = nullptr;
        ScriptTest::TearDown();
    }

    static void at(float seconds) { SetFrameIndex(static_cast<std::uint32_t>(seconds * 4)); }

    CTimeline& start(const std::string& script) {
        write("main.txt", script);
        m_timeline = std::make_unique<CTimeline>(m_module, m_factory);
        m_timeline->LoadScript("main.txt");
        m_timeline->StartPlayback();
        return *m_timeline;
    }

    // The stack bottom first, by name and tag.
    std::vector<std::string> stack() const {
        std::vector<std::string> names;
        for (const auto& layer : m_timeline->CurrentPart()->Layers()) {
            names.push_back(layer->GetName() + static_cast<const ProbeLayer&>(*layer).tag);
        }
        return names;
    }

    const ProbeLayer& layer(std::size_t index) const {
        return static_cast<const ProbeLayer&>(*m_timeline->CurrentPart()->Layers().at(index));
    }

    static std::string create(const std::string& name, const std::string& extra = "") {
        return "CREATE \"Probe\" {\r\nNAME \"" + name + "\";\r\n" + extra + "}\r\n";
    }

    RecordingModule m_module;
    CLayerFactory m_factory;
    std::vector<std::string> m_events;
    std::unique_ptr<CTimeline> m_timeline;
};

TEST_F(TimelineTest, ScriptWithoutPartsStops) {
    write("main.txt", "SHOWFPS Yes;\r\n");
    CTimeline timeline(m_module, m_factory);
    timeline.LoadScript("main.txt");
    EXPECT_EQ(EngineErrorOf([&] { timeline.StartPlayback(); }),
              "Nothing to be done... check for some missing PART block.");
}

TEST_F(TimelineTest, LoadTimeBlockKeepsScriptOrderAndPutsInsertBottomOnTop) {
    at(3);
    CTimeline& timeline =
        start("PART {\r\nTIME -1 {\r\n" + create("A", "_Deferred 7;\r\n") +
              create("B", "INSERT Bottom;\r\n") + create("C") + "}\r\nTIME -0.5 {\r\n" +
              create("L") + "}\r\nTIME 5 {\r\n" + create("D") + create("E", "INSERT Bottom;\r\n") +
              create("F") + "}\r\n}\r\n");
    EXPECT_EQ(stack(), (std::vector<std::string>{"A", "C", "B"}));
    EXPECT_EQ(layer(0).DeferredParameters(), (std::vector<ScriptParameter>{{"Deferred", "7"}}));
    EXPECT_EQ(layer(0).BirthTime(), 3.0f);  // the end of loading
    EXPECT_EQ(timeline.PartCounter(), 1);
    // Only the earliest negative block runs at load; the next waits for the first frame.
    ASSERT_TRUE(timeline.RunFrame());
    EXPECT_EQ(stack(), (std::vector<std::string>{"A", "C", "B", "L"}));
    at(8);
    ASSERT_TRUE(timeline.RunFrame());
    EXPECT_EQ(stack(), (std::vector<std::string>{"E", "A", "C", "B", "L", "D", "F"}));
    EXPECT_EQ(layer(5).BirthTime(), 8.0f);
    EXPECT_EQ(timeline.PartTime(), 5.0f);
}

TEST_F(TimelineTest, UpdateRestartMoveAndDelete) {
    CTimeline& timeline = start(
        "PART {\r\nTIME -1 {\r\n" + create("A", "LifeTime 1;\r\n") + create("B") + create("C") +
        "}\r\nTIME 2 {\r\nUPDATE \"A\" {\r\nTag x;\r\nRESTART Yes;\r\nMOVE Top;\r\n"
        "CREATE \"Fog\" {\r\n}\r\n}\r\n"
        "UPDATE \"C\" {\r\nMOVE Bottom;\r\n}\r\nDELETE \"B\" {\r\n}\r\n"
        "DELETE \"nobody\" {\r\n}\r\n}\r\n"
        "TIME 3 {\r\nUPDATE \"X\" {\r\n}\r\n}\r\n}\r\n");
    at(1.5f);
    timeline.RunFrame();
    EXPECT_EQ(layer(0).renders, 0);  // A's lifetime is over; named, it stays
    EXPECT_EQ(stack().size(), 3u);
    at(2);
    m_events.clear();
    timeline.RunFrame();
    EXPECT_EQ(stack(), (std::vector<std::string>{"C", "Ax"}));
    EXPECT_EQ(m_events, (std::vector<std::string>{"Ax children 1", "B release"}));
    EXPECT_EQ(layer(1).BirthTime(), 2.0f);
    EXPECT_EQ(layer(1).renders, 1);  // restarted: drawn again
    at(3);
    EXPECT_EQ(EngineErrorOf([&] { timeline.RunFrame(); }), "Could not find any layer named [X].");
}

TEST_F(TimelineTest, OneExpiredUnnamedLayerGoesPerFrame) {
    CTimeline& timeline = start("PART {\r\nTIME 0 {\r\n"
                                "CREATE \"Probe\" {\r\nLifeTime 1;\r\nTag a;\r\n}\r\n"
                                "CREATE \"Probe\" {\r\nLifeTime 1;\r\nTag b;\r\n}\r\n" +
                                create("N", "LifeTime 1;\r\n") + "}\r\n}\r\n");
    timeline.RunFrame();
    EXPECT_EQ(stack().size(), 3u);
    at(1);
    timeline.RunFrame();
    EXPECT_EQ(stack().size(), 3u);  // still inside: the end is included
    at(1.25f);
    timeline.RunFrame();
    EXPECT_EQ(stack(), (std::vector<std::string>{"b", "N"}));
    timeline.RunFrame();
    EXPECT_EQ(stack(), (std::vector<std::string>{"N"}));
    timeline.RunFrame();
    EXPECT_EQ(stack(), (std::vector<std::string>{"N"}));
}

TEST_F(TimelineTest, PartEndLoadsTheNextPartAndTheLastEndsTheProduction) {
    CTimeline& timeline =
        start("PART {\r\nTIME 0 {\r\n" + create("A") + "}\r\nTIME 10 {\r\nPARTEND;\r\n" +
              create("Never") + "}\r\n}\r\nPART {\r\nTIME 1 {\r\nPARTEND;\r\n}\r\n}\r\n");
    timeline.RunFrame();
    at(9.75f);
    EXPECT_TRUE(timeline.RunFrame());
    EXPECT_EQ(timeline.PartCounter(), 1);
    at(10);
    m_events.clear();
    EXPECT_TRUE(timeline.RunFrame());
    EXPECT_EQ(m_events, (std::vector<std::string>{"A release"}));
    EXPECT_TRUE(timeline.NextPartWaiting());
    timeline.LoadNextPart();
    EXPECT_FALSE(timeline.NextPartWaiting());
    EXPECT_EQ(timeline.PartCounter(), 2);
    EXPECT_EQ(timeline.PartTime(), 0.0f);
    EXPECT_TRUE(stack().empty());
    at(11);
    EXPECT_FALSE(timeline.RunFrame());
    EXPECT_FALSE(timeline.RunFrame());
}

TEST_F(TimelineTest, EndStopsEvenWithPartsToFollow) {
    CTimeline& timeline =
        start("PART {\r\nTIME 1 {\r\nEND;\r\n}\r\n}\r\nPART {\r\nTIME 1 {\r\n}\r\n}\r\n");
    EXPECT_TRUE(timeline.RunFrame());
    at(1);
    EXPECT_FALSE(timeline.RunFrame());
    EXPECT_EQ(timeline.PartCounter(), 1);
}

TEST_F(TimelineTest, BlocksDueTogetherFireInTimeOrderInOneFrame) {
    CTimeline& timeline = start("PART {\r\nTIME 2 {\r\nUPDATE \"A\" {\r\nTag 2;\r\n}\r\n}\r\n"
                                "TIME 1 {\r\n" +
                                create("A") + "}\r\n}\r\n");
    at(3);
    timeline.RunFrame();
    EXPECT_EQ(stack(), (std::vector<std::string>{"A2"}));
}

TEST_F(TimelineTest, DescriptionsStackUpFromTheBottomAndGoAfterTheNewestExpires) {
    m_module.Initialize(nullptr, false, 640, 480, 32);
    CTimeline& timeline = start("PART {\r\nSHOWDESC Yes;\r\nTIME 0 {\r\nDESC \"first\";\r\n}\r\n"
                                "TIME 1 {\r\nDESC \"second\";\r\n}\r\n}\r\n");
    at(1);
    m_module.ClearCalls();
    timeline.RunFrame();
    ASSERT_EQ(m_module.Count("Font::Print"), 2u);
    const int height = m_module.BackBufferHeight();
    std::vector<std::pair<std::string, double>> printed;
    for (const RecordedCall& call : m_module.Calls()) {
        if (call.name == "Font::Print") {
            printed.emplace_back(call.text, call.values.at(1));
        }
    }
    EXPECT_EQ(printed, (std::vector<std::pair<std::string, double>>{{"first", height - 14.0},
                                                                    {"second", height - 28.0}}));
    at(6);
    m_module.ClearCalls();
    timeline.RunFrame();  // the newest expires at 6: not yet below
    timeline.RunFrame();
    EXPECT_EQ(m_module.Count("Font::Print"), 4u);
    at(6.25f);
    timeline.RunFrame();
    m_module.ClearCalls();
    timeline.RunFrame();
    EXPECT_EQ(m_module.Count("Font::Print"), 1u);
    timeline.RunFrame();
    m_module.ClearCalls();
    timeline.RunFrame();
    EXPECT_EQ(m_module.Count("Font::Print"), 0u);
}

TEST_F(TimelineTest, ScriptLogOnlyWhenAsked) {
    start("LOGSCRIPT No;\r\nPART {\r\n}\r\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "ScriptLog.html"));
    start("LOGSCRIPT Yes;\r\nPART {\r\nTIME 30 {\r\nPARTEND;\r\n}\r\n}\r\n");
    EXPECT_NE(ReadFile(m_dir / "ScriptLog.html").find("Time : 30<BR>\r\n"), std::string::npos);
}

TEST_F(TimelineTest, MissingFilesOfAPartStop) {
    EXPECT_EQ(EngineErrorOf([&] { start("PART {\r\nMUSICSTREAM \"tune.mp3\";\r\n}\r\n"); }),
              "Cannot open [tune.mp3]");
    EXPECT_EQ(EngineErrorOf([&] { start("PART {\r\nNEXTLOAD_SAMPLE \"s.wav\";\r\n}\r\n"); }),
              "Cannot open [s.wav]");
    EXPECT_EQ(
        EngineErrorOf([&] { start("PART {\r\nTIME 0 {\r\nCREATE \"Gfx\" {\r\n}\r\n}\r\n}\r\n"); }),
        "<none>");  // not before its block fires
}

TEST_F(TimelineTest, LoadingScreenIsDrawnOnceAndAgainPerLoadTimeLayer) {
    WriteFile(m_dir / "load.png", onePixelPng());
    start("PART {\r\nLOADINGIMG \"load.png, .5, .25\";\r\nTIME -1 {\r\n" + create("A") +
          create("B") + "}\r\n}\r\n");
    EXPECT_EQ(m_module.Count("Present"), 3u);
    const RecordedCall* draw = m_module.Last("Draw");
    ASSERT_NE(draw, nullptr);
    ASSERT_EQ(draw->vertices.size(), 4u);
    EXPECT_EQ(draw->vertices[0].x, 0.25f);
    EXPECT_EQ(draw->vertices[0].y, -0.125f);
    EXPECT_EQ(draw->vertices[3].u0, 0.002f);
    EXPECT_EQ(draw->vertices[0].diffuse, 0xFFFFFFFFu);
}

// Shows each frame it is handed, as the main loop does, and keeps count.
class CountingFrames : public FrameOwner {
public:
    explicit CountingFrames(RenderModule& module) : m_frames(module) {}
    void ShowFrame(const std::function<void()>& draw) override {
        ++shown;
        m_frames.ShowFrame(draw);
    }
    int shown = 0;

private:
    ModuleFrames m_frames;
};

// The frame in which a part ends draws nothing and loads nothing; the next
// part loads when asked, between frames, its loading screens shown as frames
// of the owner's.
TEST_F(TimelineTest, TheNextPartLoadsWhenAskedWithItsLoadingScreensAsTheOwnersFrames) {
    WriteFile(m_dir / "load.png", onePixelPng());
    CountingFrames frames(m_module);
    write("main.txt", "PART {\r\nTIME 1 {\r\nPARTEND;\r\n}\r\n}\r\n"
                      "PART {\r\nLOADINGIMG \"load.png\";\r\nTIME -1 {\r\n" +
                          create("A") + "}\r\n}\r\n");
    m_timeline = std::make_unique<CTimeline>(m_module, m_factory);
    m_timeline->LoadScript("main.txt");
    m_timeline->SetFrameOwner(frames);
    m_timeline->StartPlayback();
    at(1);
    m_module.ClearCalls();
    EXPECT_TRUE(m_timeline->RunFrame());
    EXPECT_TRUE(m_timeline->NextPartWaiting());
    EXPECT_EQ(m_timeline->CurrentPart(), nullptr);
    EXPECT_TRUE(m_timeline->RunFrame());  // nothing runs while the part waits
    EXPECT_TRUE(m_module.Names().empty());
    EXPECT_EQ(frames.shown, 0);
    m_timeline->LoadNextPart();
    EXPECT_EQ(frames.shown, 2);  // once, and again after the load-time layer
    EXPECT_EQ(m_module.Count("BeginFrame"), 2u);
    EXPECT_EQ(m_timeline->PartCounter(), 2);
    EXPECT_EQ(stack(), (std::vector<std::string>{"A"}));
}

TEST_F(TimelineTest, LoadingSamplePlaysFromTwoSecondsBeforePartEndUntilTheNextPartLoaded) {
    SoundSystem sound;  // no output: nothing heard, the calls still count
    m_module.SetSoundSystem(&sound);
    write("s.wav", "not really a sound");
    CTimeline& timeline = start("PART {\r\nNEXTLOAD_SAMPLE \"s.wav\";\r\n"
                                "TIME 3 {\r\nPARTEND;\r\n}\r\n}\r\nPART {\r\n}\r\n");
    at(1);
    timeline.RunFrame();
    EXPECT_FALSE(sound.NextLoadSampleRunning());
    at(1.25f);
    timeline.RunFrame();
    EXPECT_TRUE(sound.NextLoadSampleRunning());
    at(3);
    timeline.RunFrame();
    timeline.LoadNextPart();  // the next part has loaded: the sample may fade out
    EXPECT_EQ(timeline.PartCounter(), 2);
    EXPECT_FALSE(sound.NextLoadSampleRunning());
    m_timeline.reset();
    m_module.SetSoundSystem(nullptr);
}

TEST_F(TimelineTest, MusicThatIsNoMusicStops) {
    SoundSystem sound;
    m_module.SetSoundSystem(&sound);
    write("tune.mp3", "not really music");
    EXPECT_EQ(EngineErrorOf([&] { start("PART {\r\nMUSICSTREAM \"tune.mp3\";\r\n}\r\n"); }),
              "Unknown SoundSystem error. [tune.mp3]: Format not recognised.");
    m_timeline.reset();
    m_module.SetSoundSystem(nullptr);
}

}  // namespace
}  // namespace vesta::test
