#pragma once
// The root of the engine's own exceptions. Whatever a subsystem throws, the
// entry point can show its text, and a std::exception handler catches it too.

#include <exception>
#include <string>

namespace vesta {

class CEngineError : public std::exception {
public:
    explicit CEngineError(std::string text) : m_text(std::move(text)) {}
    const char* what() const noexcept override { return m_text.c_str(); }

protected:
    std::string m_text;
};

}  // namespace vesta
