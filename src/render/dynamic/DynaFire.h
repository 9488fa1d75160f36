#pragma once
// "Fire": sparks seeded along the first rows each frame, carried one row
// further and blurred by averaging their neighbours, so flames stream from
// the top edge of the picture towards the bottom and die out on the way.

#include "render/dynamic/DynaTexture.h"

namespace vesta {

class DynaFire : public PaletteDynaTexture {
public:
    explicit DynaFire(Texture& texture);

protected:
    void drawFrame(double now) override;

private:
    void seed();
    void spread();

    std::vector<std::uint8_t> m_next;
};

}  // namespace vesta
