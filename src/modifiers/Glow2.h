#pragma once
// "Glow2": a glow around the mesh "ObjetName". Its sprites (see
// CSpriteModifier) are drawn alone into a 256 x 256 texture, which is then
// laid over the screen in three copies, each larger and fainter than the
// last, spreading from the mesh's place on the screen: the sprites' light
// bleeds outwards. Nothing is drawn while the mesh's box is out of view.

#include "modifiers/SpriteModifier.h"

namespace vesta {

class CGlow2 : public CSpriteModifier {
public:
    static constexpr int kTargetSize = 256;
    static constexpr int kCopies = 3;

    CGlow2(CScene* scene, RenderModule* renderModule, void* extra);
    ~CGlow2() override;

    void Release() override;
    const char* GetKindName() const override { return "Glow2"; }
    const char* GetClassName() const override { return "CGlow2"; }
    void Render() override;

    Texture* Target() const { return m_target; }

protected:
    // Raises "Cannot find object [%s]" for a mesh the scene lacks.
    void Initialise() override;

private:
    void layCopies(const Vector3& centre);

    Texture* m_target = nullptr;
};

}  // namespace vesta
