#include "app/dialogs/DialogWindow.h"

#include <SDL.h>
#include <algorithm>
#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>
#include <epoxy/gl.h>
#include <imgui.h>

#include "platform/Display.h"
#include "platform/PlatformWindow.h"
#include "render/GlyphAtlas.h"

namespace vesta {
namespace {

constexpr int kIdleMilliseconds = 30;

DialogWindow* drawingWindow = nullptr;

std::function<bool()>& stopCheck() {
    static std::function<bool()> check;
    return check;
}

DialogFrameHook& frameHook() {
    static DialogFrameHook hook;
    return hook;
}

ImFont* addFont(const char* family, float pixels) {
    const std::string file = MatchFontFile(family);
    ImGuiIO& io = ImGui::GetIO();
    ImFont* font = file.empty() ? nullptr : io.Fonts->AddFontFromFileTTF(file.c_str(), pixels);
    return font ? font : io.Fonts->AddFontDefault();
}

// Restores the OpenGL context that was current when it was made.
class CurrentContextKeeper {
public:
    CurrentContextKeeper()
        : m_window(SDL_GL_GetCurrentWindow()), m_context(SDL_GL_GetCurrentContext()) {}
    ~CurrentContextKeeper() {
        if (m_window && m_context) {
            SDL_GL_MakeCurrent(m_window, m_context);
        }
    }

private:
    SDL_Window* m_window;
    SDL_GLContext m_context;
};

}  // namespace

void SetDialogStopCheck(std::function<bool()> check) {
    stopCheck() = std::move(check);
}

bool DialogStopRequested() {
    return stopCheck() && stopCheck()();
}

void SetDialogFrameHook(DialogFrameHook hook) {
    frameHook() = std::move(hook);
}

std::unique_ptr<DialogWindow> DialogWindow::Open(const std::string& title, int width, int height,
                                                 std::string& error) {
    if (!InitScreenVideo(error)) {
        return nullptr;
    }
    CurrentContextKeeper keeper;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_Window* window =
        SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                         height, SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        error = SDL_GetError();
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::unique_ptr<DialogWindow>(new DialogWindow(window, context));
}

DialogWindow::DialogWindow(SDL_Window* window, void* context)
    : m_window(window), m_glContext(context) {
    SDL_GL_MakeCurrent(m_window, m_glContext);
    // Never waits for the retrace: the log window shares the show's thread.
    SDL_GL_SetSwapInterval(0);
    ImGuiContext* previous = ImGui::GetCurrentContext();
    m_imgui = ImGui::CreateContext();
    ImGui::SetCurrentContext(m_imgui);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // a dialog always opens the same way
    // Tab, the arrows, Space and Escape move through and work the widgets, as
    // in any dialog; Escape closes an open list.
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    ImGui::StyleColorsLight();
    ImGui::GetStyle().WindowRounding = 0.0f;
    m_textFont = addFont("Tahoma", 15.0f);
    m_fixedFont = addFont("Courier New", 14.0f);
    ImGui_ImplSDL2_InitForOpenGL(m_window, m_glContext);
    ImGui_ImplOpenGL3_Init("#version 330 core");
    ImGui::SetCurrentContext(previous);
}

DialogWindow::~DialogWindow() {
    CurrentContextKeeper keeper;
    SDL_GL_MakeCurrent(m_window, m_glContext);
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(m_imgui);
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext(m_imgui);
    ImGui::SetCurrentContext(previous == m_imgui ? nullptr : previous);
    SDL_GL_MakeCurrent(m_window, nullptr);
    SDL_GL_DeleteContext(m_glContext);
    SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::uint32_t DialogWindow::WindowId() const {
    return SDL_GetWindowID(m_window);
}

bool DialogWindow::HandleEvent(const SDL_Event& event) {
    const std::uint32_t id = EventWindowId(event);
    if (event.type != SDL_QUIT && id != WindowId()) {
        return false;
    }
    if (event.type == SDL_QUIT ||
        (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
        m_closeRequested = true;
        return true;
    }
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(m_imgui);
    ImGui_ImplSDL2_ProcessEvent(&event);
    ImGui::SetCurrentContext(previous);
    return true;
}

void DialogWindow::RunModal(const std::function<bool()>& frame,
                            const std::function<void()>& onClose) {
    SDL_ShowWindow(m_window);
    SDL_RaiseWindow(m_window);
    bool running = true;
    std::vector<SDL_Event> heldBack;
    while (running) {
        std::vector<SDL_Event> batch;
        batch.swap(heldBack);
        // A dialog has nothing to animate: it waits for input, a little.
        SDL_Event event;
        if (!batch.empty() || SDL_WaitEventTimeout(&event, kIdleMilliseconds)) {
            if (batch.empty()) {
                batch.push_back(event);
            }
            while (SDL_PollEvent(&event)) {
                batch.push_back(event);
            }
        }
        std::vector<SDL_Scancode> pressed;
        for (const SDL_Event& each : batch) {
            if (each.type == SDL_KEYUP && std::find(pressed.begin(), pressed.end(),
                                                    each.key.keysym.scancode) != pressed.end()) {
                heldBack.push_back(each);
                continue;
            }
            if (each.type == SDL_KEYDOWN) {
                pressed.push_back(each.key.keysym.scancode);
            }
            HandleEvent(each);
        }
        if (m_closeRequested || DialogStopRequested()) {
            if (onClose) {
                onClose();
            }
            break;
        }
        renderFrame([&] { running = frame(); });
    }
    SDL_HideWindow(m_window);
}

void DialogWindow::DrawOnce(const std::function<void()>& frame) {
    CurrentContextKeeper keeper;
    renderFrame(frame);
}

void DialogWindow::renderFrame(const std::function<void()>& frame) {
    SDL_GL_MakeCurrent(m_window, m_glContext);
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(m_imgui);
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    ImGui::PushFont(m_textFont);
    m_places.clear();
    drawingWindow = this;
    frame();
    drawingWindow = nullptr;
    ImGui::PopFont();
    ImGui::Render();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(m_window, &width, &height);
    glViewport(0, 0, width, height);
    glClearColor(0.83f, 0.82f, 0.78f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    ImGui::SetCurrentContext(previous);
    if (frameHook()) {
        frameHook()(*this, m_frame);
    }
    ++m_frame;
    SDL_GL_SwapWindow(m_window);
}

DialogWindow* DialogWindow::Drawing() {
    return drawingWindow;
}

std::optional<DialogWindow::Place> DialogWindow::PlaceOf(const std::string& name) const {
    const auto found = m_places.find(name);
    if (found == m_places.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<std::uint8_t> DialogWindow::ReadPixels(int& width, int& height) const {
    SDL_GL_GetDrawableSize(m_window, &width, &height);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // OpenGL reads the bottom row first.
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height / 2; ++y) {
        std::swap_ranges(rgba.begin() + y * row, rgba.begin() + (y + 1) * row,
                         rgba.begin() + (height - 1 - y) * row);
    }
    return rgba;
}

}  // namespace vesta
