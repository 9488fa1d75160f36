#pragma once
// The picture, and the animation frames over it, shown while a part loads,
// each time as a frame of whoever owns the frames.

#include <functional>
#include <string>
#include <vector>

namespace vesta {

class RenderModule;
class Texture;

// Whoever begins, ends and presents the render module's frames: the
// player's main loop. What must be seen between its frames, such as a
// loading screen while a part loads, is handed to it as a frame of its own,
// so that no frame ever begins inside another.
class FrameOwner {
public:
    virtual ~FrameOwner() = default;
    // Runs `draw` as one whole frame: begun, drawn, ended, presented and
    // cleared for the next one. Not a frame of the show: never recorded.
    virtual void ShowFrame(const std::function<void()>& draw) = 0;
};

// Frames of their own straight on the module, for a timeline played without
// a main loop (tests, tools).
class ModuleFrames : public FrameOwner {
public:
    explicit ModuleFrames(RenderModule& renderModule) : m_renderModule(renderModule) {}
    void ShowFrame(const std::function<void()>& draw) override;

private:
    RenderModule& m_renderModule;
};

class LoadingScreen {
public:
    LoadingScreen(RenderModule& renderModule, std::string picture, std::string animation);
    ~LoadingScreen();
    LoadingScreen(const LoadingScreen&) = delete;
    LoadingScreen& operator=(const LoadingScreen&) = delete;

    // One whole frame, shown through `frames`: the picture, the current
    // animation frame. Nothing without a picture. Textures are loaded at the
    // first call.
    void Draw(FrameOwner& frames);

    std::size_t FrameCount() const { return m_frames.size(); }
    std::size_t ShownFrame() const { return m_shown; }

private:
    struct Frame {
        Texture* texture;
        float x, y, width, height;
    };

    void load();
    void drawPictures();
    void drawQuad(Texture* texture, float x, float y, float halfWidth, float halfHeight);

    RenderModule& m_renderModule;
    std::string m_pictureText;
    std::string m_animationText;
    bool m_loaded = false;
    Texture* m_picture = nullptr;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    std::vector<Frame> m_frames;
    std::size_t m_shown = 0;
};

}  // namespace vesta
