#pragma once
// "Plasma": four windows sliding on circles over two tables of rings (one of
// distances, one of their sine), added modulo 256, so colour bands swirl.

#include "render/dynamic/DynaTexture.h"

namespace vesta {

class DynaPlasma : public PaletteDynaTexture {
public:
    // A texture without pixels ends the run.
    explicit DynaPlasma(Texture& texture);

protected:
    void drawFrame(double now) override;

private:
    // Tables of 2 Width() columns by 2 Height() rows, covering every window.
    std::vector<std::uint8_t> m_distances;
    std::vector<std::uint8_t> m_waves;
};

}  // namespace vesta
