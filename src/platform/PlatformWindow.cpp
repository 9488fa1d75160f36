#include "platform/PlatformWindow.h"

#include <SDL.h>

#include "platform/Display.h"

namespace vesta {
namespace {

constexpr int kVirtualKeyF1 = 0x70;

}  // namespace

std::uint32_t EventWindowId(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    default:
        return 0;
    }
}

std::unique_ptr<PlatformWindow> PlatformWindow::Open(const std::string& title, int width,
                                                     int height, bool fullScreen,
                                                     std::string& error) {
    if (!InitScreenVideo(error)) {
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Depth and stencil live in the offscreen frame; the window only shows it.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!window) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    if (fullScreen) {
        SDL_ShowCursor(SDL_DISABLE);
    }
    return std::unique_ptr<PlatformWindow>(new PlatformWindow(window, fullScreen));
}

PlatformWindow::~PlatformWindow() {
    SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void PlatformWindow::Show() {
    SDL_ShowWindow(m_window);
}

void PlatformWindow::Hide() {
    SDL_HideWindow(m_window);
}

void PlatformWindow::SetClientSize(int width, int height) {
    if (!m_fullScreen) {
        SDL_SetWindowSize(m_window, width, height);
    }
}

void PlatformWindow::ScreenRect(int& left, int& top, int& right, int& bottom) const {
    int width = 0, height = 0;
    SDL_GetWindowPosition(m_window, &left, &top);
    SDL_GetWindowSize(m_window, &width, &height);
    right = left + width;
    bottom = top + height;
}

void PlatformWindow::DrawableSize(int& width, int& height) const {
    SDL_GL_GetDrawableSize(m_window, &width, &height);
}

int PlatformWindow::VirtualKey(std::int32_t sdlKey) {
    if (sdlKey == SDLK_ESCAPE) {
        return 27;
    }
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) {
        return kVirtualKeyF1 + (sdlKey - SDLK_F1);
    }
    // Letters are their capital's code, whatever the shift state.
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) {
        return 'A' + (sdlKey - SDLK_a);
    }
    switch (sdlKey) {
    case SDLK_SPACE:
        return 0x20;
    case SDLK_PAGEUP:
        return 0x21;
    case SDLK_PAGEDOWN:
        return 0x22;
    case SDLK_HOME:
        return 0x24;
    case SDLK_LEFT:
        return 0x25;
    case SDLK_RIGHT:
        return 0x27;
    default:
        return 0;
    }
}

void PlatformWindow::PollEvents(const std::function<void(const WindowEvent&)>& handler,
                                const std::function<void(const SDL_Event&)>& others) {
    const std::uint32_t own = SDL_GetWindowID(m_window);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (const std::uint32_t id = EventWindowId(event); id != 0 && id != own) {
            if (others) {
                others(event);
            }
        } else if (event.type == SDL_QUIT) {
            handler({WindowEvent::Type::Close, 0});
        } else if (event.type == SDL_KEYDOWN && !event.key.repeat) {
            if (const int key = VirtualKey(event.key.keysym.sym)) {
                handler({WindowEvent::Type::KeyDown, key});
            }
        } else if (event.type == SDL_WINDOWEVENT) {
            switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                handler({WindowEvent::Type::Close, 0});
                break;
            case SDL_WINDOWEVENT_MOVED:
                handler({WindowEvent::Type::Move, 0});
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                handler({WindowEvent::Type::Size, 0});
                break;
            default:
                break;
            }
        }
    }
}

}  // namespace vesta
