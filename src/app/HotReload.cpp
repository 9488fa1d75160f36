#include "app/HotReload.h"

#include <algorithm>

#include "fs/DiskFiles.h"
#include "platform/Paths.h"
#include "render/RenderResources.h"

namespace vesta {
namespace {

bool isPicture(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string extension = AsciiLower(name.substr(dot + 1));
    return extension == "png" || extension == "jpg";
}

}  // namespace

void HotReload::SetScriptFiles(std::vector<std::string> paths) {
    m_scriptFiles = std::move(paths);
    watchNewFiles();
}

void HotReload::watchNewFiles() {
    const std::vector<DiskFile>& files = DiskFilesOpened();
    for (; m_known < files.size(); ++m_known) {
        m_watch.Add(files[m_known].path);
    }
}

HotReload::Changes HotReload::Poll(std::uint32_t nowMs) {
    watchNewFiles();
    Changes changes;
    const std::vector<DiskFile>& files = DiskFilesOpened();
    for (const std::string& path : m_watch.Poll(nowMs)) {
        const bool ofTheScript =
            std::find(m_scriptFiles.begin(), m_scriptFiles.end(), path) != m_scriptFiles.end();
        const auto opened = std::find_if(files.begin(), files.end(),
                                         [&](const DiskFile& file) { return file.path == path; });
        if (!ofTheScript && opened != files.end() && isPicture(opened->name)) {
            changes.pictures.push_back(PictureLookupName(opened->name));
        } else {
            changes.script = true;
        }
    }
    return changes;
}

void DrawReloadFailure(Font& font, const std::vector<std::string>& errors) {
    // Below the frame rate and the part and time line; a few lines at most,
    // the rest is on standard error.
    constexpr std::size_t kShownLines = 4;
    constexpr unsigned kTop = 130, kLineHeight = 15;
    font.Print(0, 10, kTop, "The changed script cannot play; the old one goes on:");
    for (std::size_t line = 0; line < std::min(errors.size(), kShownLines); ++line) {
        font.Print(0, 10, kTop + kLineHeight * unsigned(line + 1), "%.120s", errors[line].c_str());
    }
}

}  // namespace vesta
