#pragma once
// The files served from disk, by the path they were read from: what a run can
// watch for changes (archives and the executable's own resources never change
// under it).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

struct DiskFile {
    std::string name;  // as requested
    std::string path;  // as opened
};

// Once per path, in the order they were first opened.
void RecordDiskFile(std::string_view name, std::string_view path);
const std::vector<DiskFile>& DiskFilesOpened();

// The paths opened from disk while it lives (also those opened before), each
// once; while several live, the newest one hears of them.
class DiskFileCollector {
public:
    DiskFileCollector();
    ~DiskFileCollector();
    DiskFileCollector(const DiskFileCollector&) = delete;
    DiskFileCollector& operator=(const DiskFileCollector&) = delete;

    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    friend void RecordDiskFile(std::string_view name, std::string_view path);
    DiskFileCollector* m_outer;
    std::vector<std::string> m_paths;
};

void ClearDiskFilesForTests();

}  // namespace vesta
