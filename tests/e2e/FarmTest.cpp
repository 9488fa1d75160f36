// vesta-farm: a show recorded in segments and joined is the show recorded in
// one run, picture for picture and sample for sample; collections report
// each production's fate.

#include <gtest/gtest.h>

#include "PlayerRun.h"
#include "VideoReadBack.h"

namespace vesta::test {
namespace {

ProcessResult farm(const TempDir& dir, const std::vector<std::string>& args) {
    return RunProcess(VESTA_FARM_PATH, args, dir.Path());
}

// 21.7 s of the showcase at 10 frames per second, in 4 segments: 217 frames
// that do not split evenly, the last segment beginning just after part 2
// has loaded.
TEST(FarmTest, SegmentsJoinedAreTheWholeRecording) {
    TempDir dir;
    const ProcessResult whole =
        play(dir.Path(),
             {"VideoOut", "--headless", "--mode", "160x120x32", "--fps", "10", "--duration", "21.7",
              "--seed", "3", "--codec", "ffv1", "--video", "whole.mkv"},
             VESTA_PLAYER_PATH);
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const std::vector<std::string> record = {"record",     VESTA_PLAYER_PATH,
                                             "--segments", "4",
                                             "--mode",     "160x120x32",
                                             "--fps",      "10",
                                             "--seed",     "3",
                                             "--duration", "21.7",
                                             "-o",         "joined.mkv",
                                             "--local"};
    const ProcessResult run = farm(dir, record);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("217 frames from 4 segments"), std::string::npos) << run.out;

    const ReadBack expected = ReadRecording(dir / "whole.mkv");
    const ReadBack joined = ReadRecording(dir / "joined.mkv");
    ASSERT_EQ(expected.frames.size(), 217u);
    ASSERT_EQ(joined.frames.size(), expected.frames.size());
    EXPECT_EQ(joined.videoCodec, "ffv1");
    EXPECT_EQ(joined.rateNumerator, 10);
    EXPECT_EQ(joined.rateDenominator, 1);
    for (std::size_t frame = 0; frame < joined.frames.size(); ++frame) {
        ASSERT_EQ(joined.framePts[frame], static_cast<std::int64_t>(frame));
        ASSERT_TRUE(joined.frames[frame] == expected.frames[frame]) << "frame " << frame;
    }
    ASSERT_TRUE(joined.hasAudio);
    ASSERT_EQ(joined.samples.size(), expected.samples.size());
    EXPECT_TRUE(joined.samples == expected.samples);
    EXPECT_NEAR(joined.firstSampleSeconds, 0.0, 1e-3);

    // A join that cannot be made (a segment lost a frame) fails and leaves
    // the complete file of before as it was.
    const std::string parts = (dir / "joined.mkv.parts").string();
    const std::string before = ReadFile(dir / "joined.mkv");
    const ProcessResult broken = farm(
        dir, {"join", "-o", "joined.mkv", "--fps", "10", "--frames", "54,55,54,55", "--soundtrack",
              parts + "/soundtrack.mkv", parts + "/segment-0000.mkv", parts + "/segment-0001.mkv",
              parts + "/segment-0002.mkv", parts + "/segment-0003.mkv"});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("segment-0003.mkv: 54 frames where 55 belong"), std::string::npos)
        << broken.err;
    EXPECT_TRUE(ReadFile(dir / "joined.mkv") == before);
    EXPECT_FALSE(std::filesystem::exists(dir / "joined.mkv.partial"));
}

TEST(FarmTest, ADryRunPrintsTheJobArrayAndTheJoinThatWaitsForIt) {
    TempDir dir;
    const ProcessResult run = farm(dir, {"record", VESTA_PLAYER_PATH, "--segments", "4", "--fps",
                                         "25", "--seed", "9", "-o", "show.mkv", "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* part :
         {"#SBATCH --array=0-3\n", "#SBATCH --requeue\n",
          "sbatch --parsable --dependency=afterok:${segments%%;*}:${soundtrack%%;*} ",
          // 104 s at 25: 2600 frames, 650 a segment, each cut half a frame early.
          "--start-time 25.98 --duration 51.98 ", "--start-time 77.98 --duration 103.98 ",
          " NoSound ", "--codec ffv1", "scontrol requeue", " join -o "}) {
        EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "show.mkv.parts")) << "a dry run only prints";
}

}  // namespace
}  // namespace vesta::test

namespace vesta::test {
namespace {

void writeProduction(const TempDir& dir, const std::string& name, const std::string& script) {
    WriteFile(dir / name / "DefaultConfig.xml",
              "<AppConfig><Window Name=\"" + name + "\"/><Script Name=\"Main.txt\"/></AppConfig>");
    WriteFile(dir / name / "Main.txt", script);
}

// Two productions record; the third stops on a layer the player does not
// know, and the summary says so in the player's words.
TEST(FarmTest, ACollectionRecordsEachProductionAndReportsTheOneThatFails) {
    TempDir dir;
    writeProduction(dir, "alpha", "PART {\r\nTIME 2 {\r\nPARTEND;\r\n}\r\n}\r\n");
    writeProduction(dir, "beta", "PART {\r\nTIME 1.5 {\r\nEND;\r\n}\r\n}\r\n");
    writeProduction(dir, "broken",
                    "PART {\r\nTIME 1 {\r\nCREATE \"NoSuchLayer\" {\r\n}\r\nEND;\r\n}\r\n}\r\n");
    WriteFile(dir / "list.txt", "alpha\nbeta\n# not now: gamma\nbroken\n");
    const std::filesystem::path out = dir / "videos";
    std::filesystem::create_directories(out);
    WriteFile(out / "broken.mkv", "an earlier recording");

    const ProcessResult run =
        RunProcess(VESTA_FARM_PATH,
                   {"collection", (dir / "list.txt").string(), "-o", out.string(), "--local",
                    "--mode", "160x120x32", "--fps", "10"},
                   dir.Path());
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const std::string summary = ReadFile(out / "summary.txt");
    EXPECT_EQ(summary, run.out);
    for (const char* line :
         {"production                 frames   duration  status   message\n",
          "alpha                          20     2.00 s  recorded\n",
          "beta                           15     1.50 s  recorded\n",
          "broken                          -     1.00 s  failed   broken: Could not find "
          "LayerEffect [NoSuchLayer].\n"}) {
        EXPECT_NE(summary.find(line), std::string::npos) << line << summary;
    }
    EXPECT_EQ(ReadRecording(out / "alpha.mkv").frames.size(), 20u);
    EXPECT_EQ(ReadRecording(out / "beta.mkv").frames.size(), 15u);
    EXPECT_EQ(ReadFile(out / "broken.mkv"), "an earlier recording")
        << "a failed run leaves what was there";
}

}  // namespace
}  // namespace vesta::test
