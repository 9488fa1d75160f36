// Options in the Linux form, and the production's words found by substring.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace vesta::test {
namespace {

ParsedArguments parse(std::initializer_list<std::string_view> args) {
    return ParseArguments(std::vector<std::string_view>(args));
}

TEST(CommandLineTest, WordsAreFoundAnywhereCaseSensitively) {
    const CommandWords words = ReadCommandWords("xNoSoundx classicdlg DXTC", false);
    EXPECT_TRUE(words.noSound);
    EXPECT_FALSE(words.classicDialog);
    EXPECT_TRUE(words.textureCompression);
    EXPECT_FALSE(words.videoOut);
}

TEST(CommandLineTest, DebugWordsNeedDebuggingEnabled) {
    const std::string line = "MyLogFileWindow tg us LogWindow";
    const CommandWords off = ReadCommandWords(line, false);
    EXPECT_FALSE(off.logFile || off.timeGraph || off.usageStatistics || off.logWindow);
    const CommandWords on = ReadCommandWords(line, true);
    EXPECT_TRUE(on.logFile && on.timeGraph && on.usageStatistics && on.logWindow);
    // "us" hides in many words: any of them counts.
    EXPECT_TRUE(ReadCommandWords("MusicOff", true).usageStatistics);
}

TEST(CommandLineTest, OptionsAreParsedAndWordsKept) {
    const ParsedArguments parsed =
        parse({"-C", "demo", "--headless", "--mode=800x600x16", "--fullscreen", "NoSound",
               "--duration", "2.5", "TraceEx"});
    ASSERT_EQ(parsed.error, "");
    const LaunchOptions& o = parsed.options;
    EXPECT_EQ(o.directory, "demo");
    EXPECT_TRUE(o.headless);
    ASSERT_TRUE(o.mode);
    EXPECT_EQ(o.mode->width, 800);
    EXPECT_EQ(o.mode->height, 600);
    EXPECT_EQ(o.mode->bitsPerPixel, 16);
    EXPECT_TRUE(o.fullscreen);
    EXPECT_DOUBLE_EQ(*o.duration, 2.5);
    EXPECT_EQ(o.commandLine, "NoSound TraceEx");
}

TEST(CommandLineTest, OptionValuesNeverCountAsWords) {
    const ParsedArguments parsed = parse({"--video", "LogFile-VideoOut.avi", "--fps", "30"});
    ASSERT_EQ(parsed.error, "");
    // Recording options switch recording on, but the file name switches nothing else.
    EXPECT_EQ(parsed.options.commandLine, "VideoOut");
    EXPECT_EQ(*parsed.options.videoFile, "LogFile-VideoOut.avi");
    EXPECT_FLOAT_EQ(*parsed.options.videoFps, 30.0f);
    EXPECT_EQ(parse({"--", "--headless"}).options.commandLine, "--headless");
    const ParsedArguments audio = parse({"--audio-codec", "flac", "NoSound"});
    EXPECT_EQ(*audio.options.audioCodec, "flac");
    EXPECT_EQ(audio.options.commandLine, "NoSound VideoOut");
}

TEST(CommandLineTest, InvalidArgumentsAreExplained) {
    EXPECT_EQ(parse({"--bogus"}).error, "unknown option '--bogus'");
    EXPECT_EQ(parse({"--mode"}).error, "option '--mode' needs a value");
    EXPECT_NE(parse({"--mode", "640x480"}).error.find("invalid mode '640x480'"), std::string::npos);
    EXPECT_NE(parse({"--mode", "640x480x24"}).error, "");
    EXPECT_NE(parse({"--mode", "0x480x32"}).error, "");
    EXPECT_NE(parse({"--fps", "0"}).error, "");
    EXPECT_NE(parse({"--fps", "nan"}).error, "");
    EXPECT_NE(parse({"--duration", "-1"}).error, "");
    EXPECT_EQ(parse({"--seed", "4294967295"}).options.seed, 4294967295u);
    EXPECT_NE(parse({"--seed", "4294967296"}).error, "");
    EXPECT_NE(parse({"--seed", "-3"}).error, "");
    EXPECT_EQ(parse({"--windowed"}).error, "--windowed needs --mode");
    EXPECT_EQ(parse({"--mode", "640x480x32", "--windowed", "--fullscreen"}).error,
              "--windowed and --fullscreen exclude each other");
    EXPECT_EQ(parse({"-Cdemo"}).options.directory, "demo");
    EXPECT_EQ(parse({"--strict"}).error, "--strict goes with --check");
    EXPECT_TRUE(parse({"--check", "--strict"}).options.strict);
}

TEST(CommandLineTest, AStartIsATimeFromZeroOnOrAPartFromOneOn) {
    EXPECT_DOUBLE_EQ(*parse({"--start-time=12.5"}).options.startTime, 12.5);
    EXPECT_DOUBLE_EQ(*parse({"--start-time", "0"}).options.startTime, 0.0);
    EXPECT_EQ(*parse({"--start-part", "3"}).options.startPart, 3);
    EXPECT_NE(parse({"--start-time", "-1"}).error, "");
    EXPECT_NE(parse({"--start-time", "inf"}).error, "");
    EXPECT_NE(parse({"--start-part", "1.5"}).error, "");
    // --duration is the presentation time the run ends at, so it follows the start.
    EXPECT_EQ(parse({"--start-time", "10", "--duration", "12"}).error, "");
    EXPECT_NE(parse({"--start-time", "10", "--duration", "10"}).error, "");
}

TEST(CommandLineTest, ASoakPlaysTheWholeShowAWholeNumberOfTimesWithoutRecording) {
    const ParsedArguments soak = parse({"--soak", "6"});
    EXPECT_EQ(soak.error, "");
    EXPECT_EQ(*soak.options.soakLoops, 6);
    EXPECT_EQ(soak.options.commandLine.find("VideoOut"), std::string::npos);
    EXPECT_NE(parse({"--soak", "0"}).error, "");
    EXPECT_NE(parse({"--soak", "2.5"}).error, "");
    EXPECT_NE(parse({"--soak", "3", "--start-part", "2"}).error, "");
    EXPECT_NE(parse({"--soak", "3", "--start-time", "20"}).error, "");
}

}  // namespace
}  // namespace vesta::test
