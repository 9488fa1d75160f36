// Frames per second of the showcase at 640x480 headless, side by side:
// rendered only, rendered and recorded (FFV1), and the same encoder fed the
// recorded frames from memory. Each show runs in a child process of its
// own, so that every run starts from a fresh engine.
//
//   vesta_bench_recording [SECONDS]     (default 20 s of show, 25 fps)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "VideoReadBack.h"
#include "app/DemoApp.h"
#include "app/video/VideoRecorder.h"
#include "fs/ArchiveList.h"
#include "platform/Clock.h"
#include "render/gl/GlModule.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr float kRate = 25.0f;

double elapsedSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Plays `seconds` of the show in a child; its wall time, or a negative value.
double playInChild(double seconds, const std::string& videoFile) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return -1.0;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        vesta::LaunchOptions options;
        options.headless = true;
        options.mode = vesta::ModeOption{640, 480, 32};
        options.duration = seconds;
        options.commandLine = "NoSound";
        if (!videoFile.empty()) {
            options.commandLine += " VideoOut";
            options.videoFile = videoFile;
            options.videoFps = kRate;
            options.codec = "ffv1";
        }
        vesta::RegisterGlModule();
        vesta::ArchiveList::MountAll();
        vesta::CDemoApp app(options);
        // The same frames with and without the file: the clock steps by
        // 1/25 s either way, here by hand.
        vesta::SetFixedStep(true, kRate);
        app.Init();
        const Clock::time_point start = Clock::now();
        if (videoFile.empty()) {
            for (std::uint32_t frame = 1; frame <= std::uint32_t(seconds * kRate); ++frame) {
                app.Frame();
                vesta::SetFrameIndex(frame);
            }
        } else {
            app.Run();
        }
        app.Shutdown();
        const double wall = elapsedSince(start);
        const int status = 0;
        [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &wall, sizeof wall);
        _exit(status);
    }
    close(pipeEnds[1]);
    double wall = -1.0;
    if (read(pipeEnds[0], &wall, sizeof wall) != sizeof wall) {
        wall = -1.0;
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return wall;
}

double encodeFromMemory(const vesta::test::ReadBack& recorded, const std::string& file) {
    vesta::VideoRecorder recorder;
    recorder.Open(recorded.width, recorded.height, kRate, file, "ffv1");
    const Clock::time_point start = Clock::now();
    for (const std::vector<std::uint8_t>& frame : recorded.frames) {
        recorder.WriteFrame(frame.data());
    }
    recorder.Close();
    return elapsedSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "vesta-bench-rec";
    std::filesystem::create_directories(work);
    if (chdir(VESTA_SHOWCASE_STAGE) != 0) {
        std::fprintf(stderr, "cannot enter %s\n", VESTA_SHOWCASE_STAGE);
        return 1;
    }
    const double frames = seconds * kRate;
    const std::string file = (work / "showcase.avi").string();
    const double renderOnly = playInChild(seconds, "");
    const double recorded = playInChild(seconds, file);
    if (renderOnly <= 0 || recorded <= 0) {
        std::fprintf(stderr, "the show did not run\n");
        return 1;
    }
    const vesta::test::ReadBack frameSet = vesta::test::ReadRecording(file);
    const double encoded = encodeFromMemory(frameSet, (work / "again.avi").string());
    const double renderFps = frames / renderOnly;
    const double recordFps = frames / recorded;
    const double encodeFps = double(frameSet.frames.size()) / encoded;
    std::printf("showcase, 640x480x32, %.0f frames (%.1f s of show at 25 fps), FFV1\n", frames,
                seconds);
    std::printf("  rendered only                 %7.1f fps\n", renderFps);
    std::printf("  rendered and recorded         %7.1f fps\n", recordFps);
    std::printf("  encoder fed from memory       %7.1f fps\n", encodeFps);
    const double slower = std::min(renderFps, encodeFps);
    std::printf("  recording / slower of others  %7.2f (goal: at least 0.90)\n",
                recordFps / slower);
    std::filesystem::remove_all(work);
    return 0;
}
