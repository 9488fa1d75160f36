#pragma once
// Scratch folders, files and child processes for the tests.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vesta::test {

// A fresh folder, removed with everything in it at the end of the scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Changes the current folder for the scope.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::filesystem::path& folder);
    ~ScopedChdir();
    ScopedChdir(const ScopedChdir&) = delete;
    ScopedChdir& operator=(const ScopedChdir&) = delete;

private:
    std::filesystem::path m_previous;
};

void WriteFile(const std::filesystem::path& path, std::string_view contents);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& contents);
std::string ReadFile(const std::filesystem::path& path);
std::vector<std::uint8_t> Bytes(std::string_view text);

// Whether `name` reads "PREFIX [HEX]": a default effect name, the number in
// upper-case hexadecimal of at most `maxDigits` digits.
bool IsHexNamed(std::string_view name, std::string_view prefix, std::size_t maxDigits = 8);

struct ProcessResult {
    int exitCode = -1;  // -1 when killed by a signal
    std::string out;
    std::string err;
};

// Runs `program` with `arguments` in `folder`, with an environment that has no display.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder);

}  // namespace vesta::test
