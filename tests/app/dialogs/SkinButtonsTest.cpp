// The skinned startup dialog without a window: its buttons' rules, the
// stored choices, and the faults of a skin.

#include <gtest/gtest.h>

#include "SkinPictures.h"
#include "TestSupport.h"
#include "app/dialogs/SkinStore.h"
#include "app/dialogs/StartupSkin.h"
#include "log/Log.h"
#include "xml/XmlReader.h"

namespace vesta::test {
namespace {

using Reaction = SkinButtonSet::Reaction;

std::array<SkinRect, kSkinButtonCount> testPlaces() {
    std::array<SkinRect, kSkinButtonCount> places;
    for (int i = 0; i < kSkinButtonCount; ++i) {
        places[i] = SkinButtonPlace(i);
    }
    return places;
}

TEST(SkinButtonsTest, FirstStartChoosesTheSmallestModeInFullScreen) {
    const SkinButtonSet buttons(testPlaces(), SkinStoredChoices{});
    const SkinChoice choice = buttons.Choice();
    EXPECT_FALSE(choice.started);
    EXPECT_EQ(choice.width, 640);
    EXPECT_EQ(choice.height, 480);
    EXPECT_EQ(choice.depth, 16);
    EXPECT_TRUE(choice.fullScreen);
    EXPECT_EQ(buttons.Shown(SkinButton::Res640), SkinPictureKind::Enabled);
    EXPECT_EQ(buttons.Shown(SkinButton::Res800), SkinPictureKind::Disabled);
}

TEST(SkinButtonsTest, ResolutionAndDepthAreRadioButtonsAndTheRestToggle) {
    SkinButtonSet buttons(testPlaces(), SkinStoredChoices{});
    EXPECT_EQ(buttons.Click(SkinButton::Res800), Reaction::None);
    EXPECT_EQ(buttons.Click(SkinButton::Res800), Reaction::None);  // stays chosen
    EXPECT_TRUE(buttons.Selected(SkinButton::Res800));
    EXPECT_FALSE(buttons.Selected(SkinButton::Res640));
    buttons.Click(SkinButton::Depth32);
    buttons.Click(SkinButton::FullScreen);  // chosen before: now off
    EXPECT_EQ(buttons.Click(SkinButton::VestaWS), Reaction::OpenWebSite);
    EXPECT_FALSE(buttons.Selected(SkinButton::VestaWS));
    const SkinChoice choice = buttons.Choice();
    EXPECT_EQ(choice.width, 800);
    EXPECT_EQ(choice.height, 600);
    EXPECT_EQ(choice.depth, 32);
    EXPECT_FALSE(choice.fullScreen);

    // Hover shows only on a button that is not chosen, strictly inside it.
    const SkinRect place = SkinButtonPlace(2);
    EXPECT_FALSE(buttons.PointAt(place.left, place.top + 2));
    EXPECT_TRUE(buttons.PointAt(place.left + 1, place.top + 2));
    EXPECT_EQ(buttons.Hovered(), SkinButton::Res1024);
    EXPECT_EQ(buttons.Shown(SkinButton::Res1024), SkinPictureKind::Hover);
    EXPECT_EQ(buttons.Click(SkinButton::Start), Reaction::Close);
    EXPECT_TRUE(buttons.Choice().started);
}

TEST(SkinButtonsTest, EscapeQuitsAndEnterStarts) {
    SkinButtonSet quitting(testPlaces(), SkinStoredChoices{2, 1, false});
    EXPECT_EQ(quitting.QuitKey(), Reaction::Close);
    EXPECT_FALSE(quitting.Choice().started);
    EXPECT_EQ(quitting.Choice().width, 1024);
    SkinButtonSet starting(testPlaces(), SkinStoredChoices{});
    EXPECT_EQ(starting.StartKey(), Reaction::Close);
    EXPECT_TRUE(starting.Choice().started);
}

TEST(SkinStoreTest, ChoicesComeBackAndBadValuesReadAsDefaults) {
    TempDir dir;
    const auto file = dir / "deep/folder/Startup.ini";
    EXPECT_EQ(ReadSkinChoices(file).resolution, 0);
    EXPECT_TRUE(ReadSkinChoices(file).fullScreen);
    std::string error;
    ASSERT_TRUE(WriteSkinChoices(file, {2, 1, false}, error)) << error;
    const SkinStoredChoices read = ReadSkinChoices(file);
    EXPECT_EQ(read.resolution, 2);
    EXPECT_EQ(read.pixelDepth, 1);
    EXPECT_FALSE(read.fullScreen);

    WriteFile(file, "[Other]\nResolution=1\n[Startup]\nResolution=7\nPixelDepth=-1\n");
    EXPECT_EQ(ReadSkinChoices(file).resolution, 0);
    EXPECT_EQ(ReadSkinChoices(file).pixelDepth, 0);

    // A file where the folder should be: a reason, no exception.
    WriteFile(dir / "blocked", "");
    EXPECT_FALSE(WriteSkinChoices(dir / "blocked/Startup.ini", {}, error));
    EXPECT_NE(error.find("blocked"), std::string::npos) << error;
}

TEST(SkinStoreTest, FolderFollowsXdgConfigHome) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/tmp/vesta-config", 1);
    EXPECT_EQ(SkinStorePath(), "/tmp/vesta-config/Vesta Group/Cobalt by Vesta Group/Startup.ini");
    setenv("XDG_CONFIG_HOME", "", 1);
    setenv("HOME", "/home/viewer", 1);
    EXPECT_EQ(SkinStorePath(),
              "/home/viewer/.config/Vesta Group/Cobalt by Vesta Group/Startup.ini");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
}

// The text the skin's fault raises, or "" when the skin loads.
std::string loadFault(const std::string& xml) {
    const auto document = AdvXMLParser::Parse(xml.data(), xml.size());
    try {
        const StartupSkin skin = LoadStartupSkin(document->Root().FindChild("SimpleStartup"));
        EXPECT_EQ(skin.places[8].left, SkinButtonPlace(8).left);
        EXPECT_EQ(skin.places[8].bottom, SkinButtonPlace(8).bottom);
        return "";
    } catch (const CAppError& error) {
        return error.Text();
    } catch (const CUserException& error) {
        return error.Text();
    }
}

TEST(StartupSkinTest, AFaultySkinStopsWithAMessageNamingWhatIsWrong) {
    TempDir dir;
    ScopedChdir inside(dir.Path());
    WriteTestSkin();
    EXPECT_EQ(loadFault(TestSkinConfig()), "");
    EXPECT_NE(loadFault(TestSkinConfig("gone.png")).find("[gone.png]"), std::string::npos);
    WritePng("wide.png", 9, 8, 3, FlatPicture(9, 8, kSkinIdle));
    EXPECT_EQ(loadFault(TestSkinConfig("wide.png")),
              "Error : ButtonGFX [wide.png] has not a correct size (is 9x8, should be 8x8)");
    std::string noColour = TestSkinConfig();
    noColour.replace(noColour.find("0x200080"), 8, "0x123456");
    EXPECT_EQ(loadFault(noColour),
              "Could not find rectangle coordinates for button [VestaWS], color: 0x00123456");
    WriteTestSkin(kSkinWidth - 1);
    EXPECT_EQ(loadFault(TestSkinConfig()),
              "Error : ButtonMapping has not a correct size (is 79x48, should be 80x48)");
}

}  // namespace
}  // namespace vesta::test
