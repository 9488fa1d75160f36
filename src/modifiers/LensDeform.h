#pragma once
// "LensDeform": the frame seen through a wobbling lens. The scene renders
// into the modifier's texture, which is then drawn over the screen on a grid
// whose vertices swirl about the centre as time goes on.

#include <cstdint>
#include <vector>

#include "modifiers/SelfNamingModifier.h"
#include "render/RenderTypes.h"

namespace vesta {

class Texture;

class CLensDeform : public CSelfNamingModifier {
public:
    // Cells of the grid across and down the screen.
    static constexpr int kColumns = 32;
    static constexpr int kRows = 24;
    // The grid reaches past the screen's edges by this factor, so that the
    // swirl never pulls its border into view.
    static constexpr float kOverscan = 2.0f;

    CLensDeform(CScene* scene, RenderModule* renderModule, void* extra);
    ~CLensDeform() override;

    void Release() override;
    const char* GetKindName() const override { return "LensDeform"; }
    const char* GetClassName() const override { return "CLensDeform"; }
    // Sends the scene's drawing into the texture.
    void PreRender() override;
    // Draws the texture on the swirled grid over the screen.
    void Render() override;

    Texture* Target() const { return m_target; }
    // Where a rest point (x, y) of the lens plane goes at `localTime`.
    static Vector3 Swirl(float x, float y, float localTime);

protected:
    void Initialise() override;

private:
    void buildGrid(float halfWidth, float halfHeight, float localTime);

    Texture* m_target = nullptr;
    std::vector<RenderVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
