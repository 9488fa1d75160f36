// The skinned startup dialogs on a virtual X server, driven by synthetic SDL
// events. Screenshots are taken from the X server's own screen, so that they
// show the window's shape as a viewer sees it, and left in dialog-shots.

#include <SDL.h>
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "ScreenGrab.h"
#include "SkinPictures.h"
#include "app/dialogs/SimpleStartup2Dialog.h"
#include "app/dialogs/SimpleStartupDialog.h"
#include "app/dialogs/SkinStore.h"
#include "app/dialogs/SkinnedWindow.h"
#include "xml/XmlReader.h"

namespace vesta::test {
namespace {

// The screen around `window`, `margin` pixels beyond each side, kept as a PNG.
ScreenGrab grabScreen(SDL_Window* window, int margin, const std::string& name) {
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &width, &height);
    SDL_Rect screen{};
    SDL_GetDisplayBounds(0, &screen);
    const SDL_Rect wanted{x - margin, y - margin, width + 2 * margin, height + 2 * margin};
    SDL_Rect common{};
    // X refuses (and ends the test program) a grab reaching past the screen.
    const bool onScreen = SDL_IntersectRect(&screen, &wanted, &common) && common.w == wanted.w &&
                          common.h == wanted.h;
    ScreenGrab grab = onScreen ? GrabScreen(wanted.x, wanted.y, wanted.w, wanted.h)
                               : ScreenGrab{wanted.x, wanted.y, wanted.w, wanted.h, {}};
    if (grab.rgb.empty()) {
        ADD_FAILURE() << "no screen to grab";
        grab.rgb.assign(static_cast<std::size_t>(grab.width) * grab.height * 3, 0);
    }
    std::filesystem::create_directories(VESTA_SHOT_DIR);
    WritePng(std::filesystem::path(VESTA_SHOT_DIR) / (name + ".png"), grab.width, grab.height, 3,
             grab.rgb);
    return grab;
}

// Steps run a few frames apart inside the dialog's loop.
class SkinDriver {
public:
    using Step = std::function<void(SkinnedWindow&)>;
    SkinDriver() {
        SetSkinnedFrameHook([this](SkinnedWindow& window, int frame) { run(window, frame); });
    }
    ~SkinDriver() { SetSkinnedFrameHook({}); }

    SkinDriver& Then(Step step) {
        m_steps.push_back(std::move(step));
        return *this;
    }
    SkinDriver& Move(int x, int y) {
        return Then([=](SkinnedWindow& window) { push(window, SDL_MOUSEMOTION, x, y); });
    }
    SkinDriver& Press(int x, int y) {
        return Then([=](SkinnedWindow& window) { push(window, SDL_MOUSEBUTTONDOWN, x, y); });
    }
    SkinDriver& Release(int x, int y) {
        return Then([=](SkinnedWindow& window) { push(window, SDL_MOUSEBUTTONUP, x, y); });
    }
    SkinDriver& Click(const SkinRect& place) {
        const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
        return Move(x, y).Press(x, y).Release(x, y);
    }
    SkinDriver& Key(SDL_Keycode key) {
        return Then([=](SkinnedWindow& window) {
            SDL_Event event{};
            event.type = SDL_KEYDOWN;
            event.key.windowID = window.WindowId();
            event.key.keysym.sym = key;
            event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
            SDL_PushEvent(&event);
        });
    }

private:
    static void push(SkinnedWindow& window, Uint32 type, int x, int y) {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION) {
            event.motion.windowID = window.WindowId();
            event.motion.x = x;
            event.motion.y = y;
        } else {
            event.button.windowID = window.WindowId();
            event.button.button = SDL_BUTTON_LEFT;
            event.button.x = x;
            event.button.y = y;
        }
        SDL_PushEvent(&event);
    }

    void run(SkinnedWindow& window, int frame) {
        if (frame % 3 == 2 && m_next < m_steps.size()) {
            m_steps[m_next++](window);
        }
        if (frame == 300) {
            ADD_FAILURE() << "the skinned dialog is still open at step " << m_next;
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    }

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
};

void expectColour(const std::uint8_t* pixel, const unsigned char* rgb, const char* what) {
    EXPECT_EQ(pixel[0], rgb[0]) << what;
    EXPECT_EQ(pixel[1], rgb[1]) << what;
    EXPECT_EQ(pixel[2], rgb[2]) << what;
}

class SkinScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestSkin();
        const std::string xml = TestSkinConfig();
        const auto document = AdvXMLParser::Parse(xml.data(), xml.size());
        m_skin = LoadStartupSkin(document->Root().FindChild("SimpleStartup"));
    }

    std::optional<SkinChoice> run() {
        std::string error;
        std::optional<SkinChoice> choice = RunSimpleStartup(m_skin, "Skin Test", m_store, error);
        EXPECT_TRUE(choice) << error;
        return choice;
    }

    TempDir m_dir;
    ScopedChdir m_inside{m_dir.Path()};
    std::filesystem::path m_store = m_dir / "config/Startup.ini";
    StartupSkin m_skin;
};

