#pragma once
// The picture, and the animation frames over it, shown while a part loads.

#include <string>
#include <vector>

namespace vesta {

class RenderModule;
class Texture;

class LoadingScreen {
public:
    LoadingScreen(RenderModule& renderModule, std::string picture, std::string animation);
    ~LoadingScreen();
    LoadingScreen(const LoadingScreen&) = delete;
    LoadingScreen& operator=(const LoadingScreen&) = delete;

    // One whole frame: the picture, the current animation frame, present.
    // Nothing without a picture. Textures are loaded at the first call.
    void Draw();

    std::size_t FrameCount() const { return m_frames.size(); }
    std::size_t ShownFrame() const { return m_shown; }

private:
    struct Frame {
        Texture* texture;
        float x, y, width, height;
    };

    void load();
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
