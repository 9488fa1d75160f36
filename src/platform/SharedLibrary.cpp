#include "platform/SharedLibrary.h"

#include <dlfcn.h>
#include <utility>

namespace vesta {

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_error = std::move(other.m_error);
    }
    return *this;
}

bool SharedLibrary::Open(const std::string& path) {
    Close();
    // RTLD_NOW: a library that needs a symbol nobody provides fails here, not
    // at its first call. RTLD_LOCAL: its symbols do not satisfy later loads.
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* reason = dlerror();
        m_error = reason ? reason : "unknown loader error";
        return false;
    }
    m_error.clear();
    return true;
}

void SharedLibrary::Close() {
    if (m_handle) {
        dlclose(m_handle);
        m_handle = nullptr;
    }
}

void* SharedLibrary::Find(const char* name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

}  // namespace vesta