TEST_F(SkinScreenTest, ShapedWindowShowsItsButtonsFollowsClicksAndDrags) {
    const SkinRect res800 = SkinButtonPlace(1), depth32 = SkinButtonPlace(4);
    constexpr int kMargin = 12;
    int movedX = 0, movedY = 0;
    SkinDriver driver;
    // The real pointer away from the window, so that only these events reach it.
    driver.Then([](SkinnedWindow&) { SDL_WarpMouseGlobal(0, 0); })
        .Move((res800.left + res800.right) / 2, (res800.top + res800.bottom) / 2)
        .Then([&](SkinnedWindow& window) {
            const ScreenGrab shot = grabScreen(window.Native(), kMargin, "skin-first-hover");
            auto at = [&](int x, int y) { return shot.At(x + kMargin, y + kMargin); };
            expectColour(at(res800.left + 3, res800.top + 3), kSkinHover,
                         "Res800 under the pointer");
            expectColour(at(SkinButtonPlace(0).left + 3, res800.top + 3), kSkinChosen, "Res640");
            expectColour(at(SkinButtonPlace(3).left + 3, depth32.top + 3), kSkinChosen, "Depth16");
            expectColour(at(40, 4), kSkinBack, "the background");
            // Cut away: the screen behind shows, neither magenta nor the picture.
            for (const auto& [x, y] : {std::pair{3, 3}, std::pair{78, 30}}) {
                const std::uint8_t* cut = at(x, y);
                EXPECT_FALSE(cut[0] == 255 && cut[1] == 0 && cut[2] == 255) << x << "," << y;
                EXPECT_FALSE(std::equal(cut, cut + 3, kSkinBack)) << x << "," << y;
            }
        })
        .Click(res800)
        .Click(res800)
        .Click(depth32)
        .Click(SkinButtonPlace(5))  // full screen was chosen: now off
        .Then([&](SkinnedWindow& window) {
            SDL_GetWindowPosition(window.Native(), &movedX, &movedY);
        })
        // The pointer itself drags: SDL follows the real one while it is captured.
        .Then([&](SkinnedWindow&) { SDL_WarpMouseGlobal(movedX + 40, movedY + 6); })
        .Press(40, 6)
        .Then([&](SkinnedWindow&) { SDL_WarpMouseGlobal(movedX + 70, movedY + 30); })
        .Then([](SkinnedWindow&) {})
        .Release(40, 6)
        .Then([&](SkinnedWindow& window) {
            int x = 0, y = 0;
            SDL_GetWindowPosition(window.Native(), &x, &y);
            EXPECT_EQ(x - movedX, 30);
            EXPECT_EQ(y - movedY, 24);
            const ScreenGrab shot = grabScreen(window.Native(), kMargin, "skin-chosen-moved");
            expectColour(shot.At(res800.left + 3 + kMargin, res800.top + 3 + kMargin), kSkinChosen,
                         "Res800 after the drag");
        })
        .Key(SDLK_RETURN);
    const std::optional<SkinChoice> choice = run();
    ASSERT_TRUE(choice);
    EXPECT_TRUE(choice->started);
    EXPECT_EQ(choice->width, 800);
    EXPECT_EQ(choice->height, 600);
    EXPECT_EQ(choice->depth, 32);
    EXPECT_FALSE(choice->fullScreen);
    EXPECT_EQ(ReadFile(m_store), "[Startup]\nResolution=1\nPixelDepth=1\nFullscreen=0\n");
}

