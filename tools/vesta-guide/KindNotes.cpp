#include "KindNotes.h"

namespace vesta::guide {
namespace {

// In the engine's order of kinds.
constexpr KindNote kLayerNotes[] = {
    {"Flash", "The whole screen brightened additively with the envelope: a flash of light."},
    {"GFXLayer",
     "One picture with an alpha mask on a quad that fades in and out with its envelope, "
     "moving, scaling, flickering, shaking or turning as its draw routine (`Effect` 0 to 8) "
     "makes it. The workhorse of most productions."},
    {"MDLPlayer",
     "Plays a model file (`MDLFile`) at a frame taken from its own clock, seen through one of "
     "its cameras, with the modifiers its block creates."},
    {"WaterText",
     "A picture under a pool of water: the pictures of `TextMapList` take turns pressing their "
     "bright parts up out of the rippling surface, so their text rises out of the water."},
    {"FocalMDL",
     "A model drawn into a small texture that tints a full-screen chrome picture laid over the "
     "frame, faded by the envelope."},
    {"FocalGFX",
     "A picture racked into focus: `BlurryMap` fades in, then the sharp `OrigMap` comes in over "
     "it where `AlphaMap` is white."},
    {"MetaballLayer",
     "`NBMeta` balls of liquid metal drifting in 3D that melt into each other where they meet."},
    {"DotEffect",
     "The picture redrawn as a halftone of round dots that gather from a scatter while the "
     "layer rises and scatter again while it falls."},
    {"TextLayer",
     "Lines of `Text` (or of the text file `File`) in the system font, sliding in from the Start "
     "placement and out by the End one."},
    {"LineLayer",
     "A line of `NBLines` copies of the picture, each a step further and larger, lighting up one "
     "after another."},
    {"RayLayer",
     "Ten light rays from the centre of the screen, turning and pulsing, added to what lies "
     "below."},
    {"ParasitesLayer",
     "Interference on a picture: each frame it flickers and jumps, shakes or scrolls by "
     "`Effect`."},
    {"OnduleGFXLayer",
     "The picture waving like a cloth in the wind: rows sway (`Effect` 0), columns rise and fall "
     "(1), or rings ripple out (2)."},
    {"InfiniteZoom",
     "An endless zoom through a list of pictures, each holding the next at half its size in its "
     "middle."},
    {"StarField",
     "`Count` stars streaming along `Direction` as streaks or dots, optionally through a model's "
     "camera."},
    {"AnimGFXLayer",
     "A flip-book: the pictures of `Texture` in turn on the image layers' quad, the next every "
     "`SpeedAnim` seconds."},
    {"TrouDuVers",
     "A flight down a worm hole: a textured tube built around the path of the first camera of "
     "`MDLFile`."},
    {"ParticlesLayer",
     "`NBParticle` small textured quads born around `SourceParticle`, moving as `Effect` says "
     "(jet, drift, swirl, ...)."},
    {"DynaTexture",
     "Draws nothing: hands its parameters (`Palette`, `UpdateInterval`) to the dynamic texture "
     "`TextureName` names."},
    {"PlasmaUVLayer", "The picture seen through moving liquid glass driven by a plasma."},
    {"SplineLayer",
     "`NbSpline` glowing heads flying along closed splines, each trailing sprites or a ribbon."},
    {"GFXSlider",
     "The picture arriving in `SlideMaxSeg` strips that slide into place one after another."},
    {"CerclesLayer", "Rings spreading from a centre like ripples on a pond."},
};

constexpr KindNote kModifierNotes[] = {
    {"Flies", "`NBFlies` small sprites buzzing around an object of the scene."},
    {"GlowEffect", "A pulsing light around an object of the scene, added to the frame."},
    {"Particles",
     "Sprites or streaks thrown from an object of the scene: a fountain, a burst, a stream..."},
    {"MaterialAnim",
     "A flip-book on a material: its texture becomes the next picture of the list every "
     "`SpeedAnim` seconds."},
    {"OndesRadio", "Rings of radio waves growing out of an object of the scene."},
    {"Volumetric", "Names a mesh of the scene and keeps it; draws nothing."},
    {"3DSound",
     "A tracker module or sample played from a mesh of the scene, positioned in 3D and heard "
     "from the current camera."},
    {"LensDeform", "The frame seen through a wobbling lens."},
    {"SceneBlur",
     "The frame soft towards its borders, clear at the centre, `BorderColor` in the corners."},
    {"Eclosion", "A mesh opening like a bud: its faces move apart from its centre."},
    {"Mercure", "The whole frame seen in a rippling pool of mercury."},
    {"Glow2", "A glow that bleeds outwards on the screen from the mesh `ObjetName`."},
    {"Rays", "Streaks of light bursting out of the object `Object`."},
    {"Fog", "Fog over the scene, as thick as the envelope is strong."},
    {"CameraFade",
     "A cross-fade over the modifier's lifetime from the view of a second camera to the view of "
     "the scene's current camera."},
    {"WaterPlane",
     "A four-cornered mesh tagged `.UserModif` turned into a rippling water surface."},
    {"FocalDepth",
     "A depth of field: what lies beyond `Middle` is drawn soft, what lies nearer sharp."},
    {"DynaLight",
     "A flickering light: the scene light's colour jumps between `HighColor` and `LowColor`."},
    {"DepthEffect", "Glowing discs standing in the scene's depth at the mesh `ObjetName`."},
    {"StencilShadow", "The shadow a mesh casts from a light onto what the scene drew."},
    {"MeshContour", "The outline of the mesh `Object`, drawn as thin lines."},
    {"MeshHunz",
     "Cel shading of one mesh, or of the whole scene, by the vertex shader `ToonShade.vso` and a "
     "ramp texture."},
    {"MeshModifier", "Shows or hides one mesh of the scene."},
};

}  // namespace

std::span<const KindNote> KindNotes(Family family) {
    if (family == Family::Layer) {
        return kLayerNotes;
    }
    return kModifierNotes;
}

}  // namespace vesta::guide
