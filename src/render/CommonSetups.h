#pragma once
// Set-ups that effects of every family share.

#include <string>

namespace vesta {

class RenderModule;
class Texture;

// A texture from the texture manager, with its alpha picture when
// `alphaFile` is not empty; given back with RenderModule::ReleaseTexture.
Texture* LoadTextureFile(RenderModule& module, const std::string& file,
                         const std::string& alphaFile);

// The stage multiplies texture and vertex colour, colour and alpha alike.
void SetModulatingStage(RenderModule& module, int stage = 0);

}  // namespace vesta
