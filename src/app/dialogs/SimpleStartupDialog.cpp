#include "app/dialogs/SimpleStartupDialog.h"

#include <SDL.h>

#include "app/dialogs/DialogWindow.h"
#include "app/dialogs/SkinStore.h"
#include "app/dialogs/SkinnedWindow.h"
#include "app/dialogs/WebLink.h"
#include "log/Log.h"
#include "platform/PlatformWindow.h"

namespace vesta {
namespace {

constexpr int kIdleMilliseconds = 30;

class SimpleStartupLoop {
public:
    SimpleStartupLoop(const StartupSkin& skin, SkinnedWindow& window,
                      const SkinStoredChoices& stored)
        : m_skin(skin), m_window(window), m_buttons(skin.places, stored) {}

    // Until a button, a key or the close box ends the dialog.
    void Run() {
        m_window.Show();
        while (!m_closed) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, kIdleMilliseconds)) {
                handle(event);
                while (!m_closed && SDL_PollEvent(&event)) {
                    handle(event);
                }
            }
            if (DialogStopRequested()) {
                m_closed = true;
            }
            m_window.Present(ComposeSkin(m_skin, m_buttons));
        }
    }

    const SkinButtonSet& Buttons() const { return m_buttons; }

private:
    void handle(const SDL_Event& event) {
        if (event.type == SDL_QUIT) {
            m_closed = true;
            return;
        }
        if (EventWindowId(event) != m_window.WindowId()) {
            return;
        }
        switch (event.type) {
        case SDL_WINDOWEVENT:
            m_closed = m_closed || event.window.event == SDL_WINDOWEVENT_CLOSE;
            break;
        case SDL_MOUSEMOTION:
            m_window.DragTo(event.motion.x, event.motion.y);
            m_buttons.PointAt(event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                m_buttons.PointAt(event.button.x, event.button.y);
                if (!m_buttons.Hovered()) {
                    m_window.BeginDrag(event.button.x, event.button.y);
                }
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) {
                m_window.EndDrag();
                m_buttons.PointAt(event.button.x, event.button.y);
                if (const std::optional<SkinButton> button = m_buttons.Hovered()) {
                    react(m_buttons.Click(*button));
                }
            }
            break;
        case SDL_KEYDOWN:
            switch (event.key.keysym.sym) {
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
            case SDLK_SPACE:
                react(m_buttons.StartKey());
                break;
            case SDLK_ESCAPE:
                react(m_buttons.QuitKey());
                break;
            default:
                break;
            }
            break;
        default:
            break;
        }
    }

    void react(SkinButtonSet::Reaction reaction) {
        if (reaction == SkinButtonSet::Reaction::Close) {
            m_closed = true;
        } else if (reaction == SkinButtonSet::Reaction::OpenWebSite) {
            OpenGroupWebSite();
        }
    }

    const StartupSkin& m_skin;
    SkinnedWindow& m_window;
    SkinButtonSet m_buttons;
    bool m_closed = false;
};

}  // namespace

std::optional<SkinChoice> RunSimpleStartup(const StartupSkin& skin, const std::string& title,
                                           const std::filesystem::path& store, std::string& error) {
    std::unique_ptr<SkinnedWindow> window = SkinnedWindow::Open(title, skin.background, error);
    if (!window) {
        return std::nullopt;
    }
    SimpleStartupLoop loop(skin, *window, ReadSkinChoices(store));
    loop.Run();
    window.reset();
    std::string failure;
    if (!WriteSkinChoices(store, loop.Buttons().Stored(), failure)) {
        WarnPrintf("the startup choices are not kept for the next start: %s", failure.c_str());
    }
    return loop.Buttons().Choice();
}

}  // namespace vesta
