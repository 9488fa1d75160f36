// Frames per second of the video output at 640x480 with FFV1, fed from memory:
// the writer called directly, the threaded recorder, both with a simulated
// render cost per frame, and the frame grab's conversion of the back buffer.
// Wall-clock figures depend on what else the machine runs; the CPU time per
// frame (encoding and conversion, without the simulated rendering) does not.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <unistd.h>
#include <vector>

#include "app/video/AviWriter.h"
#include "app/video/FrameGrab.h"
#include "app/video/VideoRecorder.h"

namespace {

using namespace vesta;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 300;
constexpr int kDistinct = 25;

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Something like a demo frame: gradients, a moving disc, a little noise.
std::vector<std::uint8_t> demoFrame(int index) {
    std::vector<std::uint8_t> frame(std::size_t(kWidth) * kHeight * 3);
    std::uint32_t noise = 12345u + std::uint32_t(index);
    const double cx = 320 + 200 * std::cos(index * 0.25), cy = 240 + 150 * std::sin(index * 0.25);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const bool disc = (x - cx) * (x - cx) + (y - cy) * (y - cy) < 80 * 80;
            std::uint8_t* p = &frame[(std::size_t(y) * kWidth + x) * 3];
            p[0] = std::uint8_t(disc ? 250 : x * 255 / kWidth);
            p[1] = std::uint8_t(disc ? 200 : y * 255 / kHeight);
            p[2] = std::uint8_t((index * 4 + (noise >> 30)) & 0xFF);
        }
    }
    return frame;
}

void spin(double milliseconds) {
    const auto start = Clock::now();
    while (seconds(start) * 1000.0 < milliseconds) {
    }
}

template <class Writer>
void measure(const char* name, const std::vector<std::vector<std::uint8_t>>& frames,
             double renderMs) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("vesta-video-bench-" + std::to_string(getpid()) + ".avi");
    Writer writer;
    writer.Open(kWidth, kHeight, 25.0f, file.string(), "ffv1");
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    for (int i = 0; i < kFrames; ++i) {
        spin(renderMs);
        writer.WriteFrame(frames[std::size_t(i % kDistinct)].data());
    }
    writer.Close();
    const double used = seconds(start);
    const double cpu = cpuSeconds() - cpuStart - renderMs * kFrames / 1000.0;
    const auto bytes = std::filesystem::file_size(file);
    std::filesystem::remove(file);
    std::printf("%-40s %6.1f fps  %6.2f ms/frame  %5.2f ms CPU/frame  %5.1f KiB/frame\n", name,
                kFrames / used, used * 1000.0 / kFrames, cpu * 1000.0 / kFrames,
                double(bytes) / kFrames / 1024.0);
}

void measureGrab(const char* name, const PixelLayout& layout, bool general) {
    const int bytesPerPixel = layout.bitsPerPixel == 16 ? 2 : 4;
    std::vector<std::uint8_t> back(std::size_t(kWidth) * kHeight * bytesPerPixel);
    for (std::size_t i = 0; i < back.size(); ++i) {
        back[i] = std::uint8_t(i * 2654435761u >> 24);
    }
    std::vector<std::uint8_t> out(std::size_t(kWidth) * kHeight * 3);
    const FrameGrab grab(layout);
    const int rounds = 300;
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        if (general) {
            grab.ConvertGeneral(back.data(), kWidth * bytesPerPixel, kWidth, kHeight, out.data());
        } else {
            grab.Convert(back.data(), kWidth * bytesPerPixel, kWidth, kHeight, out.data());
        }
    }
    const double used = seconds(start);
    std::printf("%-44s %7.0f fps  %6.3f ms/frame\n", name, rounds / used, used * 1000.0 / rounds);
}

}  // namespace

int main() {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < kDistinct; ++i) {
        frames.push_back(demoFrame(i));
    }
    std::printf("640x480, FFV1 into AVI, %d frames from memory\n", kFrames);
    measure<AviWriter>("AviWriter", frames, 0.0);
    measure<VideoRecorder>("VideoRecorder", frames, 0.0);
    std::printf("with 4 ms of rendering before each frame\n");
    measure<AviWriter>("AviWriter + render", frames, 4.0);
    measure<VideoRecorder>("VideoRecorder + render (overlapped)", frames, 4.0);
    std::printf("frame grab, 640x480 back buffer to BGR bottom-up\n");
    measureGrab("RGB565 specialised", PixelLayout{16, 0xF800, 0x07E0, 0x001F}, false);
    measureGrab("RGB565 general", PixelLayout{16, 0xF800, 0x07E0, 0x001F}, true);
    measureGrab("X8R8G8B8 specialised", PixelLayout{32, 0xFF0000, 0xFF00, 0xFF}, false);
    measureGrab("X8R8G8B8 general", PixelLayout{32, 0xFF0000, 0xFF00, 0xFF}, true);
    return 0;
}
