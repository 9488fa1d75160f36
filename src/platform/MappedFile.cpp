#include "platform/MappedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vesta {
namespace {

// Data() of an empty file: a valid pointer to no bytes.
const std::uint8_t kNoBytes[1] = {0};

}  // namespace

MappedFile::~MappedFile() {
    Close();
}

MappedFile::MappedFile(MappedFile&& other) noexcept {
    *this = std::move(other);
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_modified = std::exchange(other.m_modified, 0);
        m_open = std::exchange(other.m_open, false);
        m_mapped = std::exchange(other.m_mapped, false);
    }
    return *this;
}

bool MappedFile::Open(const std::string& path) {
    Close();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EISDIR;
        close(fd);
        errno = error;
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size == 0) {
        m_data = kNoBytes;
    } else {
        void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (view == MAP_FAILED) {
            const int error = errno;
            close(fd);
            errno = error;
            return false;
        }
        m_data = static_cast<const std::uint8_t*>(view);
        m_mapped = true;
    }
    // The mapping stays valid after the descriptor is closed.
    close(fd);
    m_size = size;
    m_modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    m_open = true;
    return true;
}

void MappedFile::Close() {
    if (m_mapped) {
        munmap(const_cast<std::uint8_t*>(m_data), m_size);
    }
    m_data = nullptr;
    m_size = 0;
    m_modified = 0;
    m_open = false;
    m_mapped = false;
}

}  // namespace vesta
