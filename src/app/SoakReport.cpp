#include "app/SoakReport.h"

#include <cstdio>
#include <fstream>

#include "render/RenderModule.h"
#include "sound/SoundSystem.h"

namespace vesta {
std::size_t ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        std::size_t kilobytes = 0;
        if (std::sscanf(line.c_str(), "VmRSS: %zu kB", &kilobytes) == 1) {
            return kilobytes;
        }
    }
    return 0;
}

SoakCounts MeasureSoak(const RenderModule& module, const SoundSystem* sound) {
    SoakCounts counts;
    counts.textures = module.LiveTextureCount();
    counts.deviceTextures = module.LiveDeviceTextureCount();
    counts.meshBuffers = module.LiveMeshBufferCount();
    counts.deviceBuffers = module.LiveDeviceBufferCount();
    counts.sounds = sound ? sound->LiveHandleCount() : 0;
    counts.residentKilobytes = ResidentKilobytes();
    return counts;
}

std::string FormatSoakLine(int loop, int loops, const SoakCounts& counts) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "soak loop %d of %d: textures %zu, device textures %zu, mesh buffers %zu, "
                  "device buffers %zu, sounds %zu, resident %zu kB",
                  loop, loops, counts.textures, counts.deviceTextures, counts.meshBuffers,
                  counts.deviceBuffers, counts.sounds, counts.residentKilobytes);
    return line;
}

}  // namespace vesta
