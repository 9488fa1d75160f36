#include "platform/MemoryLibrary.h"

#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace vesta {
namespace {

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

bool MemoryLibrary::Load(std::span<const std::uint8_t> image, const std::string& name) {
    Unload();
    m_fd = memfd_create(name.c_str(), MFD_CLOEXEC);
    if (m_fd < 0) {
        m_error = std::string("memfd_create: ") + std::strerror(errno);
        return false;
    }
    if (!writeAll(m_fd, image)) {
        m_error = std::string("writing the memory file: ") + std::strerror(errno);
        Unload();
        return false;
    }
    if (!m_library.Open("/proc/self/fd/" + std::to_string(m_fd))) {
        m_error = m_library.Error();
        Unload();
        return false;
    }
    m_error.clear();
    return true;
}

void MemoryLibrary::Unload() {
    m_library.Close();
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

}  // namespace vesta