TEST_F(SkinScreenTest, StoredChoicesArePreselectedAtTheNextStartAndEscapeQuits) {
    std::string error;
    ASSERT_TRUE(WriteSkinChoices(m_store, {2, 1, false}, error)) << error;
    SkinDriver driver;
    driver
        .Then([&](SkinnedWindow& window) {
            const ScreenGrab shot = grabScreen(window.Native(), 0, "skin-next-start");
            auto at = [&](int index) {
                return shot.At(SkinButtonPlace(index).left + 3, SkinButtonPlace(index).top + 3);
            };
            expectColour(at(2), kSkinChosen, "Res1024");
            expectColour(at(0), kSkinIdle, "Res640");
            expectColour(at(4), kSkinChosen, "Depth32");
            expectColour(at(5), kSkinIdle, "FullScreen");
        })
        .Key(SDLK_ESCAPE);
    const std::optional<SkinChoice> choice = run();
    ASSERT_TRUE(choice);
    EXPECT_FALSE(choice->started);
    EXPECT_EQ(choice->width, 1024);
}

// A folder that cannot be made: the dialog still answers, with a warning.
TEST_F(SkinScreenTest, AStoreThatCannotBeWrittenOnlyWarns) {
    WriteFile(m_dir / "config", "a file, not a folder");
    SkinDriver driver;
    driver.Key(SDLK_SPACE);
    const std::optional<SkinChoice> choice = run();
    ASSERT_TRUE(choice);
    EXPECT_TRUE(choice->started);
}

// The showcase's own skin, when the build has made it: a picture to look at,
// with the pointer over Start.
TEST(ShowcaseSkinScreenTest, ShowcaseSkinOnScreen) {
    const std::filesystem::path stage = VESTA_SHOWCASE_STAGE;
    if (!std::filesystem::exists(stage / "DefaultConfig.xml")) {
        GTEST_SKIP() << "the showcase is not built";
    }
    ScopedChdir inside(stage);
    const std::string xml = ReadFile(stage / "DefaultConfig.xml");
    const auto document = AdvXMLParser::Parse(xml.data(), xml.size());
    const StartupSkin skin = LoadStartupSkin(document->Root().FindChild("SimpleStartup"));
    const SkinRect start = skin.places[static_cast<std::size_t>(SkinButton::Start)];
    TempDir config;
    SkinDriver driver;
    driver.Then([](SkinnedWindow&) { SDL_WarpMouseGlobal(0, 0); })
        .Move((start.left + start.right) / 2, (start.top + start.bottom) / 2)
        .Then([](SkinnedWindow& window) { grabScreen(window.Native(), 16, "skin-showcase"); })
        .Key(SDLK_ESCAPE);
    std::string error;
    EXPECT_TRUE(RunSimpleStartup(skin, "Vesta Showcase", config / "Startup.ini", error)) << error;
}

TEST(Startup2ScreenTest, ListsAndButtonSitWhereTheLayoutPutsThem) {
    TempDir dir;
    ScopedChdir inside(dir.Path());
    std::vector<unsigned char> picture;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            picture.push_back(static_cast<unsigned char>(40 + x / 4));
            picture.push_back(static_cast<unsigned char>(20 + y / 4));
            picture.push_back(90);
        }
    }
    WriteJpeg("back.jpg", 320, 200, picture);
    const std::string xml = "<SimpleStartup2><BackImage Name=\"back.jpg\"/>"
                            "<Resolution X=\"20\" Y=\"30\" W=\"120\" H=\"100\"/>"
                            "<Bpp X=\"170\" Y=\"30\" W=\"120\" H=\"80\"/>"
                            "<Start X=\"110\" Y=\"150\" W=\"100\" H=\"28\" Text=\"Go!\"/>"
                            "</SimpleStartup2>";
    const auto document = AdvXMLParser::Parse(xml.data(), xml.size());
    const Startup2Layout layout = ReadStartup2Layout(document->Root());
    DialogDriver driver;
    std::optional<DialogWindow::Place> start;
    driver.Shot("startup2-opened")
        .Then([&](DialogWindow& window) { start = window.PlaceOf("Start"); })
        .Click("Resolution")
        .Shot("startup2-resolution-open")
        .Click("Resolution/1024x768")
        .Click("Bpp")
        .Click("Bpp/32 Bits")
        .Shot("startup2-chosen")
        .Click("Start");
    std::string error;
    const std::optional<Startup2Choice> choice = RunSimpleStartup2(layout, "Startup Two", error);
    ASSERT_TRUE(choice) << error;
    EXPECT_EQ(choice->width, 1024);
    EXPECT_EQ(choice->height, 768);
    EXPECT_EQ(choice->depth, 32);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->left, 110);
    EXPECT_EQ(start->top, 150);
    EXPECT_EQ(start->right, 210);
}

}  // namespace
}  // namespace vesta::test
