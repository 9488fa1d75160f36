#pragma once
// What the 2D layers share around their draws: picture lists, textures with
// their alpha pictures, the modulating stage, the blend of an AlphaType and
// the quads they hand to the render module.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layers/ImageQuad.h"
#include "layers/SavedLayerState.h"
#include "render/CommonSetups.h"
#include "render/RenderTypes.h"

namespace vesta {

class RenderModule;
class Texture;

// Pieces between commas, without the blanks around them.
std::vector<std::string> SplitPictureList(std::string_view text);

// Blending on: alpha blending, or one-and-one when `additive`. An additive
// layer sets its brightness as a material, which only lit vertices take, so
// lighting follows `additive`.
void SetLayerBlend(RenderModule& module, bool additive);

// Camera and target on the view axis, roll 0, applied.
void SetLayerCamera(RenderModule& module, const Vector3& position, float fieldOfView,
                    float nearPlane, float farPlane);

// The one picture of a layer and the render states it hands back.
class LayerPicture {
public:
    void Load(RenderModule& module, const std::string& file, const std::string& alphaFile);
    void Release(RenderModule& module);
    Texture* Get() const { return m_texture; }
    // The modulating stage, fog and depth test off (a layer lies in front of
    // everything below it), the blend of SetLayerBlend, the picture on stage 0.
    void BeginDraw(RenderModule& module, bool additive) const;
    // Alpha stage off, lighting and blending off, the saved states back.
    void EndDraw(RenderModule& module) const;

private:
    Texture* m_texture = nullptr;
    std::unique_ptr<SavedLayerState> m_saved;
};

void DrawStrip(RenderModule& module, const QuadCorners& corners);

// Two triangles per quad of four strip-ordered corners: 0 1 2, 2 1 3.
std::vector<std::uint16_t> QuadListIndices(int quads);

}  // namespace vesta
