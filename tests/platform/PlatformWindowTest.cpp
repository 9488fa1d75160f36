// The window's events as the application sees them: keys as virtual-key
// codes, closing as a close event. Runs under a virtual X server.

#include "platform/PlatformWindow.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <vector>

namespace vesta::test {
namespace {

std::vector<WindowEvent> pump(PlatformWindow& window) {
    std::vector<WindowEvent> events;
    window.PollEvents([&](const WindowEvent& event) { events.push_back(event); });
    return events;
}

void pushKey(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

TEST(PlatformWindowTest, EscapeFunctionKeysAndClosingArriveAsTheirEvents) {
    std::string error;
    auto window = PlatformWindow::Open("Test", 320, 240, false, error);
    ASSERT_TRUE(window) << error;
    window->Show();
    pump(*window);  // what the window manager says on showing
    pushKey(SDLK_ESCAPE);
    pushKey(SDLK_F2);
    pushKey(SDLK_INSERT);  // no meaning to the player
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    std::vector<WindowEvent> events;
    for (const WindowEvent& event : pump(*window)) {
        if (event.type == WindowEvent::Type::KeyDown || event.type == WindowEvent::Type::Close) {
            events.push_back(event);
        }
    }
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].key, 27);
    EXPECT_EQ(events[1].key, 0x71);
    EXPECT_EQ(events[2].type, WindowEvent::Type::Close);
}

TEST(PlatformWindowTest, TheClientAreaHasTheModeSize) {
    std::string error;
    auto window = PlatformWindow::Open("Test", 400, 300, false, error);
    ASSERT_TRUE(window) << error;
    int width = 0, height = 0;
    window->DrawableSize(width, height);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);
}

}  // namespace
}  // namespace vesta::test
