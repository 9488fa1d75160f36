#include "app/video/FileRoom.h"

#include <cerrno>
#include <filesystem>
#include <sys/resource.h>
#include <sys/statvfs.h>

namespace vesta {

std::optional<FileRoom> RoomFor(const std::string& fileName, std::uint64_t currentSize) {
    std::optional<FileRoom> room;
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        room = FileRoom{std::uint64_t(limit.rlim_cur), EFBIG};
    }
    std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    struct statvfs disk {};
    if (statvfs(folder.c_str(), &disk) == 0) {
        const std::uint64_t free = std::uint64_t(disk.f_bavail) * disk.f_frsize + currentSize;
        if (!room || free < room->bytes) {
            room = FileRoom{free, ENOSPC};
        }
    }
    return room;
}

}  // namespace vesta
