#pragma once
// The log window on screen: a text view of the last lines of a CLogWindow,
// drawn beside the show. A line's "\cf1" and "\cf2" switch to red and blue,
// "\cf0" back to the text colour, as they did in the rich-text control the
// lines were written for.

#include <memory>
#include <string>
#include <vector>

union SDL_Event;

namespace vesta {

class CLogWindow;
class DialogWindow;

struct ColouredText {
    int colour = 0;  // 0 text colour, 1 red, 2 blue
    std::string text;
};

// The pieces of `line` between its colour words; other text is kept as is.
std::vector<ColouredText> ColouredSegments(const std::string& line);

class LogWindowView {
public:
    // Null (with the reason in `error`) when no window can be opened.
    static std::unique_ptr<LogWindowView> Open(const CLogWindow& lines, std::string& error);
    ~LogWindowView();

    // Redraws when lines arrived or the window had input; cheap otherwise.
    void Refresh();
    // The window's own events; false for any other.
    bool HandleEvent(const SDL_Event& event);
    DialogWindow& Window() { return *m_window; }

private:
    LogWindowView(const CLogWindow& lines, std::unique_ptr<DialogWindow> window);
    void draw();

    const CLogWindow& m_lines;
    std::unique_ptr<DialogWindow> m_window;
    std::uint64_t m_drawnLines = ~std::uint64_t{0};
    bool m_inputSinceDraw = true;
    bool m_followEnd = true;
};

}  // namespace vesta
