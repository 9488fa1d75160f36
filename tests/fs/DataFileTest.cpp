// Resolving names across folders, resources and archives.

#include "fs/DataFile.h"

#include <gtest/gtest.h>

#include "FsTestSupport.h"
#include "TestSupport.h"
#include "fs/PakWriter.h"

namespace vesta::test {
namespace {

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    std::string read(std::string_view name) {
        DataFile file;
        if (!file.Open(name)) {
            return "<none>";
        }
        return std::string(reinterpret_cast<const char*>(file.Data()), file.Size());
    }

    void mountArchive(const std::vector<std::pair<std::string, std::string>>& files) {
        pak::PakWriter writer;
        for (const auto& [name, text] : files) {
            writer.Add(name, Bytes(text));
        }
        m_image = *writer.Build();
        ArchiveList::AppendForTests(ResourceArchive::MountMemory("data.pak", m_image));
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    std::vector<std::uint8_t> m_image;
};

TEST_F(DataFileTest, SearchFoldersComeInOrderBeforeTheCurrentFolder) {
    WriteFile(m_dir / "Data/pic.png", "data");
    WriteFile(m_dir / "pic.png", "current");
    WriteFile(m_dir / "Gfx/only.png", "gfx");
    AddSearchPath("Gfx");
    AddSearchPath("Data");
    EXPECT_EQ(SearchPathList(), (std::vector<std::string>{"Gfx\\", "Data\\"}));
    EXPECT_EQ(read("pic.png"), "data");
    WriteFile(m_dir / "Gfx/pic.png", "gfx");
    EXPECT_EQ(read("pic.png"), "gfx");
    EXPECT_EQ(read("only.png"), "gfx");
}

TEST_F(DataFileTest, WindowsNamesFindFilesOnDisk) {
    WriteFile(m_dir / "Models/Ship/Hull.MDL", "hull");
    EXPECT_EQ(read("Models\\Ship\\Hull.MDL"), "hull");
    EXPECT_EQ(read("models\\ship\\hull.mdl"), "hull");
    EXPECT_EQ(read("MODELS/SHIP/HULL.mdl"), "hull");
    EXPECT_EQ(read("Models\\Ship"), "<none>");  // a folder is not a file
    EXPECT_TRUE(UsedFileSet().count("models\\ship\\hull.mdl"));
}

TEST_F(DataFileTest, ExactSpellingWinsOverACaseMatch) {
    WriteFile(m_dir / "a.txt", "lower");
    WriteFile(m_dir / "A.txt", "upper");
    EXPECT_EQ(read("A.txt"), "upper");
    EXPECT_EQ(read("a.txt"), "lower");
}

TEST_F(DataFileTest, DiskComesFirstUnlessArchivesAreAskedFirst) {
    WriteFile(m_dir / "Gfx/both.txt", "disk");
    AddSearchPath("Gfx");
    mountArchive({{"both.txt", "archive"}});
    EXPECT_EQ(read("both.txt"), "disk");
    SetSearchArchivesFirst(true);
    EXPECT_EQ(read("both.txt"), "archive");
    EXPECT_EQ(read("Gfx/both.txt"), "disk");  // not in the archive: disk after all
}

TEST_F(DataFileTest, SingleResourcesAreFoundByExactNameAndNotRecorded) {
    static const std::vector<std::uint8_t> image = [] {
        const std::vector<std::uint8_t> program = Bytes("\x7f"
                                                        "ELF program bytes");
        return AppendResourceTable(program, {{"Intro.txt", Bytes("from resource")}});
    }();
    ResourceTable::UseForTests(ResourceTable::Parse(image));
    EXPECT_EQ(read("Intro.txt"), "from resource");
    EXPECT_EQ(read("intro.txt"), "<none>");
    EXPECT_TRUE(UsedFileSet().empty());
    WriteFile(m_dir / "Intro.txt", "from disk");
    EXPECT_EQ(read("Intro.txt"), "from disk");
}

TEST_F(DataFileTest, TheEnginesOwnPicturesComeLastInAnyCase) {
    DataFile builtIn;
    ASSERT_TRUE(builtIn.Open("white.nodither.jpg"));
    EXPECT_EQ(builtIn.From(), DataFile::Source::BuiltIn);
    const std::string jpegStart = "\xFF\xD8\xFF";
    EXPECT_EQ(read("chromic.jpg").substr(0, 3), jpegStart);
    EXPECT_EQ(read("Black.PNG").substr(1, 3), "PNG");
    EXPECT_TRUE(UsedFileSet().empty());  // nothing a production must carry
    // A production's own file of the name wins, from disk or archive.
    WriteFile(m_dir / "White.NoDither.jpg", "own");
    EXPECT_EQ(read("white.NoDither.jpg"), "own");
    mountArchive({{"white.png", "archived"}});
    EXPECT_EQ(read("white.png"), "archived");
}

TEST_F(DataFileTest, EmptyDiskFileOpensWithAValidBlock) {
    WriteFile(m_dir / "empty", "");
    DataFile file;
    ASSERT_TRUE(file.Open("empty"));
    EXPECT_EQ(file.Size(), 0u);
    EXPECT_NE(file.Data(), nullptr);
    char byte;
    EXPECT_EQ(file.Read(&byte, 1), 0u);
}

TEST_F(DataFileTest, FileListHoldsEveryNameOnceInByteOrder) {
    WriteFile(m_dir / "b.txt", "b");
    mountArchive({{"Archived.txt", "a"}});
    read("b.txt");
    read("B.TXT");
    read("b.txt");
    read("archived.txt");
    read("missing.txt");
    WriteFileList("FileList.txt");
    EXPECT_EQ(ReadFile(m_dir / "FileList.txt"), "B.TXT\narchived.txt\nb.txt\n");
}

}  // namespace
}  // namespace vesta::test
