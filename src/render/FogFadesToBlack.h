#pragma once
// For its lifetime, fog fades what is drawn towards black instead of the fog
// colour. Sprites added to the frame (blending One, One) need it: fogged
// towards a colour, even their black texels would add that colour, and each
// sprite would show as a tinted square in the distance.

#include "render/RenderModule.h"

namespace vesta {

class FogFadesToBlack {
public:
    FogFadesToBlack(RenderModule& module, bool additive)
        : m_module(module), m_colour(module.State().fog.color),
          m_active(additive && module.State().fog.enabled) {
        if (m_active) {
            module.SetFogColor(0.0f, 0.0f, 0.0f);
        }
    }
    ~FogFadesToBlack() {
        if (m_active) {
            m_module.SetFogColor(m_colour.r, m_colour.g, m_colour.b);
        }
    }
    FogFadesToBlack(const FogFadesToBlack&) = delete;
    FogFadesToBlack& operator=(const FogFadesToBlack&) = delete;

private:
    RenderModule& m_module;
    ColorValue m_colour;
    bool m_active;
};

}  // namespace vesta
