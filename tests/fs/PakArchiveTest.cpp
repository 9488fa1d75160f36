// Reading archives: any correct writer, any ASCII case, damage of every kind.

#include <cstring>
#include <gtest/gtest.h>

#include "FsTestSupport.h"
#include "TestSupport.h"
#include "fs/DataFile.h"
#include "fs/PakReader.h"
#include "fs/PakWriter.h"
#include "fs/ResourceArchive.h"

namespace vesta::test {
namespace {

class PakArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    // Mounts bytes kept alive by the fixture.
    const ResourceArchive* mount(std::vector<std::uint8_t> bytes) {
        m_images.push_back(std::make_unique<std::vector<std::uint8_t>>(std::move(bytes)));
        auto archive = ResourceArchive::MountMemory("test.pak", *m_images.back());
        const ResourceArchive* raw = archive.get();
        if (archive) {
            ArchiveList::AppendForTests(std::move(archive));
        }
        return raw;
    }

    std::vector<std::unique_ptr<std::vector<std::uint8_t>>> m_images;
};

std::vector<std::uint8_t> ownArchive(const std::vector<std::pair<std::string, std::string>>& files,
                                     pak::WriterOptions options = {}) {
    pak::PakWriter writer(options);
    for (const auto& [name, text] : files) {
        EXPECT_TRUE(writer.Add(name, Bytes(text)));
    }
    return *writer.Build();
}

std::string contents(DataFile& file) {
    return std::string(reinterpret_cast<const char*>(file.Data()), file.Size());
}

TEST_F(PakArchiveTest, OwnAndForeignArchivesReadAlike) {
    const std::string big(100000, 'x');
    const std::vector<std::pair<std::string, std::string>> files = {
        {"Script.txt", "PART 1"}, {"Gfx/Logo.PNG", big}, {"empty.bin", ""}};
    std::vector<RawEntry> raw;
    for (const auto& [name, text] : files) {
        raw.push_back({name, Bytes(text), name != "empty.bin", Z_BEST_SPEED});
    }
    for (auto image : {ownArchive(files), ownArchive(files, {true, 9}), BuildForeignArchive(raw)}) {
        ResetEngineState();
        ASSERT_NE(mount(std::move(image)), nullptr);
        for (const auto& [name, text] : files) {
            DataFile file;
            ASSERT_TRUE(file.Open(name)) << name;
            EXPECT_EQ(file.From(), DataFile::Source::Archive);
            EXPECT_EQ(contents(file), text) << name;
        }
    }
}

TEST_F(PakArchiveTest, NamesMatchInAnyAsciiCaseAndAreRecordedAsSpelled) {
    mount(ownArchive({{"Gfx/MixedCase.Png", "picture"}}));
    for (const char* spelling : {"gfx/mixedcase.png", "GFX/MIXEDCASE.PNG", "Gfx/MixedCase.Png"}) {
        DataFile file;
        EXPECT_TRUE(file.Open(spelling)) << spelling;
        EXPECT_EQ(contents(file), "picture");
    }
    EXPECT_FALSE(DataFile().Open("Gfx/MixedCase.Pn"));
    EXPECT_EQ(UsedFileSet().size(), 3u);
    EXPECT_TRUE(UsedFileSet().count("GFX/MIXEDCASE.PNG"));
}

TEST_F(PakArchiveTest, LaterEntryOfTheSameNameReplacesTheEarlier) {
    mount(BuildForeignArchive({{"a.txt", Bytes("first")}, {"A.TXT", Bytes("second")}}));
    DataFile file;
    ASSERT_TRUE(file.Open("a.txt"));
    EXPECT_EQ(contents(file), "second");
}

TEST_F(PakArchiveTest, StoredEntriesAreSharedAndCompressedOnesCopiedPerOpen) {
    const std::string text(5000, 'q');
    mount(BuildForeignArchive({{"stored", Bytes(text), false}, {"packed", Bytes(text), true}}));
    DataFile stored1, stored2, packed1, packed2;
    ASSERT_TRUE(stored1.Open("stored") && stored2.Open("stored"));
    ASSERT_TRUE(packed1.Open("packed") && packed2.Open("packed"));
    EXPECT_EQ(stored1.Data(), stored2.Data());
    EXPECT_NE(packed1.Data(), packed2.Data());
    const std::uint8_t* image = m_images.back()->data();
    EXPECT_TRUE(stored1.Data() > image && stored1.Data() < image + m_images.back()->size());
    EXPECT_EQ(contents(packed2), text);
}

TEST_F(PakArchiveTest, SequentialReadsStopAtTheEnd) {
    mount(ownArchive({{"data", "0123456789"}}));
    DataFile file;
    ASSERT_TRUE(file.Open("data"));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Seek(-2, DataFile::kEnd), 8u);
    EXPECT_EQ(file.Read(buffer, 8), 2u);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(file.Read(buffer, 8), 0u);
    EXPECT_EQ(file.Seek(3, DataFile::kBegin), 3u);
    EXPECT_EQ(file.Seek(2, DataFile::kCurrent), 5u);
    EXPECT_EQ(file.Seek(1, 7), 0u);  // unknown origin
    EXPECT_EQ(file.Tell(), 5u);
    EXPECT_EQ(file.Seek(-6, DataFile::kCurrent), DataFile::kInvalidPosition);
    EXPECT_EQ(file.Tell(), 5u);
    EXPECT_EQ(file.Seek(20, DataFile::kBegin), 20u);
    EXPECT_EQ(file.Read(buffer, 1), 0u);
}

