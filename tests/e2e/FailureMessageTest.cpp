// What the user reads when a show cannot go on, or goes on without something:
// damaged files, missing devices, drivers and fonts, a folder the player may
// not write. Each case is a production, the player's command and the message
// with its exit status.

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "PictureWriters.h"
#include "PlayerRun.h"

namespace vesta::test {
namespace {

namespace fs = std::filesystem;

std::string configuration(bool debug) {
    return std::string("<AppConfig>\n<Window Class=\"Demo\" Name=\"Night Show\"/>\n"
                       "<Script Name=\"Main.txt\"/>\n<Debug Enable=\"") +
           (debug ? "True" : "False") + "\"/>\n</AppConfig>\n";
}

std::string oneLayer(const std::string& kind, const std::string& parameters) {
    return "PART {\r\nTIME 0 {\r\nCREATE \"" + kind + "\" {\r\n" + parameters + "}\r\n}\r\n}\r\n";
}

// A picture whose header fails libpng's checksum: past the signature check,
// so the failure is the reader's.
std::vector<std::uint8_t> pngWithBrokenHeader() {
    std::vector<std::uint8_t> png = SimplePng(8, 8);
    png[16] ^= 0x40;  // the first byte of the width, inside IHDR
    return png;
}

// A start-of-image marker and nothing a decoder can use after it.
std::vector<std::uint8_t> jpegWithoutImage() {
    std::vector<std::uint8_t> jpeg = {0xFF, 0xD8};
    jpeg.resize(64, 0);
    return jpeg;
}

void writeNoFontConfiguration(const fs::path& folder) {
    fs::create_directories(folder / "fonts");
    WriteFile(folder / "fonts.conf",
              "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + (folder / "fonts").string() +
                  "</dir><cachedir>" + (folder / "fonts").string() + "</cachedir></fontconfig>\n");
}

struct FailureCase {
    const char* name;
    std::string script;
    std::function<void(const fs::path&)> files;
    std::vector<std::string> arguments;
    // Set for the run only; "@" stands for the production's folder.
    std::vector<std::pair<std::string, std::string>> environment;
    int exitCode;
    // The start of a line of standard error: the message, up to any name the
    // player makes up for a layer.
    std::string message;
    bool debug = false;
    bool windowed = false;
    bool readOnlyFolder = false;
};

const std::vector<std::string> kHeadless = {"--headless", "--duration", "0.3"};

std::vector<FailureCase> failureCases() {
    return {
        {"DamagedPngIsNamedAsSpeltWithLibpngsReason",
         oneLayer("GFXLayer", "Texture \"Glow.PNG\";\r\n"),
         [](const fs::path& d) { WriteFile(d / "glow.png", pngWithBrokenHeader()); },
         kHeadless,
         {},
         1,
         "Night Show: PngLoad : Error while reading PNG. [Glow.PNG]: IHDR: CRC error"},
            {"DamagedJpegIsNamedAsSpeltWithLibjpegsReason",
             oneLayer("GFXLayer", "Texture \"Sky.JPG\";\r\n"),
             [](const fs::path& d) { WriteFile(d / "sky.jpg", jpegWithoutImage()); },
             kHeadless,
             {},
             1,
             "Night Show: File [Sky.JPG] is not valid JPEG file. JPEG datastream contains no "
             "image"},
            {"UnreadableMusicIsNamedWithTheDecodersReason",
             "PART {\r\nMUSICSTREAM \"Tune.MP3\";\r\n}\r\n",
             [](const fs::path& d) {
                 WriteFile(d / "tune.mp3", std::string("\xFF\xFB\x90\x00", 4));
             },
             kHeadless,
             {},
             1,
             "Night Show: Unknown SoundSystem error. [Tune.MP3]: the file ends before its first "
             "MPEG audio frame"},
            {"AWarningSaysWarningOnce",
             oneLayer("GFXLayer", "Texture \"glow.png\";\r\nEffect 99;\r\n"),
             [](const fs::path& d) { WriteFile(d / "glow.png", SimplePng(8, 8)); },
             kHeadless,
             {},
             0,
             "vesta: warning: Near Main.txt(3) - CGfxLayer - Gfx Layer ["},
            {"MissingOpenGlDriver",
             "PART {\r\n}\r\n",
             nullptr,
             kHeadless,
             {{"__EGL_VENDOR_LIBRARY_DIRS", "@/none"}},
             1,
             "Night Show: Unable to create device (0x00003001)(no EGL driver offers the "
             "surfaceless "
             "platform (EGL_EXT_platform_base, EGL_MESA_platform_surfaceless): is Mesa's EGL "
             "driver "
             "installed?)"},
            {"MissingFontFallsBackToTheSmallFont",
             oneLayer("TextLayer", "Text \"Hello\";\r\n"),
             writeNoFontConfiguration,
             kHeadless,
             {{"FONTCONFIG_FILE", "@/fonts.conf"}},
             0,
             "vesta: warning: no system font for the text printer (fontconfig finds no font file "
             "on "
             "this machine); its texts stay blank"},
            {"UnwritableFolderPlaysWithoutItsLog",
             "PART {\r\n}\r\n",
             nullptr,
             {"--headless", "--duration", "0.3", "LogFile"},
             {},
             0,
             "vesta: warning: cannot create Logging.txt (Permission denied); the show plays "
             "without "
             "its log",
             true,
             false,
             true},
            {"UnwritableFolderRefusesTheRecording",
             "PART {\r\n}\r\n",
             nullptr,
             {"VideoOut", "NoSound", "--headless", "--duration", "0.3", "--video", "show.avi"},
             {},
             1,
             "Night Show: VideoForWindows : Can't open file. [show.avi]: the folder . is not "
             "writable "
             "(Permission denied)",
             false,
             false,
             true},
#if defined(VESTA_XVFB_RUN) && defined(VESTA_XDOTOOL)
            {"MissingAudioDeviceInAWindow",
             "PART {\r\n}\r\n",
             nullptr,
             {"--mode", "320x240x32", "--duration", "0.3"},
             {{"ALSOFT_DRIVERS", "none"}},
             1,
             "Night Show: Can't initialize digital sound system: OpenAL could open no audio output "
             "device (the word NoSound plays without sound)",
             false,
             true},
#endif
    };
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        all.push_back(line);
    }
    return all;
}

// The player drops to an unprivileged user for a read-only folder when the
// tests run as root, for whom permissions do not apply.
ProcessResult runCase(const FailureCase& failure, const fs::path& folder) {
    std::vector<std::string> arguments;
    std::string program = VESTA_ENGINE_PATH;
    if (failure.readOnlyFolder && geteuid() == 0) {
        arguments = {"--reuid=65534", "--regid=65534", "--clear-groups", program};
        program = "/usr/bin/setpriv";
    }
    arguments.insert(arguments.end(), failure.arguments.begin(), failure.arguments.end());
#if defined(VESTA_XVFB_RUN) && defined(VESTA_XDOTOOL)
    std::optional<fs::path> statusFile;
    if (failure.windowed) {
        // With a display the error also waits in its dialog, titled with the
        // message's caption: answered with Enter as a viewer would, each step
        // bounded. The player's own status is read from a file, past the display wrapper.
        std::string command = "timeout 90 " + program;
        for (const std::string& argument : arguments) {
            command += " '" + argument + "'";
        }
        statusFile = folder / "failure-status";
        const std::string caption = failure.message.substr(0, failure.message.find(": "));
        const std::string script =
            command +
            " & player=$!\nwindow=$(timeout 60 " VESTA_XDOTOOL
            " search --sync --onlyvisible --name '^" +
            caption +
            "$' | head -n 1)\ntimeout 30 " VESTA_XDOTOOL
            " windowfocus --sync \"$window\" key Return\nwait $player\necho $? > " +
            statusFile->string() + "\n";
        arguments = {"-a", "-s", "-screen 0 1024x768x24", "bash", "-c", script};
        program = VESTA_XVFB_RUN;
    }
#endif
    // Without an audio device the headless runs still open OpenAL's loopback;
    // the null output keeps its backends from probing the machine.
    setenv("ALSOFT_DRIVERS", "null", 1);
    for (const auto& [name, value] : failure.environment) {
        std::string expanded = value;
        if (expanded.rfind('@', 0) == 0) {
            expanded = folder.string() + expanded.substr(1);
        }
        setenv(name.c_str(), expanded.c_str(), 1);
    }
    if (failure.readOnlyFolder) {
        chmod(folder.c_str(), 0555);
    }
    ProcessResult result = play(folder, arguments, program);
#if defined(VESTA_XVFB_RUN) && defined(VESTA_XDOTOOL)
    if (statusFile) {
        result.exitCode = std::stoi("0" + ReadFile(*statusFile));
    }
#endif
    chmod(folder.c_str(), 0755);
    for (const auto& [name, value] : failure.environment) {
        unsetenv(name.c_str());
    }
    unsetenv("ALSOFT_DRIVERS");
    return result;
}

class FailureMessageTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailureMessageTest, SaysWhyAndEndsWithItsStatus) {
    const FailureCase& failure = GetParam();
    TempDir dir;
    // The unprivileged user must reach the folder to be refused inside it.
    chmod(dir.Path().c_str(), 0755);
    WriteFile(dir / "DefaultConfig.xml", configuration(failure.debug));
    WriteFile(dir / "Main.txt", failure.script);
    if (failure.files) {
        failure.files(dir.Path());
    }
    const ProcessResult result = runCase(failure, dir.Path());
    EXPECT_EQ(result.exitCode, failure.exitCode) << result.err;
    const std::vector<std::string> err = lines(result.err);
    EXPECT_TRUE(std::any_of(err.begin(), err.end(), [&](const std::string& line) {
        return line.rfind(failure.message, 0) == 0;
    })) << result.err;
    // The message is the player's own: no library speaks for it.
    EXPECT_EQ(result.err.find("Warning :"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("libpng"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Faults, FailureMessageTest, ::testing::ValuesIn(failureCases()),
                         [](const auto& param) { return std::string(param.param.name); });

// A list (here the parameters a layer takes) stays inside its message: every
// line after the first is indented, so the next message is still told apart.
TEST(FailureMessageLayoutTest, ListsAreIndentedUnderTheirMessage) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", configuration(false));
    WriteFile(dir / "Main.txt", oneLayer("GFXLayer", "Bogus 1;\r\n"));
    const ProcessResult result = play(dir.Path(), kHeadless);
    EXPECT_EQ(result.exitCode, 1);
    const std::vector<std::string> err = lines(result.err);
    ASSERT_GT(err.size(), 3u) << result.err;
    EXPECT_EQ(err[0].rfind("Night Show: Layer [Near Main.txt(3) - CGfxLayer", 0), 0u);
    EXPECT_EQ(err[1], "  Could not find Parameter [Bogus]");
    for (std::size_t i = 1; i < err.size(); ++i) {
        EXPECT_EQ(err[i].rfind(" ", 0), 0u) << "line " << i << " of\n" << result.err;
    }
    EXPECT_NE(std::find(err.begin(), err.end(), " - Texture"), err.end()) << result.err;
}

}  // namespace
}  // namespace vesta::test
