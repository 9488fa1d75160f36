// Pictures of presentation times from a headless run: the frames a recording
// shows at those times, pixel for pixel, and mistakes refused as options are.

#include <gtest/gtest.h>
#include <png.h>

#include "PlayerRun.h"
#include "VideoReadBack.h"

namespace vesta::test {
namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;  // top row first
};

Picture readPng(const std::filesystem::path& file) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) {
        ADD_FAILURE() << "cannot read " << file;
        return picture;
    }
    image.format = PNG_FORMAT_BGR;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.bgr.resize(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, picture.bgr.data(), 0, nullptr));
    return picture;
}

// The recording's frame, bottom row first, turned upright.
std::vector<std::uint8_t> upright(const std::vector<std::uint8_t>& frame, int width, int height) {
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> turned(frame.size());
    for (int y = 0; y < height; ++y) {
        std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(row * (height - 1 - y)), row,
                    turned.begin() + static_cast<std::ptrdiff_t>(row * y));
    }
    return turned;
}

const std::vector<std::string> kShowcase = {"--headless", "--mode", "160x120x32", "--seed", "4"};

std::vector<std::string> with(std::vector<std::string> more) {
    std::vector<std::string> args = kShowcase;
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(ScreenshotTest, ThePicturesAreTheRecordingsFramesAtThoseTimes) {
    TempDir dir;
    // Without --duration the run ends with its last picture.
    const ProcessResult shots =
        play(dir.Path(), with({"NoSound", "--screenshot", "10,0.5,17.3"}), VESTA_PLAYER_PATH);
    ASSERT_EQ(shots.exitCode, 0) << shots.err;
    EXPECT_NE(shots.err.find("Screenshot-17.300.png (frame at 17.280 s)"), std::string::npos)
        << shots.err;

    const ProcessResult recorded =
        play(dir.Path(), with({"NoSound", "--video", "show.avi", "--duration", "17.5"}),
             VESTA_PLAYER_PATH);
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
    const ReadBack video = ReadRecording(dir / "show.avi");
    ASSERT_GE(video.frames.size(), 433u);
    // Each time's picture is the frame on screen then: 0.5 s is frame 12 at 25 fps.
    for (const auto& [name, frame] :
         std::vector<std::pair<std::string, std::size_t>>{{"Screenshot-0.500.png", 12},
                                                          {"Screenshot-10.000.png", 250},
                                                          {"Screenshot-17.300.png", 432}}) {
        const Picture picture = readPng(dir / name);
        ASSERT_EQ(picture.width, 160) << name;
        ASSERT_EQ(picture.height, 120) << name;
        EXPECT_TRUE(picture.bgr == upright(video.frames[frame], 160, 120)) << name;
    }
    EXPECT_FALSE(readPng(dir / "Screenshot-10.000.png").bgr ==
                 readPng(dir / "Screenshot-17.300.png").bgr);
}

TEST(ScreenshotTest, TimesTheRunNeverShowsAreRefused) {
    TempDir dir;
    for (const std::vector<std::string>& wrong : {std::vector<std::string>{"--screenshot", "1,x"},
                                                  {"--screenshot", "5", "--duration", "4"},
                                                  {"--screenshot", "2", "--start-time", "3"},
                                                  {"--screenshot", "100000"}}) {
        const ProcessResult result = play(dir.Path(), with(wrong), VESTA_PLAYER_PATH);
        EXPECT_EQ(result.exitCode, 2) << wrong[1] << ": " << result.err;
        EXPECT_NE(result.err.find("--screenshot"), std::string::npos) << result.err;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(entry.path().extension(), ".png") << entry.path();
    }
}

}  // namespace
}  // namespace vesta::test
