#pragma once
// The one window of the player, over SDL2. Frames are drawn offscreen by the
// render module and shown scaled into this window.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace vesta {

struct WindowEvent {
    enum class Type { Close, KeyDown, Move, Size };
    Type type = Type::Close;
    int key = 0;  // KeyDown: the Windows virtual-key code (Escape 27, F1 0x70 ...)
};

// The SDL window an event belongs to; 0 for events of no window.
std::uint32_t EventWindowId(const SDL_Event& event);

class PlatformWindow {
public:
    // Opens a hidden OpenGL-capable window; a borderless desktop-sized one
    // when `fullScreen`. Null on failure, with the reason in `error`.
    static std::unique_ptr<PlatformWindow> Open(const std::string& title, int width, int height,
                                                bool fullScreen, std::string& error);
    ~PlatformWindow();
    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;

    void Show();
    void Hide();
    void SetClientSize(int width, int height);
    // The client area in screen coordinates.
    void ScreenRect(int& left, int& top, int& right, int& bottom) const;
    // The drawable size in pixels.
    void DrawableSize(int& width, int& height) const;
    bool FullScreen() const { return m_fullScreen; }
    SDL_Window* Native() const { return m_window; }

    // Hands every pending event to `handler` without waiting; events of the
    // player's other windows (dialogs, the log window) go to `others`.
    void PollEvents(const std::function<void(const WindowEvent&)>& handler,
                    const std::function<void(const SDL_Event&)>& others = {});

    // The Windows virtual-key code of an SDL key, or 0.
    static int VirtualKey(std::int32_t sdlKey);

private:
    PlatformWindow(SDL_Window* window, bool fullScreen)
        : m_window(window), m_fullScreen(fullScreen) {}

    SDL_Window* m_window = nullptr;
    bool m_fullScreen = false;
};

}  // namespace vesta
