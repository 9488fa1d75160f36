// The pictures the player writes for authors, opened in a real browser:
// Chromium, headless, renders them and finds the parts' names in them.

#include <gtest/gtest.h>
#include <png.h>
#include <set>

#include "PlayerRun.h"

namespace vesta::test {
namespace {

const char* const kChromium = "/usr/bin/chromium";

ProcessResult chromium(const std::filesystem::path& folder, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--headless", "--no-sandbox", "--disable-gpu"});
    return RunProcess(kChromium, arguments, folder);
}

// How many different colours a screenshot holds: a page that failed to
// render is one colour.
std::size_t colourCount(const std::filesystem::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) {
        return 0;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        return 0;
    }
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        colours.insert(pixels[i] << 16 | pixels[i + 1] << 8 | pixels[i + 2]);
    }
    return colours.size();
}

TEST(AuthorPicturesTest, TheScriptTimelineAndTheFrameTimesRenderInABrowser) {
    if (!std::filesystem::exists(kChromium)) {
        GTEST_SKIP() << "Chromium is not installed (scripts/test-data installs it)";
    }
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml",
              "<AppConfig>\n<Window Class=\"Demo\" Name=\"Show\"/>\n<Script Name=\"Main.txt\"/>\n"
              "<Debug Enable=\"True\"/>\n</AppConfig>\n");
    WriteFile(
        dir / "Main.txt",
        "LOGSCRIPT Yes;\r\nPART {\r\nTIME -1 {\r\nDESC \"Dawn\";\r\n}\r\nTIME 0 {\r\n"
        "CREATE \"Flash\" {\r\nNAME \"Light\";\r\nRisingTime 0.2;\r\nFallingTime 0.3;\r\n}\r\n"
        "}\r\nTIME 0.6 {\r\nPARTEND;\r\n}\r\n}\r\nPART {\r\nTIME -1 {\r\nDESC \"Dusk\";\r\n"
        "}\r\nTIME 0.5 {\r\nEND;\r\n}\r\n}\r\n");
    const ProcessResult run = play(dir.Path(), {"--headless", "NoSound", "tg"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    for (const char* page : {"ScriptTimeline.html", "FpsTimeGraph.svg"}) {
        SCOPED_TRACE(page);
        const std::string url = "file://" + (dir / page).string();
        const ProcessResult dom = chromium(dir.Path(), {"--dump-dom", url});
        ASSERT_EQ(dom.exitCode, 0) << dom.err;
        EXPECT_NE(dom.out.find("Part 1: Dawn"), std::string::npos) << dom.out;
        EXPECT_NE(dom.out.find("Part 2: Dusk"), std::string::npos) << dom.out;
        const std::filesystem::path shot = dir / (std::string(page) + ".png");
        ASSERT_EQ(
            chromium(dir.Path(), {"--screenshot=" + shot.string(), "--window-size=1200,400", url})
                .exitCode,
            0);
        EXPECT_GT(colourCount(shot), 8u);
    }
    EXPECT_NE(ReadFile(dir / "ScriptTimeline.html").find("Flash &quot;Light&quot;"),
              std::string::npos);
}

}  // namespace
}  // namespace vesta::test
