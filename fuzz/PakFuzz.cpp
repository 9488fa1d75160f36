// Any bytes as an archive: mounting and opening every entry must end in
// results or messages, never in a crash or an unbounded allocation.

#include <cstddef>
#include <cstdint>

#include "fs/ArchiveList.h"
#include "fs/DataFile.h"
#include "log/Log.h"
#include "log/WarningEcho.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vesta::SetWarningsToStandardError(false);
    vesta::ArchiveList::ClearForTests();
    try {
        auto archive = vesta::ResourceArchive::MountMemory("fuzz.pak", {data, size});
        if (!archive) {
            return 0;
        }
        std::vector<std::string> names;
        for (const auto& [name, entry] : archive->Directory()) {
            names.push_back(name);
        }
        vesta::ArchiveList::AppendForTests(std::move(archive));
        for (const std::string& name : names) {
            vesta::DataFile file;
            if (file.Open(name) && file.Size() > 0) {
                volatile std::uint8_t last = file.Data()[file.Size() - 1];
                (void)last;
            }
        }
    } catch (const vesta::CAppError&) {
        // A damaged name is reported this way.
    }
    vesta::ArchiveList::ClearForTests();
    return 0;
}
