#pragma once
// A sound system on the loopback device, and audio pulled from it the way a
// recording does: one video frame's worth at a time.

#include <gtest/gtest.h>
#include <vector>

#include "EngineState.h"
#include "sound/SoundSystem.h"

namespace vesta::test {

class LoopbackTest : public ::testing::Test {
protected:
    static constexpr int kRate = 44100;
    static constexpr std::size_t kFrame = kRate / 30;

    void SetUp() override {
        ResetEngineState();
        sound.Initialize(SoundOutput::Loopback, kRate);
    }

    // `frames` stereo frames, rendered in video-frame slices.
    std::vector<float> render(std::size_t frames) {
        std::vector<float> out(2 * frames);
        for (std::size_t done = 0; done < frames;) {
            const std::size_t slice = std::min(kFrame, frames - done);
            EXPECT_TRUE(sound.RenderAudio(out.data() + 2 * done, slice));
            done += slice;
        }
        return out;
    }
    std::vector<float> renderSeconds(double seconds) {
        return render(static_cast<std::size_t>(seconds * kRate));
    }

    SoundSystem sound;
};

}  // namespace vesta::test
