#pragma once
// A window of its own for a dialog: SDL2, an OpenGL 3.3 context and a Dear
// ImGui context. Modal dialogs run their loop here before (or after) the show;
// the log window draws one frame at a time beside it, giving the show its
// OpenGL context back after every frame.
//
//     DialogWindow window("Title", 400, 300);
//     window.RunModal([&] { ImGui::Text("..."); return !done; });

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;
struct ImGuiContext;
struct ImFont;

namespace vesta {

// Tests watch and drive dialogs through this: called after every frame a
// dialog draws, before it is shown, with the frame's number (0 first).
class DialogWindow;
using DialogFrameHook = std::function<void(DialogWindow& window, int frame)>;
void SetDialogFrameHook(DialogFrameHook hook);

// Asked while a modal dialog waits: true ends it as its close box would
// (a stop signal, which no frame of the show will see while a dialog runs).
void SetDialogStopCheck(std::function<bool()> check);
// What that check says now; false when none is set. Dialogs with a loop of
// their own ask it too.
bool DialogStopRequested();

class DialogWindow {
public:
    // Null (with the reason in `error`) when no window can be made.
    static std::unique_ptr<DialogWindow> Open(const std::string& title, int width, int height,
                                              std::string& error);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Draws frames until `frame` returns false or the window is closed (then
    // `onClose` runs, when given). `frame` builds the ImGui widgets of one frame.
    // A key released in the same batch of events as it was pressed is
    // released a frame later, so that no frame misses a quick key press.
    void RunModal(const std::function<bool()>& frame, const std::function<void()>& onClose = {});

    // One frame without waiting; the OpenGL context current before is current again after.
    void DrawOnce(const std::function<void()>& frame);
    // Takes an event when it is this window's; the show's own events are left to it.
    bool HandleEvent(const SDL_Event& event);
    bool CloseRequested() const { return m_closeRequested; }

    // The frame being drawn, as RGBA rows from the top; for the frame hook.
    std::vector<std::uint8_t> ReadPixels(int& width, int& height) const;
    std::uint32_t WindowId() const;
    SDL_Window* Native() const { return m_window; }

    // Where the last frame drew a named widget (window pixels): how a test
    // finds what to click. The widgets of DialogWidgets.h name themselves.
    struct Place {
        float left = 0, top = 0, right = 0, bottom = 0;
    };
    std::optional<Place> PlaceOf(const std::string& name) const;
    void RememberPlace(const std::string& name, const Place& place) { m_places[name] = place; }
    // The window drawing its frame right now, or null.
    static DialogWindow* Drawing();

    ImFont* TextFont() const { return m_textFont; }
    ImFont* FixedFont() const { return m_fixedFont; }

private:
    DialogWindow(SDL_Window* window, void* context);
    void renderFrame(const std::function<void()>& frame);

    SDL_Window* m_window = nullptr;
    void* m_glContext = nullptr;
    ImGuiContext* m_imgui = nullptr;
    ImFont* m_textFont = nullptr;
    ImFont* m_fixedFont = nullptr;
    std::map<std::string, Place> m_places;
    int m_frame = 0;
    bool m_closeRequested = false;
};

}  // namespace vesta
