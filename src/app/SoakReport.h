#pragma once
// What a long run holds at the end of each pass of the show: the live
// resources of the render module and the sound system and the resident memory
// of the process. A run that plays the show several times (--soak) writes one
// line per pass, so that growth from one pass to the next shows as a leak.

#include <cstddef>
#include <string>

namespace vesta {

class RenderModule;
class SoundSystem;

struct SoakCounts {
    std::size_t textures = 0;
    std::size_t deviceTextures = 0;
    std::size_t meshBuffers = 0;
    std::size_t deviceBuffers = 0;
    std::size_t sounds = 0;
    std::size_t residentKilobytes = 0;
};

// VmRSS of this process; 0 when /proc does not tell.
std::size_t ResidentKilobytes();

// `sound` may be null (a run without sound holds no sound handles).
SoakCounts MeasureSoak(const RenderModule& module, const SoundSystem* sound);

// "soak loop 2 of 6: textures 3, device textures 3, mesh buffers 0,
// device buffers 0, sounds 0, resident 81234 kB"
std::string FormatSoakLine(int loop, int loops, const SoakCounts& counts);

}  // namespace vesta
