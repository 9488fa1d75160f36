#include "platform/Paths.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/MappedFile.h"

namespace vesta::test {
namespace {

TEST(PathsTest, ResolvesEachComponentWithoutRegardToCase) {
    TempDir dir;
    WriteFile(dir / "Data/Sub Folder/Tex.PNG", "x");
    const std::string base = dir.Path().string();
    EXPECT_EQ(ResolveExistingFile(base + "\\data\\SUB FOLDER\\tex.png"),
              base + "/Data/Sub Folder/Tex.PNG");
    EXPECT_EQ(ResolveExistingFile(base + "/Data/Sub Folder/Tex.PNG"),
              base + "/Data/Sub Folder/Tex.PNG");
    EXPECT_EQ(ResolveExistingFile(base + "/Data/Sub Folder/../Sub Folder/tex.png"),
              base + "/Data/Sub Folder/../Sub Folder/Tex.PNG");
    EXPECT_FALSE(ResolveExistingFile(base + "/Data/Sub Folder"));
    EXPECT_FALSE(ResolveExistingFile(base + "/Data/Tex.PNG/more"));
    EXPECT_FALSE(ResolveExistingFile(base + "/Data/Missing.png"));
    EXPECT_FALSE(ResolveExistingFile(""));
}

TEST(PathsTest, RelativeNamesResolveAgainstTheCurrentFolder) {
    TempDir dir;
    ScopedChdir here(dir.Path());
    WriteFile(dir / "Gfx/Logo.png", "x");
    EXPECT_EQ(ResolveExistingFile("GFX\\LOGO.PNG"), "Gfx/Logo.png");
    EXPECT_EQ(ResolveExistingFile("./gfx/logo.png"), "Gfx/Logo.png");
}

TEST(PathsTest, AsciiCaseHelpersLeaveOtherBytesAlone) {
    EXPECT_EQ(AsciiLower("MiXeD.PAK \xC9"), "mixed.pak \xC9");
    EXPECT_TRUE(AsciiEqualsIgnoreCase("Data.PAK", "data.pak"));
    EXPECT_FALSE(AsciiEqualsIgnoreCase("\xC9", "\xE9"));
    EXPECT_FALSE(AsciiEqualsIgnoreCase("a", "ab"));
}

TEST(MappedFileTest, MapsContentsAndTime) {
    TempDir dir;
    WriteFile(dir / "f", "contents");
    MappedFile file;
    ASSERT_TRUE(file.Open((dir / "f").string()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Data()), file.Size()), "contents");
    EXPECT_GT(file.ModifiedTime(), 0);
    MappedFile moved = std::move(file);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(moved.IsOpen());
    EXPECT_FALSE(MappedFile().Open(dir.Path().string()));  // a folder
    EXPECT_FALSE(MappedFile().Open((dir / "missing").string()));
}

}  // namespace
}  // namespace vesta::test
