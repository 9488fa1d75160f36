// Deferred texture release and shared state blocks.

#include <gtest/gtest.h>

#include "render/DeferredRelease.h"
#include "render/StateBlockCache.h"

namespace vesta::test {
namespace {

TEST(DeferredReleaseTest, OneTexturePerIntervalAfterTheLastRelease) {
    int textures[3] = {};
    DeferredRelease<int> release;
    release.SetEnabled(true, 0.2f);
    release.Queue(&textures[0], 1.00f);
    release.Queue(&textures[1], 1.05f);
    release.Queue(&textures[2], 1.10f);
    EXPECT_EQ(release.Step(1.25f), nullptr);
    EXPECT_EQ(release.Step(1.30f), nullptr);  // not strictly more than the interval
    EXPECT_EQ(release.Step(1.31f), &textures[0]);
    EXPECT_EQ(release.Step(1.45f), nullptr);
    EXPECT_EQ(release.Step(1.52f), &textures[1]);
    EXPECT_EQ(release.Count(), 1u);
    const auto rest = release.TakeAll();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest.front(), &textures[2]);
    EXPECT_EQ(release.Step(5.0f), nullptr);
}

TEST(StateBlockCacheTest, SameIdSharesOneBlockUntilTheLastRelease) {
    StateBlockCache cache;
    std::vector<StateBlockCache::Token> destroyed;
    const auto destroy = [&](StateBlockCache::Token token) { destroyed.push_back(token); };

    StateBlockCache::Token first = 11;
    cache.Recorded(first, 7, destroy);
    StateBlockCache::Token second = 12;
    cache.Recorded(second, 7, destroy);
    EXPECT_EQ(second, 11u);
    EXPECT_EQ(destroyed, std::vector<StateBlockCache::Token>{12});
    EXPECT_EQ(cache.Find(7), 11);

    cache.Release(11, destroy);
    EXPECT_EQ(destroyed.size(), 1u);
    cache.Release(11, destroy);
    EXPECT_EQ(destroyed.back(), 11u);
    // A destroyed block is never handed out again under its id.
    EXPECT_EQ(cache.Find(7), StateBlockCache::kNotFound);
    StateBlockCache::Token third = 13;
    cache.Recorded(third, 7, destroy);
    EXPECT_EQ(third, 13u);
}

TEST(StateBlockCacheTest, UncachedBlocksGoAtOnce) {
    StateBlockCache cache;
    std::vector<StateBlockCache::Token> destroyed;
    const auto destroy = [&](StateBlockCache::Token token) { destroyed.push_back(token); };
    StateBlockCache::Token token = 5;
    cache.Recorded(token, StateBlockCache::kNoId, destroy);
    EXPECT_EQ(cache.Find(StateBlockCache::kNoId), StateBlockCache::kNotFound);
    cache.Release(5, destroy);
    EXPECT_EQ(destroyed, std::vector<StateBlockCache::Token>{5});
}

}  // namespace
}  // namespace vesta::test
