#pragma once
// A window cut to the shape of a picture: every pixel of the background that
// is not 0xFF00FF belongs to the window, the rest is cut away (the X shape
// extension through SDL's shaped windows), with no frame or title bar. It
// shows whole frames of the picture's size and can be dragged by hand.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Surface;

namespace vesta {

struct SkinPicture;
class SkinnedWindow;

// Tests watch and drive the skinned dialog through this: called after every
// frame it shows, with the frame's number (0 first).
using SkinnedFrameHook = std::function<void(SkinnedWindow& window, int frame)>;
void SetSkinnedFrameHook(SkinnedFrameHook hook);

class SkinnedWindow {
public:
    // Centred on the screen, hidden until Show. Null (with the reason in
    // `error`) when no window can be made.
    static std::unique_ptr<SkinnedWindow> Open(const std::string& title,
                                               const SkinPicture& background, std::string& error);
    ~SkinnedWindow();
    SkinnedWindow(const SkinnedWindow&) = delete;
    SkinnedWindow& operator=(const SkinnedWindow&) = delete;

    void Show();
    // RGB rows of the window's size, top row first.
    void Present(const std::vector<std::uint8_t>& rgb);
    const std::vector<std::uint8_t>& Shown() const { return m_shown; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // A drag follows the pointer from where it was pressed (window pixels);
    // the pointer is captured meanwhile so that it can leave the window.
    void BeginDrag(int x, int y);
    void DragTo(int x, int y);
    void EndDrag();
    bool Dragging() const { return m_dragging; }

    std::uint32_t WindowId() const;
    SDL_Window* Native() const { return m_window; }

private:
    SkinnedWindow(SDL_Window* window, int width, int height);

    SDL_Window* m_window;
    int m_width, m_height;
    std::vector<std::uint8_t> m_shown;
    int m_frame = 0;
    bool m_dragging = false;
    int m_dragPointerX = 0, m_dragPointerY = 0;  // screen pixels at the press
    int m_dragWindowX = 0, m_dragWindowY = 0;
};

}  // namespace vesta
