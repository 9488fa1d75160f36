#pragma once
// One mounted PAK archive: its bytes (an executable resource or a mapped
// file) and its directory keyed by lower-cased entry name.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "fs/PakFormat.h"
#include "platform/MappedFile.h"

namespace vesta {

class ResourceArchive {
public:
    // Mounts `name`: the executable's resource named like its last component,
    // else the file `name`, else "../" + name. Null when there is none or it is
    // not a readable archive (damage other than a bad name is warned about).
    // A name that does not inflate throws CAppError "Error : damaged archive [name]".
    static std::unique_ptr<ResourceArchive> Mount(const std::string& name);

    // Mounts bytes that stay valid for the archive's life.
    static std::unique_ptr<ResourceArchive> MountMemory(const std::string& name,
                                                        std::span<const std::uint8_t> bytes);

    const std::string& Name() const { return m_name; }
    const std::string& FullPath() const { return m_fullPath; }
    std::int64_t ModifiedTime() const { return m_modifiedTime; }
    std::size_t Size() const { return m_bytes.size(); }
    const std::map<std::string, pak::Entry>& Directory() const { return m_directory; }

    // Looks `name` up without regard to ASCII case.
    const pak::Entry* Find(std::string_view name) const;

    // The entry's bytes: a pointer into the archive for stored entries; for
    // compressed ones a new block in `inflated`. Null (and a warning naming the
    // entry) when the entry is damaged.
    const std::uint8_t* Obtain(const pak::Entry& entry,
                               std::unique_ptr<std::uint8_t[]>& inflated) const;

private:
    ResourceArchive() = default;
    static std::unique_ptr<ResourceArchive> parse(std::unique_ptr<ResourceArchive> archive);

    std::string m_name;
    std::string m_fullPath;
    std::int64_t m_modifiedTime = 0;
    MappedFile m_file;  // file mode only
    std::span<const std::uint8_t> m_bytes;
    std::map<std::string, pak::Entry> m_directory;
};

}  // namespace vesta
