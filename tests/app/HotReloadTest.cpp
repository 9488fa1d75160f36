// --watch from the inside: noticing changes on disk, deciding whether a
// changed script may play, and the player going on through them, observed
// through the recording render module on a clock the test moves.

#include <filesystem>
#include <gtest/gtest.h>

#include "EngineState.h"
#include "PictureWriters.h"
#include "TestSupport.h"
#include "app/DemoApp.h"
#include "app/FileWatch.h"
#include "app/ScriptReload.h"
#include "app/StartPoint.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

TEST(FileWatchTest, AChangeCountsOnceTheFileHasBeenQuiet) {
    TempDir dir;
    const std::string path = (dir / "Main.txt").string();
    WriteFile(path, "one");
    FileWatch watch;
    watch.Add(path);
    watch.Add(path);
    EXPECT_EQ(watch.Size(), 1u);
    // Near the end of the millisecond count, which wraps on the way.
    std::uint32_t now = 0xFFFFFF00u;
    EXPECT_TRUE(watch.Poll(now).empty());

    // Written in two steps, a poll apart: counted after the second is quiet.
    WriteFile(path, "two");
    EXPECT_TRUE(watch.Poll(now += 250).empty());
    WriteFile(path, "three!");
    EXPECT_TRUE(watch.Poll(now += 100).empty());  // too soon to look
    EXPECT_TRUE(watch.Poll(now += 150).empty());
    EXPECT_EQ(watch.Poll(now += 250), std::vector<std::string>{path});
    EXPECT_TRUE(watch.Poll(now += 250).empty());

    // Saved as a new file renamed over the old one, the size unchanged.
    WriteFile(dir / "Main.new", "three?");
    std::filesystem::rename(dir / "Main.new", path);
    EXPECT_TRUE(watch.Poll(now += 250).empty());
    EXPECT_EQ(watch.Poll(now += 250), std::vector<std::string>{path});

    // Gone for a moment and back as it was: nothing to read again.
    std::filesystem::rename(path, dir / "Main.bak");
    EXPECT_TRUE(watch.Poll(now += 250).empty());
    std::filesystem::rename(dir / "Main.bak", path);
    EXPECT_TRUE(watch.Poll(now += 250).empty());
    EXPECT_TRUE(watch.Poll(now += 250).empty());
}

TEST(StartPointTest, AResumeInAPartThatNowEndsSoonerIsTheNextPartsStart) {
    const StartPoint resume = StartPoint::InPart(2, 3.0);
    EXPECT_TRUE(resume.Resumes());
    EXPECT_FALSE(resume.ReachedBy(50.0, 1, 40.0));
    EXPECT_FALSE(resume.ReachedBy(12.0, 2, 2.96));
    EXPECT_TRUE(resume.ReachedBy(12.0, 2, 3.0));
    EXPECT_TRUE(resume.ReachedBy(10.5, 3, 0.0));
    // The last second before it is drawn, as before a start time.
    EXPECT_FALSE(resume.DrawnBeforeStart(50.0, 1, 40.0));
    EXPECT_FALSE(resume.DrawnBeforeStart(10.9, 2, 1.9));
    EXPECT_TRUE(resume.DrawnBeforeStart(11.1, 2, 2.1));
}

PngPicture greyPicture(int width, int height, std::uint16_t grey) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.samples.assign(std::size_t(width) * height, grey);
    return picture;
}

class ScriptReloadTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    ScriptReading read(const std::string& main) {
        WriteFile(m_dir / "Main.txt", main);
        return ReadChangedScript("Main.txt");
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
};

TEST_F(ScriptReloadTest, OnlyMistakesTheScriptPlayingDoesNotHaveRefuseAChange) {
    WriteFile(m_dir / "Look.txt", "SHOWFPS Yes;\r\n");
    // A part without an end is a mistake for a recording, and plays.
    const ScriptReading playing = read("INCLUDE \"Look.txt\";\r\nPART {\r\n}\r\n");
    ASSERT_NE(playing.script, nullptr);
    EXPECT_EQ(playing.mistakes.size(), 1u);
    EXPECT_EQ(playing.files, (std::vector<std::string>{"Main.txt", "Look.txt"}));

    const ScriptReading endless = read("\r\nINCLUDE \"Look.txt\";\r\nPART {\r\n}\r\n");
    EXPECT_TRUE(ReasonsToRefuse(endless, playing).empty());

    const ScriptReading unknown = read("PART {\r\nTIME 0 {\r\nCREATE \"NoSuchLayer\" {\r\n}\r\n"
                                       "}\r\nTIME 9 {\r\nEND;\r\n}\r\n}\r\n");
    const std::vector<std::string> reasons = ReasonsToRefuse(unknown, playing);
    ASSERT_EQ(reasons.size(), 1u);
    EXPECT_EQ(reasons[0].rfind("Main.txt(3): ", 0), 0u) << reasons[0];

    // A script that does not parse: refused whatever the one playing had.
    const ScriptReading missing = read("INCLUDE \"Gone.txt\";\r\nPART {\r\n}\r\n");
    EXPECT_EQ(missing.script, nullptr);
    EXPECT_EQ(missing.files, std::vector<std::string>{"Main.txt"});
    ASSERT_EQ(ReasonsToRefuse(missing, playing).size(), 1u);
    EXPECT_NE(ReasonsToRefuse(missing, playing)[0].find("Gone.txt"), std::string::npos);
}

