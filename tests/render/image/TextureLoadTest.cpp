// Loading pictures into textures: names, sharing, alpha, log lines.

#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>

#include "../../support/EngineState.h"
#include "../../support/TestSupport.h"
#include "PictureWriters.h"
#include "log/Log.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

// Keeps what it is given, to check the pixels a load hands to the device.
class CapturingTexture : public Texture {
public:
    explicit CapturingTexture(RenderModule& module) : Texture(module) {}
    bool CreateRenderTarget(int, const char*, std::uint32_t) override { return false; }
    std::uint8_t* LockPixels(int) override { return nullptr; }
    void UnlockPixels() override {}
    void SetCubeFace(int) override {}
    bool Upload(const std::uint8_t* pixels, int width, int height, bool alpha, bool) override {
        uploaded.assign(pixels, pixels + std::size_t(width) * height * (alpha ? 4 : 3));
        hasAlpha = alpha;
        return true;
    }
    bool IsShared(const std::string&) const override { return false; }
    bool DitherTo16(std::uint8_t*, bool) override { return false; }

    std::vector<std::uint8_t> uploaded;
    bool hasAlpha = false;
};

class TextureLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        module.Initialize(nullptr, false, 640, 480, 32);
        module.ClearCalls();
        CaptureLog(lines);
    }
    void TearDown() override {
        SetLogSink(nullptr, nullptr);
        ResetEngineState();
    }

    std::size_t countLines(const std::string& text) const {
        return std::size_t(std::count(lines.begin(), lines.end(), text));
    }
    bool hasLineStarting(const std::string& text) const {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.rfind(text, 0) == 0; });
    }
    std::vector<const RecordedCall*> uploads() const {
        std::vector<const RecordedCall*> found;
        for (const RecordedCall& call : module.Calls()) {
            if (call.name == "CreateTexture") {
                found.push_back(&call);
            }
        }
        return found;
    }

    TempDir folder;
    ScopedChdir inFolder{folder.Path()};
    RecordingModule module;
    std::vector<std::string> lines;
};

TEST_F(TextureLoadTest, TheNameDropsTheFolderAndASecondLoadIsCached) {
    WriteFile(folder / "Logo.PNG", SimplePng(4, 2));
    Texture* first = module.CreateTexture();
    ASSERT_TRUE(first->Load("Gfx\\Logo.PNG"));
    EXPECT_EQ(first->Name(), "logo.png");
    EXPECT_EQ(first->Width(), 4);
    EXPECT_EQ(first->Height(), 2);
    EXPECT_TRUE(hasLineStarting("Loaded [ logo.png ]. (4x2x32)("));

    // Gone from the disk: a second load must not decode it again.
    std::filesystem::remove(folder / "Logo.PNG");
    Texture* second = module.CreateTexture();
    ASSERT_TRUE(second->Load("logo.png"));
    EXPECT_EQ(countLines("Cached [ logo.png ] map."), 1u);
    // The second binds the device texture of the first.
    EXPECT_EQ(uploads().size(), 1u);
    EXPECT_EQ(second->Handle(), first->Handle());
    EXPECT_EQ(module.SharedTextures().Size(), 1u);
    EXPECT_EQ(second->Width(), 4);
}

TEST_F(TextureLoadTest, WithAndWithoutAnAlphaMapAreTwoDeviceTextures) {
    WriteFile(folder / "logo.png", SimplePng(4, 2));
    WriteFile(folder / "logo_alpha.png", SimplePng(2, 1));
    Texture* plain = module.CreateTexture();
    ASSERT_TRUE(plain->Load("logo.png"));
    Texture* masked = module.CreateTexture();
    masked->SetAlphaMap("Gfx/Logo_Alpha.png", 255);
    EXPECT_EQ(masked->AlphaMapName(), "logo_alpha.png");
    ASSERT_TRUE(masked->Load("logo.png"));
    EXPECT_EQ(countLines("Loaded [ logo_alpha.png ] alphamap. (2x1x32)"), 1u);
    EXPECT_EQ(module.SharedTextures().Size(), 2u);
    ASSERT_EQ(uploads().size(), 2u);
    EXPECT_NE(masked->Handle(), plain->Handle());

    Texture* again = module.CreateTexture();
    again->SetAlphaMap("logo_alpha.png");
    ASSERT_TRUE(again->Load("logo.png"));
    EXPECT_EQ(countLines("Cached [ logo.png ] map."), 1u);
    EXPECT_EQ(countLines("Cached [ logo_alpha.png ] map."), 1u);
    EXPECT_EQ(module.SharedTextures().Size(), 2u);
}

TEST_F(TextureLoadTest, AnAlphaMapIsMergedAndAPicturesOwnAlphaUsedWithoutOne) {
    PngPicture rgba{2,  1, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {10, 20, 30, 40, 50, 60, 70, 80}, {},
                    {}, {}};
    WriteFile(folder / "sprite.png", EncodePng(rgba));
    WriteFile(folder / "mask.png", SimplePng(1, 1));  // its one pixel has blue 128

    CapturingTexture own(module);
    ASSERT_TRUE(own.Load("sprite.png"));
    EXPECT_TRUE(own.hasAlpha);
    EXPECT_EQ(own.uploaded, (std::vector<std::uint8_t>{30, 20, 10, 40, 70, 60, 50, 80}));

    CapturingTexture masked(module);
    masked.SetAlphaMap("mask.png");
    ASSERT_TRUE(masked.Load("sprite.png"));
    EXPECT_TRUE(masked.hasAlpha);
    // The alpha map's first byte (blue, 128) for every pixel, the picture's own alpha unused.
    EXPECT_EQ(masked.uploaded, (std::vector<std::uint8_t>{30, 20, 10, 128, 70, 60, 50, 128}));
}

TEST_F(TextureLoadTest, UnsupportedTypesStopWithTheirMessage) {
    Texture* texture = module.CreateTexture();
    try {
        texture->LoadOrRaise("Gfx\\X.BMP");
        FAIL() << "no error";
    } catch (const CUserException& error) {
        EXPECT_STREQ(error.Text(),
                     "LoadGFX : Unable to load file [Gfx\\X.BMP], unsupported file type [bmp]");
    }
}

TEST_F(TextureLoadTest, AGreyJpegStopsTheLoad) {
    const std::vector<std::uint8_t> grey(64, 90);
    WriteFile(folder / "grey.jpg", EncodeJpeg(grey, 8, 8, 1, false));
    Texture* texture = module.CreateTexture();
    try {
        texture->LoadOrRaise("Grey.JPG");
        FAIL() << "no error";
    } catch (const CUserException& error) {
        EXPECT_STREQ(error.Text(), "File [Grey.JPG] is not valid JPEG file. (24Bits files only)");
    }
    EXPECT_TRUE(uploads().empty());
}

}  // namespace
}  // namespace vesta::test
