#pragma once
// The OpenAL device and context of the sound system: the default device or a
// loopback device rendered on request.

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <cstddef>
#include <string>

namespace vesta {

class AlOutput {
public:
    AlOutput() = default;
    ~AlOutput() { Close(); }
    AlOutput(const AlOutput&) = delete;
    AlOutput& operator=(const AlOutput&) = delete;

    // False when no device or context could be had; nothing stays open then.
    bool OpenDevice(int rate);
    bool OpenLoopback(int rate);
    void Close();

    bool IsOpen() const { return m_context != nullptr; }
    bool IsLoopback() const { return m_render != nullptr; }
    const std::string& Name() const { return m_name; }
    int Rate() const { return m_rate; }

    // Loopback only: stereo float frames.
    void Render(float* interleaved, std::size_t frames);
    void Pause();
    // Stops (or restarts) the device's mixing, every source keeping its
    // place; false when the device cannot pause.
    bool SetDevicePaused(bool paused);

private:
    bool createContext(int rate, bool loopback);

    ALCdevice* m_device = nullptr;
    ALCcontext* m_context = nullptr;
    LPALCRENDERSAMPLESSOFT m_render = nullptr;
    std::string m_name;
    int m_rate = 0;
};

}  // namespace vesta
