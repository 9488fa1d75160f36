// Runs that start part-way through the show: what they record is what a run
// from the start records at the same times, pictures and sound alike.

#include <gtest/gtest.h>

#include "PictureWriters.h"
#include "PlayerRun.h"
#include "VideoReadBack.h"
#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"
#include "scene/SceneBuild.h"

namespace vesta::test {
namespace {

constexpr std::size_t kSamplesPerFrame = 44100 / 10 * 2;  // stereo at 10 frames per second

// The showcase from the start of the show to 24 s, at 10 frames per second;
// part 2 begins at 16 s, behind its loading screens.
ReadBack recordShowcase(const TempDir& dir, const std::string& file, std::vector<std::string> start,
                        const char* seed = "5") {
    std::vector<std::string> args = {"VideoOut", "--headless", "--mode",     "160x120x32",
                                     "--fps",    "10",         "--duration", "24",
                                     "--seed",   seed,         "--video",    file};
    args.insert(args.end(), start.begin(), start.end());
    const ProcessResult result = play(dir.Path(), args, VESTA_PLAYER_PATH);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return ReadRecording(dir / file);
}

// The index of the first frame of `part` that differs from `whole` from
// `offset` on, or the part's length.
std::size_t firstDifference(const ReadBack& part, const ReadBack& whole, std::size_t offset) {
    std::size_t frame = 0;
    while (frame < part.frames.size() && offset + frame < whole.frames.size() &&
           part.frames[frame] == whole.frames[offset + frame]) {
        ++frame;
    }
    return frame;
}

TEST(StartPointTest, ARecordingFromAnyPointIsTheWholeRecordingFromThere) {
    TempDir dir;
    const ReadBack whole = recordShowcase(dir, "whole.avi", {});
    ASSERT_EQ(whole.frames.size(), 240u);
    ASSERT_EQ(whole.samples.size(), 240 * kSamplesPerFrame);

    // Across the change of part: the first part's last frames (sparkling by
    // the random numbers), the frame of the loading, and the second part.
    const ReadBack late = recordShowcase(dir, "late.avi", {"--start-time", "12"});
    ASSERT_EQ(late.frames.size(), 120u);
    EXPECT_EQ(firstDifference(late, whole, 120), late.frames.size());
    for (std::size_t frame = 0; frame < late.framePts.size(); ++frame) {
        ASSERT_EQ(late.framePts[frame], static_cast<std::int64_t>(frame));
    }
    // PCM: the same samples, not just the same tune.
    ASSERT_EQ(late.samples.size(), 120 * kSamplesPerFrame);
    EXPECT_TRUE(std::equal(late.samples.begin(), late.samples.end(),
                           whole.samples.begin() + 120 * kSamplesPerFrame));
    double energy = 0.0;
    for (float sample : late.samples) {
        energy += double(sample) * sample;
    }
    EXPECT_GT(energy, 1.0);

    // Part 2's first frame is the one after the frame it loaded in.
    const ReadBack second = recordShowcase(dir, "second.avi", {"--start-part", "2"});
    ASSERT_EQ(second.frames.size(), 79u);
    EXPECT_EQ(firstDifference(second, whole, 161), second.frames.size());

    // The effects' random numbers are where they would be: another seed,
    // other pictures.
    const ReadBack otherSeed = recordShowcase(dir, "other.avi", {"--start-time", "12"}, "6");
    EXPECT_LT(firstDifference(otherSeed, whole, 120), otherSeed.frames.size());
}

// A halo fades in over a ninth of a second once its light is seen, and
// whether it is seen is known only by drawing: the frames just before the
// start are drawn, so that it shines as fully as in a run from the start.
TEST(StartPointTest, AHaloSeenLongBeforeTheStartShinesFullyFromTheFirstFrame) {
    TempDir dir;
    CScene scene;
    scene.lastFrame = 300;
    AddCamera(scene, "Camera01", {0, 0, -100}, {0, 0, 0}, 0.8f);
    AddLight(scene, "Sun.Halo", {0, 0, 20}, {1, 1, 1}).SetUserText("MapFile = glow.png\r\n");
    AddBox(scene, "Floor", {0, -40, 0}, {60, 4, 60});
    CountGeometry(scene);
    WriteFile(dir / "sun.vestamdl4", mdl4::WriteScene(scene));
    WriteFile(dir / "glow.png", GlowPng());
    WriteFile(dir / "DefaultConfig.xml",
              "<AppConfig><Window Name=\"Halo\"/><Script Name=\"Main.txt\"/></AppConfig>");
    WriteFile(dir / "Main.txt", "PART {\r\nTIME 0 {\r\nCREATE \"MDLPlayer\" {\r\n"
                                "MDLFile \"sun.vestamdl4\";\r\n}\r\n}\r\n}\r\n");
    const auto record = [&](const std::string& file, std::vector<std::string> start) {
        std::vector<std::string> args = {"VideoOut",   "NoSound", "--headless", "--mode",
                                         "160x120x32", "--fps",   "10",         "--duration",
                                         "3",          "--video", file};
        args.insert(args.end(), start.begin(), start.end());
        const ProcessResult result = play(dir.Path(), args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return ReadRecording(dir / file);
    };
    const ReadBack whole = record("whole.avi", {});
    const ReadBack late = record("late.avi", {"--start-time", "2.5"});
    ASSERT_EQ(whole.frames.size(), 30u);
    ASSERT_EQ(late.frames.size(), 5u);
    // The glow is there, bright at the middle.
    const std::vector<std::uint8_t>& frame = late.frames[0];
    const std::size_t middle = (60u * 160u + 80u) * 3u;
    EXPECT_GT(frame[middle + 1], 128) << "the halo shows";
    EXPECT_EQ(firstDifference(late, whole, 25), late.frames.size());
}

TEST(StartPointTest, AStartTheShowNeverReachesIsAMistakeOfTheCommandLine) {
    TempDir dir;
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"NoSound", "--headless", "--mode", "160x120x32"});
        return play(dir.Path(), args, VESTA_PLAYER_PATH);
    };
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& mistake : std::vector<Case>{
             {{"--start-part", "7"}, "--start-part 7: the show has 6 parts"},
             {{"--start-time", "104"}, "--start-time 104: the show ends at 104 s"},
             {{"--start-part", "3", "--duration", "20"},
              "--duration ends the run before its start at part 3"},
             {{"--start-time", "10", "--duration", "5"}, "it must end after --start-time"},
             {{"--start-time", "1", "--start-part", "2"}, "exclude each other"},
             {{"--start-part", "0"}, "invalid part '0'"},
         }) {
        const ProcessResult result = run(mistake.args);
        EXPECT_EQ(result.exitCode, 2) << mistake.message << "\n" << result.err;
        EXPECT_NE(result.err.find(mistake.message), std::string::npos) << result.err;
    }
    // Not recorded, the run goes there the same way and plays on in real time.
    const ProcessResult live = run({"--start-time", "30", "--duration", "30.5"});
    EXPECT_EQ(live.exitCode, 0) << live.err;
    EXPECT_NE(live.err.find("vesta: starting at part 2, presentation time 30.000 s"),
              std::string::npos)
        << live.err;
}

}  // namespace
}  // namespace vesta::test
