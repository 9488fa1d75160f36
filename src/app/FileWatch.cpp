#include "app/FileWatch.h"

#include <algorithm>
#include <sys/stat.h>

namespace vesta {

FileWatch::Stamp FileWatch::stampOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return {};
    }
    return {true, status.st_dev, status.st_ino, status.st_size,
            std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

void FileWatch::Add(const std::string& path) {
    if (Watches(path)) {
        return;
    }
    const Stamp now = stampOf(path);
    m_files.push_back({path, now, now, std::nullopt});
}

bool FileWatch::Watches(const std::string& path) const {
    return std::any_of(m_files.begin(), m_files.end(),
                       [&](const Watched& file) { return file.path == path; });
}

std::vector<std::string> FileWatch::Poll(std::uint32_t nowMs) {
    std::vector<std::string> changed;
    if (m_lastPoll && nowMs - *m_lastPoll < kPollMilliseconds) {
        return changed;
    }
    m_lastPoll = nowMs;
    for (Watched& file : m_files) {
        const Stamp stamp = stampOf(file.path);
        if (!(stamp == file.seen)) {
            file.seen = stamp;
            file.changedAt = nowMs;
            continue;
        }
        if (!file.changedAt || nowMs - *file.changedAt < kQuietMilliseconds) {
            continue;
        }
        file.changedAt.reset();
        if (!(file.seen == file.settled)) {
            file.settled = file.seen;
            changed.push_back(file.path);
        }
    }
    return changed;
}

}  // namespace vesta
