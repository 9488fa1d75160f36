#pragma once
// Every kind of picture of the showcase, one maker per file.

#include "AssetWriter.h"
#include "TextRenderer.h"

namespace vesta::showcase {

struct Fonts {
    TextRenderer bold{"Liberation Sans:bold"};
    TextRenderer regular{"Liberation Sans"};
};

void MakeSkies(AssetWriter& out);           // Skies.cpp
void MakePlasmas(AssetWriter& out);         // Plasmas.cpp
void MakeGlows(AssetWriter& out);           // Glows.cpp
void MakeStarbursts(AssetWriter& out);      // Starbursts.cpp
void MakeShapes(AssetWriter& out);          // Shapes.cpp
void MakeFlames(AssetWriter& out);          // Flames.cpp
void MakeOrbits(AssetWriter& out);          // Orbits.cpp
void MakeForgeTextures(AssetWriter& out);   // ForgeTextures.cpp
void MakeForge(AssetWriter& out);           // ForgeScene.cpp: the model scene and its textures
void MakeToonShading(AssetWriter& out);     // ToonShading.cpp: ToonShade.vso and its ramp
void MakeTunnelTextures(AssetWriter& out);  // TunnelTextures.cpp
void MakeTunnel(AssetWriter& out);  // TunnelScene.cpp: the flight, the fire rings, the plasma gate
void MakeTitles(AssetWriter& out, const Fonts& fonts);          // Titles.cpp
void MakeLoadingScreens(AssetWriter& out, const Fonts& fonts);  // LoadingScreens.cpp
void MakeFontPicture(AssetWriter& out, const Fonts& fonts);     // FontPicture.cpp
void MakeStartupSkin(AssetWriter& out, const Fonts& fonts);     // StartupSkin.cpp
void MakeMusic(AssetWriter& out);                               // Music.cpp: the tunes
void MakeSoundtrack(AssetWriter& out);  // Soundtrack.cpp: the stream, the loading sound

// Everything, in a fixed order.
inline void MakeAll(AssetWriter& out) {
    const Fonts fonts;
    MakeSkies(out);
    MakePlasmas(out);
    MakeGlows(out);
    MakeStarbursts(out);
    MakeShapes(out);
    MakeFlames(out);
    MakeOrbits(out);
    MakeForge(out);
    MakeToonShading(out);
    MakeTunnel(out);
    MakeTitles(out, fonts);
    MakeLoadingScreens(out, fonts);
    MakeFontPicture(out, fonts);
    MakeStartupSkin(out, fonts);
    MakeMusic(out);
    MakeSoundtrack(out);
}

}  // namespace vesta::showcase
