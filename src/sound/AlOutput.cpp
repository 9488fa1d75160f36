#include "sound/AlOutput.h"

namespace vesta {

bool AlOutput::OpenDevice(int rate) {
    Close();
    m_device = alcOpenDevice(nullptr);
    if (!m_device) {
        return false;
    }
    if (!createContext(rate, false)) {
        Close();
        return false;
    }
    const ALCchar* name = alcGetString(m_device, ALC_DEVICE_SPECIFIER);
    m_name = name ? name : "default";
    return true;
}

bool AlOutput::OpenLoopback(int rate) {
    Close();
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
        return false;
    }
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto supported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!open || !supported || !render) {
        return false;
    }
    m_device = open(nullptr);
    if (!m_device || !supported(m_device, rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT) ||
        !createContext(rate, true)) {
        Close();
        return false;
    }
    m_render = render;
    m_name = "loopback";
    return true;
}

bool AlOutput::createContext(int rate, bool loopback) {
    // No HRTF: the output must be plain stereo whatever the machine's
    // configuration says, so that recordings sound the same everywhere.
    const ALCint deviceAttributes[] = {ALC_FREQUENCY, rate, ALC_HRTF_SOFT, ALC_FALSE, 0};
    const ALCint loopbackAttributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                         ALC_STEREO_SOFT,
                                         ALC_FORMAT_TYPE_SOFT,
                                         ALC_FLOAT_SOFT,
                                         ALC_FREQUENCY,
                                         rate,
                                         ALC_HRTF_SOFT,
                                         ALC_FALSE,
                                         0};
    m_context = alcCreateContext(m_device, loopback ? loopbackAttributes : deviceAttributes);
    if (!m_context || !alcMakeContextCurrent(m_context)) {
        return false;
    }
    ALCint actual = rate;
    alcGetIntegerv(m_device, ALC_FREQUENCY, 1, &actual);
    m_rate = actual > 0 ? actual : rate;
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return alIsExtensionPresent("AL_EXT_float32") &&
           alIsExtensionPresent("AL_SOFT_direct_channels");
}

void AlOutput::Render(float* interleaved, std::size_t frames) {
    if (m_render) {
        m_render(m_device, interleaved, static_cast<ALCsizei>(frames));
    }
}

void AlOutput::Pause() {
    if (m_context) {
        alcSuspendContext(m_context);
    }
}

bool AlOutput::SetDevicePaused(bool paused) {
    if (!m_device || !alcIsExtensionPresent(m_device, "ALC_SOFT_pause_device")) {
        return false;
    }
    using DeviceCall = void(ALC_APIENTRY*)(ALCdevice*);
    const auto call = reinterpret_cast<DeviceCall>(
        alcGetProcAddress(m_device, paused ? "alcDevicePauseSOFT" : "alcDeviceResumeSOFT"));
    if (!call) {
        return false;
    }
    call(m_device);
    return true;
}

void AlOutput::Close() {
    if (m_context) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_context);
        m_context = nullptr;
    }
    if (m_device) {
        alcCloseDevice(m_device);
        m_device = nullptr;
    }
    m_render = nullptr;
    m_name.clear();
    m_rate = 0;
}

}  // namespace vesta
