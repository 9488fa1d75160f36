#pragma once
// A shared object whose bytes lie in memory (an archive entry, say), loaded
// without a file on disk: the bytes go into an anonymous memory file
// (memfd_create) and the dynamic loader opens it as /proc/self/fd/N.

#include <cstdint>
#include <span>
#include <string>

#include "platform/SharedLibrary.h"

namespace vesta {

class MemoryLibrary {
public:
    MemoryLibrary() = default;
    ~MemoryLibrary() { Unload(); }
    MemoryLibrary(const MemoryLibrary&) = delete;
    MemoryLibrary& operator=(const MemoryLibrary&) = delete;

    // `image` is the complete shared object; the caller may free it once Load
    // returns. `name` only labels the memory file (seen in /proc/PID/maps).
    // False, with the reason in Error(), when the bytes are no loadable object.
    bool Load(std::span<const std::uint8_t> image, const std::string& name);
    void Unload();

    bool IsLoaded() const { return m_library.IsOpen(); }
    // The address of the exported symbol `name`; null when there is none.
    void* Find(const char* name) const { return m_library.Find(name); }
    const std::string& Error() const { return m_error; }

private:
    SharedLibrary m_library;
    // Open while the library is: the loader knows the object by the path
    // /proc/self/fd/N, and a later load through a reused N would be handed
    // this object instead of its own.
    int m_fd = -1;
    std::string m_error;
};

}  // namespace vesta
