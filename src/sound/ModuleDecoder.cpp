// Tracker modules rendered by libopenmpt.

#include <cmath>
#include <libopenmpt/libopenmpt.h>

#include "log/Log.h"
#include "sound/Decoder.h"

namespace vesta {
namespace {

// Set while this thread opens a module: the log is the main thread's, and
// remarks made later, while the mixer renders, are dropped.
thread_local bool t_openingModule = false;

// libopenmpt's remarks on a module go to the log, not to standard error.
void logModuleMessage(const char* message, void*) {
    if (t_openingModule) {
        LogPrintf("Module : %s", message ? message : "");
    }
}

class ModuleDecoder final : public Decoder {
public:
    ModuleDecoder(openmpt_module* module, int rate, bool mono)
        : m_module(module), m_rate(rate), m_mono(mono) {}
    ~ModuleDecoder() override { openmpt_module_destroy(m_module); }
    ModuleDecoder(const ModuleDecoder&) = delete;
    ModuleDecoder& operator=(const ModuleDecoder&) = delete;

    int Rate() const override { return m_rate; }
    int Channels() const override { return m_mono ? 1 : 2; }

    std::size_t Read(float* interleaved, std::size_t frames) override {
        // libopenmpt renders in slices; a short read before the end is not the end.
        std::size_t done = 0;
        while (done < frames) {
            float* at = interleaved + done * static_cast<std::size_t>(Channels());
            const std::size_t read =
                m_mono ? openmpt_module_read_float_mono(m_module, m_rate, frames - done, at)
                       : openmpt_module_read_interleaved_float_stereo(m_module, m_rate,
                                                                      frames - done, at);
            if (read == 0) {
                break;
            }
            done += read;
        }
        return done;
    }

    bool Rewind() override {
        openmpt_module_set_position_seconds(m_module, 0.0);
        return true;
    }

    // A looping module's time runs on past its length: the position wraps.
    bool Seek(double seconds) override {
        const double length = openmpt_module_get_duration_seconds(m_module);
        if (seconds < 0.0 || length <= 0.0) {
            return false;
        }
        if (seconds >= length) {
            if (openmpt_module_get_repeat_count(m_module) != -1) {
                return false;
            }
            seconds = std::fmod(seconds, length);
        }
        openmpt_module_set_position_seconds(m_module, seconds);
        return true;
    }

private:
    openmpt_module* m_module;
    int m_rate;
    bool m_mono;
};

}  // namespace

std::unique_ptr<Decoder> OpenModule(const std::vector<std::uint8_t>& bytes, int rate, bool mono,
                                    bool loop, std::string* whyNot) {
    if (bytes.empty()) {
        if (whyNot) {
            *whyNot = "the file is empty";
        }
        return nullptr;
    }
    int error = 0;
    const char* errorText = nullptr;
    t_openingModule = true;
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), logModuleMessage, nullptr, openmpt_error_func_ignore, nullptr,
        &error, &errorText, nullptr);
    t_openingModule = false;
    if (!module) {
        if (whyNot) {
            *whyNot = errorText && *errorText ? errorText : "not a module libopenmpt knows";
        }
        openmpt_free_string(errorText);
        return nullptr;
    }
    openmpt_free_string(errorText);
    openmpt_module_set_repeat_count(module, loop ? -1 : 0);
    // A seek lands inside notes struck before it, as if they had played there.
    openmpt_module_ctl_set_boolean(module, "seek.sync_samples", 1);
    return std::make_unique<ModuleDecoder>(module, rate, mono);
}

}  // namespace vesta