TEST_F(PakArchiveTest, HandleOpensOnceAndNeedsAName) {
    mount(ownArchive({{"a", "1"}, {"b", "2"}}));
    DataFile file;
    EXPECT_FALSE(file.Open(""));
    ASSERT_TRUE(file.Open("a"));
    EXPECT_FALSE(file.Open("b"));
    file.Close();
    file.Close();
    ASSERT_TRUE(file.Open("b"));
    EXPECT_EQ(contents(file), "2");
}

TEST_F(PakArchiveTest, OtherVersionsAndForeignFilesAreNotMounted) {
    for (std::uint16_t version : {1023, 1025, 0}) {
        EXPECT_EQ(mount(BuildForeignArchive({{"a", Bytes("1")}}, version)), nullptr) << version;
    }
    EXPECT_EQ(mount(Bytes("PK\3\4 a zip file")), nullptr);
    EXPECT_EQ(mount({}), nullptr);
}

TEST_F(PakArchiveTest, EveryTruncationIsRefusedOrServedSafely) {
    const std::vector<std::uint8_t> whole =
        BuildForeignArchive({{"one.txt", Bytes(std::string(300, 'a'))},
                             {"two.txt", Bytes(std::string(300, 'b')), false}});
    for (std::size_t size = 0; size < whole.size(); ++size) {
        ResetEngineState();
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(size));
        try {
            mount(std::move(cut));
        } catch (const CAppError&) {
            // A cut inside a name cannot inflate: that is a damaged name.
            continue;
        }
        for (const char* name : {"one.txt", "two.txt"}) {
            DataFile file;
            if (file.Open(name)) {
                EXPECT_EQ(file.Size(), 300u);
            }
        }
    }
}

TEST_F(PakArchiveTest, DamagedNameIsAnError) {
    std::vector<std::uint8_t> image = BuildForeignArchive({{"name.txt", Bytes("x")}});
    image[9 + 12 + 4] ^= 0xFF;  // inside the compressed name
    try {
        mount(std::move(image));
        FAIL() << "a damaged name must stop the mount";
    } catch (const CAppError& error) {
        EXPECT_EQ(error.Text(), "Error : damaged archive [test.pak]");
    }
}

// Offsets of the size fields of the first entry of a one-entry foreign archive.
std::size_t sizesOffset(const std::vector<std::uint8_t>& image) {
    return 9 + 12 + pak::ReadU32(image.data() + 9 + 8);
}

TEST_F(PakArchiveTest, DamagedEntryFailsItsOpenWithoutHugeAllocation) {
    const std::vector<std::uint8_t> good =
        BuildForeignArchive({{"e", Bytes(std::string(1000, 'z'))}});
    const std::size_t sizes = sizesOffset(good);
    auto withU32 = [&](std::size_t at, std::uint32_t value) {
        std::vector<std::uint8_t> image = good;
        std::vector<std::uint8_t> field;
        putU32(field, value);
        std::copy(field.begin(), field.end(), image.begin() + static_cast<long>(at));
        return image;
    };
    auto corruptData = [&]() {
        std::vector<std::uint8_t> image = good;
        image[pak::ReadU32(good.data() + 9) + 3] ^= 0x55;
        return image;
    };
    const std::vector<std::vector<std::uint8_t>> damaged = {
        withU32(sizes + 4, 0xFFFFFFF0u),  // U far beyond what S can inflate to
        withU32(sizes + 4, 999),          // U smaller than the data
        withU32(sizes + 4, 1001),         // U larger than the data
        withU32(sizes, 0x7FFFFFFF),       // S past the end of the archive
        withU32(9, 0xFFFFFF00u),          // offset past the end
        withU32(sizes + 8, 0),            // compressed data flagged as stored
        corruptData(),
    };
    for (const auto& image : damaged) {
        ResetEngineState();
        ASSERT_NE(mount(image), nullptr);
        DataFile file;
        EXPECT_FALSE(file.Open("e"));
        EXPECT_TRUE(UsedFileSet().count("e"));
    }
}

TEST_F(PakArchiveTest, DamagedCountCannotReserveUnboundedMemory) {
    std::vector<std::uint8_t> image = BuildForeignArchive({{"a", Bytes("1")}});
    image[5] = image[6] = image[7] = image[8] = 0xFF;
    const pak::Directory directory = pak::ReadDirectory(image);
    EXPECT_EQ(directory.status, pak::DirectoryStatus::Truncated);
}

TEST(PakWriterTest, KeepsIncompressibleDataStored) {
    std::vector<std::uint8_t> noise(4096);
    std::uint32_t seed = 12345;
    for (auto& byte : noise) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    pak::PakWriter writer;
    ASSERT_TRUE(writer.Add("noise", noise));
    ASSERT_TRUE(writer.Add("text", Bytes(std::string(4096, 't'))));
    ASSERT_FALSE(writer.Add("", noise));
    const auto image = writer.Build();
    ASSERT_TRUE(image);
    const pak::Directory directory = pak::ReadDirectory(*image);
    ASSERT_EQ(directory.status, pak::DirectoryStatus::Ok);
    ASSERT_EQ(directory.entries.size(), 2u);
    EXPECT_FALSE(directory.entries[0].Compressed());
    EXPECT_TRUE(directory.entries[1].Compressed());
    EXPECT_LT(directory.entries[1].storedSize, 100u);
}

}  // namespace
}  // namespace vesta::test
