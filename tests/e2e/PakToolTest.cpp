// vesta-pak from the command line.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "fs/PakReader.h"
#include "fs/PakWriter.h"

namespace vesta::test {
namespace {

ProcessResult pakTool(const TempDir& dir, std::vector<std::string> args) {
    return RunProcess(VESTA_PAK_PATH, args, dir.Path());
}

TEST(PakToolTest, CreateListVerifyExtractRoundTrip) {
    TempDir dir;
    WriteFile(dir / "prod/Gfx/Logo.png", std::string(2000, 'L'));
    WriteFile(dir / "prod/Main.txt", "PART");
    WriteFile(dir / "extra.bin", "");
    ASSERT_EQ(pakTool(dir, {"create", "out.pak", "prod", "extra.bin", "--level", "1"}).exitCode, 0);

    const ProcessResult list = pakTool(dir, {"list", "out.pak"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find("deflate  Gfx/Logo.png"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("stored   Main.txt"), std::string::npos);
    EXPECT_NE(list.out.find("extra.bin"), std::string::npos);
    EXPECT_NE(list.out.find("3 entries"), std::string::npos);

    EXPECT_EQ(pakTool(dir, {"verify", "out.pak"}).exitCode, 0);
    ASSERT_EQ(pakTool(dir, {"extract", "out.pak", "copy"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "copy/Gfx/Logo.png"), std::string(2000, 'L'));
    EXPECT_EQ(ReadFile(dir / "copy/Main.txt"), "PART");

    ASSERT_EQ(pakTool(dir, {"create", "stored.pak", "prod", "--store"}).exitCode, 0);
    EXPECT_EQ(pakTool(dir, {"list", "stored.pak"}).out.find("deflate"), std::string::npos);
}

TEST(PakToolTest, NamesDifferingOnlyInCaseAreRefused) {
    TempDir dir;
    WriteFile(dir / "a/Tex.png", "1");
    WriteFile(dir / "b/TEX.PNG", "2");
    const ProcessResult result = pakTool(dir, {"create", "out.pak", "a", "b"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("would be the same entry"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pak"));
}

TEST(PakToolTest, ExtractKeepsEntriesInsideTheFolder) {
    TempDir dir;
    pak::PakWriter writer;
    writer.Add("..\\escape.txt", Bytes("bad"));
    writer.Add("/abs.txt", Bytes("bad"));
    writer.Add("Sub\\Inside.txt", Bytes("good"));
    WriteFile(dir / "evil.pak", *writer.Build());
    const ProcessResult result = pakTool(dir, {"extract", "evil.pak", "out"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("leads outside the folder"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "escape.txt"));
    EXPECT_EQ(ReadFile(dir / "out/Sub/Inside.txt"), "good");
}

TEST(PakToolTest, VerifyFindsDamagedEntries) {
    TempDir dir;
    WriteFile(dir / "src/a.txt", std::string(5000, 'a'));
    ASSERT_EQ(pakTool(dir, {"create", "x.pak", "src"}).exitCode, 0);
    std::string bytes = ReadFile(dir / "x.pak");
    bytes[bytes.size() - 8] ^= 0x5A;
    WriteFile(dir / "x.pak", bytes);
    const ProcessResult result = pakTool(dir, {"verify", "x.pak"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("entry 'a.txt' is damaged"), std::string::npos) << result.err;
}

TEST(PakToolTest, BadUsageIsExplained) {
    TempDir dir;
    WriteFile(dir / "notes.txt", "not an archive");
    EXPECT_EQ(pakTool(dir, {}).exitCode, 2);
    EXPECT_EQ(pakTool(dir, {"frobnicate"}).exitCode, 2);
    EXPECT_EQ(pakTool(dir, {"create", "only.pak"}).exitCode, 2);
    EXPECT_EQ(pakTool(dir, {"create", "o.pak", "missing"}).exitCode, 1);
    EXPECT_EQ(pakTool(dir, {"embed", "a", "b"}).exitCode, 2);
    EXPECT_EQ(pakTool(dir, {"embed", "notes.txt", "notes.txt", "-o", "x"}).exitCode, 1);
    const ProcessResult notArchive = pakTool(dir, {"list", "notes.txt"});
    EXPECT_EQ(notArchive.exitCode, 1);
    EXPECT_EQ(notArchive.err, "vesta-pak: 'notes.txt' is not a PAK archive\n");
    EXPECT_EQ(pakTool(dir, {"--help"}).exitCode, 0);
}

}  // namespace
}  // namespace vesta::test
