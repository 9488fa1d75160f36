#include "app/dialogs/SkinnedWindow.h"

#include <SDL.h>
#include <SDL_shape.h>
#include <cstring>

#include "app/dialogs/StartupSkin.h"
#include "platform/Display.h"

namespace vesta {
namespace {

SkinnedFrameHook& frameHook() {
    static SkinnedFrameHook hook;
    return hook;
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// 32-bit pixels: SDL's shape code reads whole words, which a 24-bit surface
// would overrun at its last pixel.
Surface toSurface(const std::vector<std::uint8_t>& rgb, int width, int height) {
    Surface surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_XRGB8888));
    if (!surface) {
        return nullptr;
    }
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB24, rgb.data(), width * 3,
                      SDL_PIXELFORMAT_XRGB8888, surface->pixels, surface->pitch);
    return surface;
}

}  // namespace

void SetSkinnedFrameHook(SkinnedFrameHook hook) {
    frameHook() = std::move(hook);
}

std::unique_ptr<SkinnedWindow>
SkinnedWindow::Open(const std::string& title, const SkinPicture& background, std::string& error) {
    if (!InitScreenVideo(error)) {
        return nullptr;
    }
    const int width = background.width, height = background.height;
    SDL_Window* window =
        SDL_CreateShapedWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                               height, SDL_WINDOW_HIDDEN);
    Surface shape = window ? toSurface(background.rgb, width, height) : nullptr;
    SDL_WindowShapeMode mode{};
    mode.mode = ShapeModeColorKey;
    mode.parameters.colorKey = {0xFF, 0x00, 0xFF, 0xFF};
    if (!window || !shape || SDL_SetWindowShape(window, shape.get(), &mode) != 0) {
        error = window ? SDL_GetError() : std::string("no shaped window: ") + SDL_GetError();
        if (window) {
            SDL_DestroyWindow(window);
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // An accelerated window surface would make SDL recreate the window for
    // OpenGL, shape lost; the plain X11 surface keeps the window as it is.
    const char* accelerated = SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    const std::string previous = accelerated ? accelerated : "";
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_GetWindowSurface(window);
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, accelerated ? previous.c_str() : nullptr);
    return std::unique_ptr<SkinnedWindow>(new SkinnedWindow(window, width, height));
}

SkinnedWindow::SkinnedWindow(SDL_Window* window, int width, int height)
    : m_window(window), m_width(width), m_height(height) {}

SkinnedWindow::~SkinnedWindow() {
    EndDrag();
    SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SkinnedWindow::Show() {
    SDL_ShowWindow(m_window);
    SDL_SetWindowAlwaysOnTop(m_window, SDL_TRUE);
    SDL_RaiseWindow(m_window);
}

std::uint32_t SkinnedWindow::WindowId() const {
    return SDL_GetWindowID(m_window);
}

void SkinnedWindow::Present(const std::vector<std::uint8_t>& rgb) {
    m_shown = rgb;
    SDL_Surface* target = SDL_GetWindowSurface(m_window);
    if (target) {
        Surface frame = toSurface(rgb, m_width, m_height);
        if (frame) {
            SDL_BlitSurface(frame.get(), nullptr, target, nullptr);
            SDL_UpdateWindowSurface(m_window);
        }
    }
    if (frameHook()) {
        frameHook()(*this, m_frame);
    }
    ++m_frame;
}

void SkinnedWindow::BeginDrag(int x, int y) {
    SDL_GetWindowPosition(m_window, &m_dragWindowX, &m_dragWindowY);
    m_dragPointerX = m_dragWindowX + x;
    m_dragPointerY = m_dragWindowY + y;
    m_dragging = true;
    SDL_CaptureMouse(SDL_TRUE);
}

void SkinnedWindow::DragTo(int x, int y) {
    if (!m_dragging) {
        return;
    }
    // The pointer's place on the screen, from the window where it is now.
    int windowX = 0, windowY = 0;
    SDL_GetWindowPosition(m_window, &windowX, &windowY);
    SDL_SetWindowPosition(m_window, m_dragWindowX + windowX + x - m_dragPointerX,
                          m_dragWindowY + windowY + y - m_dragPointerY);
}

void SkinnedWindow::EndDrag() {
    if (m_dragging) {
        SDL_CaptureMouse(SDL_FALSE);
        m_dragging = false;
    }
}

}  // namespace vesta
