#pragma once
// Puts the engine's process-wide state (file system, log, clock) back to how
// a new process starts; for tests linking those libraries.

#include "fs/ArchiveList.h"
#include "fs/ResourceTable.h"
#include "fs/SearchPaths.h"
#include "fs/UsedFiles.h"
#include "log/Log.h"
#include "platform/Clock.h"

namespace vesta::test {

inline void ResetEngineState() {
    ArchiveList::ClearForTests();
    ClearSearchPathsForTests();
    ClearUsedFilesForTests();
    ResourceTable::UseForTests(ResourceTable{});
    ResetLogState();
    ResetClockForTests();
}

}  // namespace vesta::test
