#pragma once
// Puts the engine's process-wide state (file system, log, clock) back to how
// a new process starts; for tests linking those libraries.

#include <string>
#include <vector>

#include "fs/ArchiveList.h"
#include "fs/DiskFiles.h"
#include "fs/ResourceTable.h"
#include "fs/SearchPaths.h"
#include "fs/UsedFiles.h"
#include "log/Log.h"
#include "platform/Clock.h"

namespace vesta::test {

// The text of the engine error `call` raises, or "<none>".
template <class Call>
std::string EngineErrorOf(Call call) {
    try {
        call();
    } catch (const CUserException& error) {
        return error.Text();
    }
    return "<none>";
}

// Sends every log line into `lines` until ResetEngineState or SetLogSink(nullptr, nullptr).
inline void CaptureLog(std::vector<std::string>& lines) {
    SetLogSink(
        [](void* sink, const char* line) {
            static_cast<std::vector<std::string>*>(sink)->push_back(line);
        },
        &lines);
}

inline void ResetEngineState() {
    ArchiveList::ClearForTests();
    ClearSearchPathsForTests();
    ClearUsedFilesForTests();
    ClearDiskFilesForTests();
    ResourceTable::UseForTests(ResourceTable{});
    ResetLogState();
    ResetClockForTests();
}

}  // namespace vesta::test