std::int64_t g_nanoseconds = 0;
std::int64_t fakeCounter() {
    return g_nanoseconds;
}

class WatchingAppTest : public ScriptReloadTest {
protected:
    void SetUp() override {
        ScriptReloadTest::SetUp();
        g_nanoseconds = 1'000'000'000;
        ResetClockForTests(&fakeCounter);
        ClearInternalModulesForTests();
        RegisterInternalModule({"Recording"}, [] { return std::make_unique<RecordingModule>(); });
        WriteFile(m_dir / "DefaultConfig.xml",
                  "<AppConfig><Window Name=\"Show\"/><Script Name=\"Main.txt\"/></AppConfig>");
    }
    void TearDown() override {
        m_app.reset();
        ClearInternalModulesForTests();
        ScriptReloadTest::TearDown();
    }

    RecordingModule& start() {
        LaunchOptions options;
        options.headless = true;
        options.watch = true;
        options.commandLine = "NoSound";
        m_app = std::make_unique<CDemoApp>(options);
        m_app->Init();
        return dynamic_cast<RecordingModule&>(*m_app->Module());
    }
    // Frames `seconds` apart on the clock, until `frames` have run.
    void play(double seconds, int frames = 1) {
        for (int frame = 0; frame < frames; ++frame) {
            g_nanoseconds += static_cast<std::int64_t>(seconds * 1e9);
            m_app->Frame();
        }
    }
    std::vector<std::string> printed(const RecordingModule& module) const {
        std::vector<std::string> texts;
        for (const RecordedCall& call : module.Calls()) {
            if (call.name == "Font::Print") {
                texts.push_back(call.text);
            }
        }
        return texts;
    }

    std::unique_ptr<CDemoApp> m_app;
};

TEST_F(WatchingAppTest, ABrokenChangeIsShownWhileTheOldScriptPlaysAndAGoodOneResumesThere) {
    WriteFile(m_dir / "Main.txt", "SHOWTIME Yes;\r\nPART {\r\n}\r\n");
    RecordingModule& module = start();
    play(0.5, 4);
    WriteFile(m_dir / "Main.txt", "SHOWTIME Yes;\r\nPART {\r\nTIME 1 {\r\n");
    play(0.3, 2);
    module.ClearCalls();
    play(0.3);
    const std::vector<std::string> broken = printed(module);
    ASSERT_EQ(broken.size(), 5u);
    EXPECT_EQ(broken[1].rfind("Part 1, 2.90", 0), 0u) << broken[1];
    EXPECT_EQ(broken[2], "The changed script cannot play; the old one goes on:");
    EXPECT_EQ(broken[3].rfind("Main.txt(3): TIME opens a block", 0), 0u) << broken[3];

    // Mended: the time line gone with the switch, the show where it was.
    WriteFile(m_dir / "Main.txt", "SHOWFPS Yes;\r\nPART {\r\n}\r\n");
    play(0.3, 2);
    EXPECT_FALSE(m_app->Overlays().showTime);
    EXPECT_TRUE(m_app->Overlays().showFps);
    for (int frame = 0; frame < 200 && m_app->Timeline()->PartTime() < 3.5f; ++frame) {
        play(0.04);
    }
    // The first frame shown is the first of the recording's step from 3.5 s
    // on; then the clock runs on from there.
    module.ClearCalls();
    play(0.1);
    EXPECT_NEAR(m_app->Timeline()->PartTime(), 3.52, 1e-4);
    EXPECT_EQ(printed(module).size(), 1u);
    EXPECT_EQ(module.Count("Present"), 1u);
    play(0.1);
    EXPECT_NEAR(m_app->Timeline()->PartTime(), 3.62, 1e-4);
}

TEST_F(ScriptReloadTest, AChangedPictureGoesIntoTheDeviceTextureItWasMadeInto) {
    RecordingModule module;
    module.Initialize(nullptr, false, 640, 480, 32);
    WriteFile(m_dir / "grey.png", EncodePng(greyPicture(8, 8, 100)));
    Texture* first = module.CreateTexture();
    Texture* second = module.CreateTexture();
    ASSERT_TRUE(first->Load("Gfx\\Grey.png"));
    ASSERT_TRUE(second->Load("grey.png"));
    module.CreateTexture()->CreateRenderTarget(64, "grey.png", 0);

    // Another size: scaled to the texture's, once for the two that share it.
    WriteFile(m_dir / "grey.png", EncodePng(greyPicture(4, 2, 30)));
    module.ClearCalls();
    EXPECT_EQ(module.ReloadPictures("grey.png"), 1);
    ASSERT_EQ(module.Count("UploadTexture"), 1u);
    EXPECT_EQ(module.Count("CreateTexture"), 0u);
    const RecordedCall& upload = *module.Last("UploadTexture");
    EXPECT_EQ(upload.texture, first->Handle());
    ASSERT_EQ(upload.pixels.size(), 8u * 8 * 4);
    EXPECT_EQ(upload.pixels[0], 30);
    EXPECT_EQ(upload.pixels[3], 255);
    EXPECT_EQ(upload.pixels[upload.pixels.size() - 2], 30);

    // Half written: the reason goes to the caller, the picture stays as it was.
    WriteFile(m_dir / "grey.png", std::string("\x89PNG"));
    module.ClearCalls();
    EXPECT_THROW(module.ReloadPictures("grey.png"), CUserException);
    EXPECT_EQ(module.Count("UploadTexture"), 0u);
}

}  // namespace
}  // namespace vesta::test
