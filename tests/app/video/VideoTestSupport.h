#pragma once
// Frames, error texts and a file-size limit for the video tests.

#include <csignal>
#include <cstdint>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "log/Log.h"

namespace vesta::test {

// Noise that no codec can predict, the same for the same seed.
inline std::vector<std::uint8_t> NoiseFrame(int width, int height, std::uint32_t seed) {
    std::vector<std::uint8_t> frame(std::size_t(width) * height * 3);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint8_t& byte : frame) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = std::uint8_t(state >> 24);
    }
    return frame;
}

// The text of the application error `call` throws, or "<none>".
template <class Call>
std::string AppErrorOf(Call call) {
    try {
        call();
    } catch (const CAppError& error) {
        return error.Text();
    }
    return "<none>";
}

// The writer's own text of a failure, without the file and the reason it
// adds after it (the tests' files have absolute names).
inline std::string OwnText(const std::string& message) {
    return message.substr(0, message.find(" [/"));
}

template <class Call>
std::string OwnErrorOf(Call call) {
    return OwnText(AppErrorOf(call));
}

// Makes writes past `bytes` fail with EFBIG, as a full disk would, for the scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};

}  // namespace vesta::test
