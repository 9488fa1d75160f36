#include "AnimationSampler.h"

#include <algorithm>
#include <cmath>

#include "ModelConverter.h"

namespace vesta::mdltool {
namespace {

// assimp's files that give no rate are meant to play at 25 ticks a second.
constexpr double kDefaultTicksPerSecond = 25.0;

// The keys around `time`, clamped to the first and last key.
template <class Key>
std::pair<const Key*, const Key*> around(const Key* keys, unsigned count, double time, double& t) {
    t = 0.0;
    if (count == 1 || time <= keys[0].mTime) {
        return {&keys[0], &keys[0]};
    }
    if (time >= keys[count - 1].mTime) {
        return {&keys[count - 1], &keys[count - 1]};
    }
    const Key* next = std::upper_bound(
        keys, keys + count, time, [](double value, const Key& key) { return value < key.mTime; });
    const Key* previous = next - 1;
    const double span = next->mTime - previous->mTime;
    t = span > 0.0 ? (time - previous->mTime) / span : 0.0;
    return {previous, next};
}

aiVector3D interpolate(const aiVectorKey* keys, unsigned count, double time) {
    double t = 0.0;
    const auto [a, b] = around(keys, count, time, t);
    return a->mValue + (b->mValue - a->mValue) * static_cast<ai_real>(t);
}

aiQuaternion interpolate(const aiQuatKey* keys, unsigned count, double time) {
    double t = 0.0;
    const auto [a, b] = around(keys, count, time, t);
    aiQuaternion result;
    aiQuaternion::Interpolate(result, a->mValue, b->mValue, static_cast<ai_real>(t));
    return result.Normalize();
}

}  // namespace

AnimationSampler::AnimationSampler(const aiScene& scene) {
    if (scene.mNumAnimations == 0 || !scene.mRootNode) {
        return;
    }
    m_animation = scene.mAnimations[0];
    const double ticksPerSecond =
        m_animation->mTicksPerSecond > 0.0 ? m_animation->mTicksPerSecond : kDefaultTicksPerSecond;
    m_ticksPerFrame = ticksPerSecond / kFramesPerSecond;
    const double frames = m_animation->mDuration / m_ticksPerFrame;
    m_lastFrame = frames > 0.0 ? static_cast<unsigned>(std::ceil(frames - 1e-4)) : 0;
    for (unsigned i = 0; i < m_animation->mNumChannels; ++i) {
        const aiNodeAnim* channel = m_animation->mChannels[i];
        if (const aiNode* node = scene.mRootNode->FindNode(channel->mNodeName)) {
            m_channels.emplace(node, channel);
        }
    }
}

bool AnimationSampler::ChainAnimated(const aiNode* node) const {
    for (; node; node = node->mParent) {
        if (Animated(node)) {
            return true;
        }
    }
    return false;
}

aiMatrix4x4 AnimationSampler::Local(const aiNode* node, unsigned frame) const {
    const auto found = m_channels.find(node);
    if (found == m_channels.end()) {
        return node->mTransformation;
    }
    const aiNodeAnim& channel = *found->second;
    // A channel without keys of one kind keeps the node's own value of it.
    aiVector3D scaling, position;
    aiQuaternion rotation;
    node->mTransformation.Decompose(scaling, rotation, position);
    const double time = frame * m_ticksPerFrame;
    if (channel.mNumPositionKeys > 0) {
        position = interpolate(channel.mPositionKeys, channel.mNumPositionKeys, time);
    }
    if (channel.mNumRotationKeys > 0) {
        rotation = interpolate(channel.mRotationKeys, channel.mNumRotationKeys, time);
    }
    if (channel.mNumScalingKeys > 0) {
        scaling = interpolate(channel.mScalingKeys, channel.mNumScalingKeys, time);
    }
    return aiMatrix4x4(scaling, rotation, position);
}

aiMatrix4x4 AnimationSampler::World(const aiNode* node, unsigned frame) const {
    aiMatrix4x4 world = Local(node, frame);
    for (const aiNode* parent = node->mParent; parent; parent = parent->mParent) {
        world = Local(parent, frame) * world;
    }
    return world;
}

aiMatrix4x4 AnimationSampler::BindWorld(const aiNode* node) {
    aiMatrix4x4 world = node->mTransformation;
    for (const aiNode* parent = node->mParent; parent; parent = parent->mParent) {
        world = parent->mTransformation * world;
    }
    return world;
}

}  // namespace vesta::mdltool
