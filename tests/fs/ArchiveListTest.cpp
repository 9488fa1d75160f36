// Which archives are mounted, and in which order.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FsTestSupport.h"
#include "TestSupport.h"
#include "fs/DataFile.h"
#include "fs/PakWriter.h"

namespace vesta::test {
namespace {

std::vector<std::uint8_t> archiveWith(const std::string& name, const std::string& text) {
    pak::PakWriter writer;
    writer.Add(name, Bytes(text));
    return *writer.Build();
}

void setModifiedTime(const std::filesystem::path& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::string read(std::string_view name) {
    DataFile file;
    return file.Open(name) ? std::string(reinterpret_cast<const char*>(file.Data()), file.Size())
                           : "<none>";
}

class ArchiveListTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
};

TEST_F(ArchiveListTest, NewestPakFileWins) {
    WriteFile(m_dir / "old.pak", archiveWith("Shared.txt", "old"));
    WriteFile(m_dir / "NEW.PAK", archiveWith("shared.txt", "new"));
    WriteFile(m_dir / "middle.pak", archiveWith("shared.txt", "middle"));
    setModifiedTime(m_dir / "old.pak", 1000);
    setModifiedTime(m_dir / "NEW.PAK", 3000);
    setModifiedTime(m_dir / "middle.pak", 2000);
    ArchiveList::MountAll();
    ASSERT_EQ(ArchiveList::Mounted().size(), 3u);
    EXPECT_EQ(ArchiveList::Mounted()[0]->Name(), "NEW.PAK");
    EXPECT_EQ(ArchiveList::Mounted()[2]->Name(), "old.pak");
    EXPECT_EQ(read("SHARED.TXT"), "new");
}

TEST_F(ArchiveListTest, DamagedAndForeignPakFilesAreSkipped) {
    WriteFile(m_dir / "good.pak", archiveWith("a", "good"));
    WriteFile(m_dir / "notes.pak", "just some text");
    std::vector<std::uint8_t> truncated = archiveWith("a", "truncated");
    truncated.resize(12);
    WriteFile(m_dir / "cut.pak", truncated);
    ArchiveList::MountAll();
    ASSERT_EQ(ArchiveList::Mounted().size(), 1u);
    EXPECT_EQ(read("a"), "good");
}

TEST_F(ArchiveListTest, EmbeddedArchiveHidesPakFiles) {
    WriteFile(m_dir / "folder.pak", archiveWith("where.txt", "folder"));
    static const std::vector<std::uint8_t> image =
        AppendResourceTable(Bytes("program"), {{"readme", Bytes("not an archive")},
                                               {"DEMO.PAK", archiveWith("where.txt", "embedded")}});
    ResourceTable::UseForTests(ResourceTable::Parse(image));
    ArchiveList::MountAll();
    ASSERT_EQ(ArchiveList::Mounted().size(), 1u);
    EXPECT_EQ(ArchiveList::Mounted()[0]->Name(), "demo.pak");
    EXPECT_EQ(read("where.txt"), "embedded");
}

TEST_F(ArchiveListTest, UnreadableEmbeddedArchiveFallsBackToPakFiles) {
    WriteFile(m_dir / "folder.pak", archiveWith("where.txt", "folder"));
    static const std::vector<std::uint8_t> image =
        AppendResourceTable(Bytes("program"), {{"broken.pak", Bytes("PAK\x01\x04")}});
    ResourceTable::UseForTests(ResourceTable::Parse(image));
    ArchiveList::MountAll();
    EXPECT_EQ(read("where.txt"), "folder");
}

TEST_F(ArchiveListTest, ArchiveBesideTheFolderIsFoundFromASubfolder) {
    WriteFile(m_dir / "up.pak", archiveWith("a", "parent"));
    std::filesystem::create_directory(m_dir / "sub");
    ScopedChdir sub(m_dir / "sub");
    auto archive = ResourceArchive::Mount("up.pak");
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->Directory().size(), 1u);
}

}  // namespace
}  // namespace vesta::test
