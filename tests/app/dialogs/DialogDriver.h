#pragma once
// Drives a dialog from inside its own loop, through the frame hook: each
// step runs a few frames after the one before, with the pointer warped onto
// the named widget before a click (the ImGui backend reads the pointer from
// the X server, so the click waits until SDL has seen it arrive) and the
// button and key events pushed into SDL's queue.

#include <SDL.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "PictureWriters.h"
#include "TestSupport.h"
#include "app/dialogs/DialogWindow.h"

namespace vesta::test {

class DialogDriver {
public:
    using Step = std::function<void(DialogWindow&)>;

    DialogDriver() {
        SetDialogFrameHook([this](DialogWindow& window, int frame) { run(window, frame); });
    }
    ~DialogDriver() { SetDialogFrameHook({}); }

    DialogDriver& Click(const std::string& place) {
        // Into the window from outside it, so that it has the pointer's focus
        // even when it opened under the pointer.
        // Each move waits until SDL has seen the pointer leave and arrive:
        // the ImGui backend reads the pointer only over the window SDL names.
        m_steps.push_back([warped = false](DialogWindow& window) mutable -> bool {
            if (!warped) {
                SDL_WarpMouseGlobal(0, 0);
                warped = true;
            }
            return SDL_GetMouseFocus() != window.Native();
        });
        m_steps.push_back([place, warped = false](DialogWindow& window) mutable -> bool {
            const auto found = window.PlaceOf(place);
            if (!found) {
                ADD_FAILURE() << "no widget " << place;
                return true;
            }
            const int x = static_cast<int>((found->left + found->right) / 2);
            const int y = static_cast<int>((found->top + found->bottom) / 2);
            if (!warped) {
                SDL_WarpMouseInWindow(window.Native(), x, y);
                warped = true;
            }
            int pointerX = 0, pointerY = 0, windowX = 0, windowY = 0;
            SDL_GetGlobalMouseState(&pointerX, &pointerY);
            SDL_GetWindowPosition(window.Native(), &windowX, &windowY);
            return SDL_GetMouseFocus() == window.Native() && pointerX - windowX == x &&
                   pointerY - windowY == y;
        });
        Then([](DialogWindow& window) { pushButton(window, SDL_MOUSEBUTTONDOWN); });
        Then([](DialogWindow& window) { pushButton(window, SDL_MOUSEBUTTONUP); });
        return *this;
    }

    DialogDriver& Key(SDL_Scancode key) {
        Then([key](DialogWindow& window) { pushKey(window, SDL_KEYDOWN, key); });
        Then([key](DialogWindow& window) { pushKey(window, SDL_KEYUP, key); });
        return *this;
    }

    // The frame as a PNG in the build's screenshot folder, to be looked at.
    DialogDriver& Shot(const std::string& name) {
        Then([name](DialogWindow& window) {
            int width = 0, height = 0;
            const std::vector<std::uint8_t> rgba = window.ReadPixels(width, height);
            PngPicture picture{width, height, 6 /* RGBA */, 8, false, {}, {}, {}, {}};
            picture.samples.assign(rgba.begin(), rgba.end());
            std::filesystem::create_directories(VESTA_SHOT_DIR);
            const std::vector<std::uint8_t> png = EncodePng(picture);
            WriteFile(std::filesystem::path(VESTA_SHOT_DIR) / (name + ".png"), png);
        });
        return *this;
    }

    DialogDriver& Then(Step step) {
        m_steps.push_back([step = std::move(step)](DialogWindow& window) {
            step(window);
            return true;
        });
        return *this;
    }

private:
    static constexpr int kFramesPerStep = 4;
    static constexpr int kGiveUpFrame = 400;

    // A step that is not done yet runs again the next frame.
    void run(DialogWindow& window, int frame) {
        if (frame == 0) {
            m_next = 0;
            m_nextFrame = kFramesPerStep;
        }
        if (frame >= m_nextFrame && m_next < m_steps.size() && m_steps[m_next](window)) {
            ++m_next;
            m_nextFrame = frame + kFramesPerStep;
        }
        if (frame == kGiveUpFrame) {
            ADD_FAILURE() << "the dialog is still open at step " << m_next << "; closing it";
            SDL_Event close{};
            close.type = SDL_WINDOWEVENT;
            close.window.event = SDL_WINDOWEVENT_CLOSE;
            close.window.windowID = window.WindowId();
            SDL_PushEvent(&close);
        }
    }

    static void pushButton(DialogWindow& window, Uint32 type) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = window.WindowId();
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        SDL_PushEvent(&event);
    }

    static void pushKey(DialogWindow& window, Uint32 type, SDL_Scancode key) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = window.WindowId();
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = key;
        event.key.keysym.sym = SDL_GetKeyFromScancode(key);
        SDL_PushEvent(&event);
    }

    std::vector<std::function<bool(DialogWindow&)>> m_steps;
    std::size_t m_next = 0;
    int m_nextFrame = 0;
};

}  // namespace vesta::test
