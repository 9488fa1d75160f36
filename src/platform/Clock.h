#pragma once
// The presentation clock: monotonic real time scaled by the time-stretch
// factor, or frame index / frame rate while frames are recorded.

#include <cstdint>

namespace vesta {

// Once per process; later calls do nothing. Seeds rand() with the calendar
// time unless SeedRandom came first.
void TimerInit();

// Seeds rand() with `seed` for this process, before or after TimerInit: runs
// with the same seed draw the same numbers.
void SeedRandom(unsigned seed);
// The seed rand() was last given (by TimerInit or SeedRandom).
unsigned RandomSeed();

// Presentation time in seconds.
double TimeNow();

// Keeps the presentation time continuous: the new speed applies from now on.
void SetTimeSpeed(float factor);
float GetTimeSpeed();
// The real-time clock reads `seconds` now and runs on from there at the
// current speed (after a run has skipped ahead on the fixed step).
void SetPresentationTime(double seconds);
// A paused clock reads the time it was paused at until it is resumed, then
// runs on from there; the fixed step of a recording is not paused.
void SetClockPaused(bool paused);
bool ClockPaused();

// While recording, time advances by 1 / framesPerSecond per recorded frame.
void SetFixedStep(bool enabled, float framesPerSecond);
void SetFrameIndex(std::uint32_t index);

// The cheap millisecond counter of the frame statistics (wraps like a 32-bit count).
std::uint32_t MillisecondCounter();

// Raw monotonic counter and its frequency (ticks per second).
std::int64_t PerformanceCounter();
std::int64_t PerformanceFrequency();

// Returns the clock to its never-initialised state and, when given, reads
// ticks (nanoseconds) from `source` instead of the monotonic clock; for tests.
using CounterSource = std::int64_t (*)();
void ResetClockForTests(CounterSource source = nullptr);

}  // namespace vesta
