#include "platform/Display.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace vesta {
namespace {

// Sets an environment variable for the scope, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// With no server at DISPLAY, SDL falls back to a driver without a screen: a
// window there would never be seen, so the start is refused and says where
// no server answered. Asked for by name, that driver is allowed.
TEST(DisplayTest, VideoWithoutAServerIsRefusedUnlessAskedFor) {
    const ScopedEnv display("DISPLAY", ":64999");
    const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    {
        const ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
        std::string error;
        EXPECT_FALSE(InitScreenVideo(error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    }
    const ScopedEnv driver("SDL_VIDEODRIVER", "offscreen");
    std::string error;
    EXPECT_TRUE(InitScreenVideo(error)) << error;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
}  // namespace vesta
