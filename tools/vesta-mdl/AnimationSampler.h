#pragma once
// A node's transform at a frame of the first animation of an assimp scene,
// at the player's frame rate. Without an animation every node keeps its
// transform and there is one frame, 0.

#include <assimp/anim.h>
#include <assimp/matrix4x4.h>
#include <assimp/scene.h>
#include <unordered_map>

namespace vesta::mdltool {

class AnimationSampler {
public:
    explicit AnimationSampler(const aiScene& scene);

    bool HasAnimation() const { return m_animation != nullptr; }
    // The animation's length in whole frames, rounded up; 0 without one.
    unsigned LastFrame() const { return m_lastFrame; }
    // Whether the node has a channel of its own.
    bool Animated(const aiNode* node) const { return m_channels.count(node) != 0; }
    // Whether the node or any node above it has a channel.
    bool ChainAnimated(const aiNode* node) const;

    // Column-vector matrices, as assimp's.
    aiMatrix4x4 Local(const aiNode* node, unsigned frame) const;
    aiMatrix4x4 World(const aiNode* node, unsigned frame) const;
    static aiMatrix4x4 BindWorld(const aiNode* node);

private:
    const aiAnimation* m_animation = nullptr;
    std::unordered_map<const aiNode*, const aiNodeAnim*> m_channels;
    double m_ticksPerFrame = 1.0;
    unsigned m_lastFrame = 0;
};

}  // namespace vesta::mdltool
