#pragma once
// Turns any model file that assimp reads into a scene that the MDL4 writer
// can store.
//
// Coordinates: assimp hands over right-handed data (+y up, the viewer looking
// along -z). The scene is the player's: left-handed like Direct3D, the
// camera looking along +z. The import converts by mirroring z (assimp's
// ConvertToLeftHanded), which also turns the faces' winding to clockwise and
// puts the texture origin at the top left.
//
// Frames of reference, chosen for how the player draws:
// - An object that never moves (no animation on it or above it) is drawn
//   with the identity world matrix, so a mesh's vertices are its node's
//   world transform baked into them; its pivot is the node's world position
//   and its box the vertices' bounds.
// - An object that moves is drawn with rotation * scale and the translation
//   of its position track, times its parent's matrix. Its vertices stay in
//   the node's own frame, and it gets position, rotation and scale tracks
//   sampled at 30 frames a second: relative to its parent when the parent
//   moves too, else in the scene's coordinates. An object below a moving one
//   that is not animated itself gets one key of its fixed transform.
// - A camera's and a light's positions are in the scene's coordinates, also
//   in their tracks; a camera's target lies along its look direction.
// - A skinned mesh follows its bones, not its node: it stands at the top
//   level with its bind pose baked in, its vertices relative to the pivot.
//   Each bone's rest matrix takes a scene point into the bone's frame at
//   bind time (assimp's offset matrix after the mesh node's transform); its
//   tracks are the bone's pose in the scene at each frame.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesta {
class CScene;
}

namespace vesta::mdltool {

inline constexpr float kFramesPerSecond = 30.0f;
// A scene without animation still needs a frame range to wrap time into.
inline constexpr unsigned kStaticLastFrame = 100;
// The format's face indices are 16-bit.
inline constexpr unsigned kMaxMeshVertices = 65535;

// assimp could not read the file; the text names the file and gives assimp's reason.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ConversionSummary {
    std::size_t meshes = 0;
    std::size_t cameras = 0;
    std::size_t lights = 0;
    std::size_t materials = 0;
    std::size_t animatedObjects = 0;
    std::vector<std::string> warnings;  // what the format cannot hold, one line each
    std::vector<std::string> texturesWritten;
};

using ProgressFunction = std::function<void(const std::string& line)>;

struct ConvertOptions {
    // Where textures that the model carries inside itself are written as
    // files (named after the texture, or `textureStem`_N for unnamed ones),
    // the maps then naming those files. Empty: such maps are left out.
    std::string textureFolder;
    std::string textureStem = "texture";
    ProgressFunction progress;
};

// Fills the empty `scene` from the model at `path`. Throws ImportError.
ConversionSummary ConvertModel(const std::string& path, CScene& scene,
                               const ConvertOptions& options = {});

}  // namespace vesta::mdltool
