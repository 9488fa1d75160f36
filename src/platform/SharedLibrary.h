#pragma once
// A shared object opened with dlopen: symbols bound at once, kept to itself.

#include <string>

namespace vesta {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary() { Close(); }
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // False, with the loader's reason in Error(), when `path` is no loadable
    // shared object or one of its symbols cannot be bound. A path without a
    // slash is looked up as a library name, as dlopen does.
    bool Open(const std::string& path);
    void Close();

    bool IsOpen() const { return m_handle != nullptr; }
    // The address of the exported symbol `name`; null when there is none.
    void* Find(const char* name) const;
    const std::string& Error() const { return m_error; }

private:
    void* m_handle = nullptr;
    std::string m_error;
};

}  // namespace vesta
