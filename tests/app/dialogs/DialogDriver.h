#pragma once
// Drives a dialog from inside its own loop, through the frame hook: each
// step runs a few frames after the one before, with the pointer warped onto
// the named widget before a click (the ImGui backend reads the pointer from
// the X server) and the button and key events pushed into SDL's queue.

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
        m_steps.push_back([](DialogWindow&) { SDL_WarpMouseGlobal(0, 0); });
        m_steps.push_back([place](DialogWindow& window) {
            const auto found = window.PlaceOf(place);
            ASSERT_TRUE(found) << "no widget " << place;
            SDL_WarpMouseInWindow(window.Native(),
                                  static_cast<int>((found->left + found->right) / 2),
                                  static_cast<int>((found->top + found->bottom) / 2));
        });
        m_steps.push_back([](DialogWindow& window) { pushButton(window, SDL_MOUSEBUTTONDOWN); });
        m_steps.push_back([](DialogWindow& window) { pushButton(window, SDL_MOUSEBUTTONUP); });
        return *this;
    }

    DialogDriver& Key(SDL_Scancode key) {
        m_steps.push_back([key](DialogWindow& window) { pushKey(window, SDL_KEYDOWN, key); });
        m_steps.push_back([key](DialogWindow& window) { pushKey(window, SDL_KEYUP, key); });
        return *this;
    }

    // The frame as a PNG in the build's screenshot folder, to be looked at.
    DialogDriver& Shot(const std::string& name) {
        m_steps.push_back([name](DialogWindow& window) {
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
        m_steps.push_back(std::move(step));
        return *this;
    }

private:
    static constexpr int kFramesPerStep = 4;
    static constexpr int kGiveUpFrame = 400;

    void run(DialogWindow& window, int frame) {
        const std::size_t step = static_cast<std::size_t>(frame / kFramesPerStep);
        if (frame % kFramesPerStep == kFramesPerStep - 1 && step < m_steps.size()) {
            m_steps[step](window);
        }
        if (frame == kGiveUpFrame) {
            ADD_FAILURE() << "the dialog is still open; closing it";
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

    std::vector<Step> m_steps;
};

}  // namespace vesta::test
