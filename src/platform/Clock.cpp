#include "platform/Clock.h"

#include <cstdlib>
#include <ctime>

namespace vesta {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

struct ClockState {
    bool initialised = false;
    std::int64_t frequency = kNanosecondsPerSecond;
    std::int64_t start = 0;
    float speed = 1.0f;
    float lastSetTime = 0.0f;   // presentation time at the last speed change
    float lastRealTime = 0.0f;  // real elapsed time at the last speed change
    bool paused = false;
    bool fixedStep = false;
    float fixedStepRate = 25.0f;
    std::uint32_t frameIndex = 0;
    CounterSource source = nullptr;
    bool seeded = false;
    unsigned seed = 0;
};

ClockState& state() {
    static ClockState clock;
    return clock;
}

double realElapsed() {
    const ClockState& clock = state();
    return static_cast<double>(PerformanceCounter() - clock.start) /
           static_cast<double>(clock.frequency);
}

}  // namespace

std::int64_t PerformanceCounter() {
    if (state().source) {
        return state().source();
    }
    timespec now{};
    // CLOCK_MONOTONIC cannot fail with a valid timespec; the counter is never 0 after boot.
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

std::int64_t PerformanceFrequency() {
    return kNanosecondsPerSecond;
}

void TimerInit() {
    ClockState& clock = state();
    if (clock.initialised) {
        return;
    }
    if (!clock.seeded) {
        clock.seed = static_cast<unsigned>(std::time(nullptr));
        std::srand(clock.seed);
    }
    clock.frequency = PerformanceFrequency();
    clock.start = PerformanceCounter();
    clock.initialised = true;
}

void SeedRandom(unsigned seed) {
    ClockState& clock = state();
    clock.seeded = true;
    clock.seed = seed;
    std::srand(seed);
}

unsigned RandomSeed() {
    return state().seed;
}

double TimeNow() {
    TimerInit();
    const ClockState& clock = state();
    if (clock.fixedStep) {
        return static_cast<double>(clock.frameIndex) * (1.0 / clock.fixedStepRate);
    }
    if (clock.paused) {
        return clock.lastSetTime;
    }
    return (realElapsed() - clock.lastRealTime) * clock.speed + clock.lastSetTime;
}

void SetTimeSpeed(float factor) {
    TimerInit();
    ClockState& clock = state();
    clock.lastSetTime = static_cast<float>(TimeNow());
    clock.speed = factor;
    clock.lastRealTime = static_cast<float>(realElapsed());
}

void SetPresentationTime(double seconds) {
    TimerInit();
    ClockState& clock = state();
    clock.lastSetTime = static_cast<float>(seconds);
    clock.lastRealTime = static_cast<float>(realElapsed());
}

void SetClockPaused(bool paused) {
    TimerInit();
    ClockState& clock = state();
    if (paused == clock.paused) {
        return;
    }
    if (clock.fixedStep) {
        clock.paused = paused;
        return;
    }
    // Both ways the time read now becomes the base the clock runs on from.
    clock.lastSetTime = static_cast<float>(TimeNow());
    clock.lastRealTime = static_cast<float>(realElapsed());
    clock.paused = paused;
}

bool ClockPaused() {
    return state().paused;
}

float GetTimeSpeed() {
    return state().speed;
}

void SetFixedStep(bool enabled, float framesPerSecond) {
    ClockState& clock = state();
    clock.fixedStep = enabled;
    clock.fixedStepRate = framesPerSecond;
}

void SetFrameIndex(std::uint32_t index) {
    state().frameIndex = index;
}

std::uint32_t MillisecondCounter() {
    return static_cast<std::uint32_t>(PerformanceCounter() / 1'000'000);
}

void ResetClockForTests(CounterSource source) {
    state() = ClockState{};
    state().source = source;
}

}  // namespace vesta
