// The showcase drawn by the OpenGL module on the software rasteriser, on a
// clock the test moves: it plays to its end, and the frames it shows are lit
// and change. With VESTA_KEEP_FRAMES set, every frame looked at is written
// as showcase-FRAME.png beside the scratch folder.

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

#include "EngineState.h"
#include "GlTestSupport.h"
#include "ShowcaseProduction.h"
#include "platform/Clock.h"
#include "render/gl/GlModule.h"
#include "timeline/LayerFactory.h"
#include "timeline/Timeline.h"

namespace vesta::test {
namespace {

std::int64_t g_nanoseconds = 0;
std::int64_t testClock() {
    return g_nanoseconds;
}

double meanLevel(const Image& image) {
    double sum = 0;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        sum += image.pixels[i] + image.pixels[i + 1] + image.pixels[i + 2];
    }
    return sum / (3.0 * 255.0 * image.width * image.height);
}

struct Played {
    int frames = 0;
    std::vector<double> levels;  // of every eighth frame
};

class ShowcaseFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CLayerFactory::Instance().Has("GFXLayer")) {
            GTEST_SKIP() << "this build has no image layers yet";
        }
        ResetEngineState();
        g_nanoseconds = 0;
        ResetClockForTests(testClock);
        m_module = std::make_unique<GlModule>();
        RenderDriver& driver = m_module->GetDriver(0);
        m_module->SelectDriver(&driver);
        m_module->SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(m_module->Initialize(nullptr, false, 640, 480, 32));
        m_module->SetClearColor(0, 0, 0, 0);
    }
    void TearDown() override {
        m_timeline.reset();
        m_module.reset();
        ResetEngineState();
    }

    // Four frames a second: enough for every block to fire in its turn.
    Played playAll() {
        const char* keep = std::getenv("VESTA_KEEP_FRAMES");
        const std::filesystem::path out = Showcase().Folder().parent_path();
        m_timeline = std::make_unique<CTimeline>(*m_module);
        m_timeline->LoadScript("Showcase.txt");
        m_timeline->StartPlayback();
        Played played;
        for (; frame() && played.frames < 4 * 120; ++played.frames) {
            if (played.frames % 8 == 4) {
                const Image image = readBack();
                played.levels.push_back(meanLevel(image));
                if (keep) {
                    char name[32];
                    std::snprintf(name, sizeof name, "showcase-%03d.png", played.frames);
                    WritePng((out / name).string(), image);
                }
            }
            m_module->Present(0);
            m_module->Clear(0);
            g_nanoseconds += 250'000'000;
        }
        return played;
    }

    // One frame as the player draws it, the next part loaded after it when
    // one waits; false once the show is over.
    bool frame() {
        m_module->BeginFrame();
        const bool running = m_timeline->RunFrame();
        m_module->EndFrame();
        m_timeline->LoadNextPart();
        return running;
    }

    Image readBack() { return ReadBackBuffer(*m_module, 640, 480); }

    std::unique_ptr<GlModule> m_module;
    std::unique_ptr<CTimeline> m_timeline;
    ScopedChdir m_chdir{Showcase().Folder()};
};

TEST_F(ShowcaseFramesTest, PlaysToItsEndWithLitChangingFrames) {
    Played played;
    ASSERT_EQ(EngineErrorOf([&] { played = playAll(); }), "<none>");
    // 104 seconds of parts; loading takes no time on this clock.
    EXPECT_GE(played.frames, 4 * 100);
    EXPECT_LT(played.frames, 4 * 110);
    ASSERT_FALSE(played.levels.empty());
    const auto lit = std::count_if(played.levels.begin(), played.levels.end(),
                                   [](double level) { return level > 0.03; });
    EXPECT_GT(lit, static_cast<long>(played.levels.size()) * 3 / 4);
    const auto [darkest, brightest] =
        std::minmax_element(played.levels.begin(), played.levels.end());
    EXPECT_GT(*brightest - *darkest, 0.05);
}

}  // namespace
}  // namespace vesta::test
