// The parts' tunes as a tracker library reads them (one part streams its
// music instead): each lasts at least as
// long as its part, and sounds without clipping.

#include <cmath>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <memory>

#include "EngineState.h"
#include "ShowcaseProduction.h"
#include "script/ScriptParser.h"

namespace vesta::test {
namespace {

struct ModuleCloser {
    void operator()(openmpt_module* module) const { openmpt_module_destroy(module); }
};
using Module = std::unique_ptr<openmpt_module, ModuleCloser>;

Module load(const std::string& bytes) {
    return Module(openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr, nullptr));
}

struct Loudness {
    float rms = 0, peak = 0;
};

// The first `seconds` of the tune, mixed at 44.1 kHz.
Loudness measure(openmpt_module* module, double seconds) {
    constexpr int kRate = 44100, kChunk = 1024;
    float left[kChunk], right[kChunk];
    double sum = 0;
    long frames = 0;
    Loudness loudness;
    while (frames < seconds * kRate) {
        const std::size_t got =
            openmpt_module_read_float_stereo(module, kRate, kChunk, left, right);
        if (got == 0) {
            break;
        }
        for (std::size_t i = 0; i < got; ++i) {
            sum += left[i] * left[i] + right[i] * right[i];
            loudness.peak = std::max({loudness.peak, std::abs(left[i]), std::abs(right[i])});
        }
        frames += static_cast<long>(got);
    }
    loudness.rms = frames ? static_cast<float>(std::sqrt(sum / (2.0 * frames))) : 0;
    return loudness;
}

TEST(ShowcaseMusicTest, EveryPartHasMusicAndEachTuneIsLongerThanItsPartWithoutClipping) {
    ResetEngineState();
    ScopedChdir chdir(Showcase().Folder());
    ParsedScript script;
    CScriptParser(script).Load("Showcase.txt");
    ASSERT_FALSE(script.parts.empty());
    for (const CPart& part : script.parts) {
        ASSERT_FALSE(part.modStream.empty() && part.musicStream.empty());
        if (part.modStream.empty()) {
            continue;  // streamed, see ShowcaseSoundTest
        }
        const Module module = load(ReadFile(Showcase().Folder() / part.modStream));
        ASSERT_TRUE(module) << part.modStream;
        EXPECT_EQ(openmpt_module_get_num_channels(module.get()), 4);
        EXPECT_GE(openmpt_module_get_duration_seconds(module.get()), part.timeBlocks.back().time)
            << part.modStream;
        const Loudness loudness = measure(module.get(), 8.0);
        EXPECT_GT(loudness.rms, 0.02f) << part.modStream;
        EXPECT_LT(loudness.peak, 1.0f) << part.modStream;
    }
    ResetEngineState();
}

}  // namespace
}  // namespace vesta::test
