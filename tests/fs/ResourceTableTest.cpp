// The resource table appended to the executable.

#include "fs/ResourceTable.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vesta::test {
namespace {

std::string text(std::span<const std::uint8_t> bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(ResourceTableTest, RoundTripKeepsOrderNamesAndProgram) {
    const std::vector<std::uint8_t> program = Bytes("\x7f"
                                                    "ELF...program...");
    const auto image = AppendResourceTable(
        program, {{"B.PAK", Bytes("archive")}, {"empty", {}}, {"a", Bytes("single")}});
    const ResourceTable table = ResourceTable::Parse(image);
    EXPECT_FALSE(table.Damaged());
    EXPECT_EQ(table.ProgramSize(), program.size());
    ASSERT_EQ(table.Resources().size(), 3u);
    EXPECT_EQ(table.Resources()[0].name, "B.PAK");
    EXPECT_EQ(text(table.Find("a")->data), "single");
    EXPECT_EQ(table.Find("empty")->data.size(), 0u);
    EXPECT_EQ(table.Find("A"), nullptr);
}

TEST(ResourceTableTest, EmbeddingAgainReplacesTheOldTable) {
    const std::vector<std::uint8_t> program = Bytes("program");
    const auto once = AppendResourceTable(program, {{"old", Bytes("1")}});
    const auto twice = AppendResourceTable(once, {{"new", Bytes("2")}});
    const ResourceTable table = ResourceTable::Parse(twice);
    ASSERT_EQ(table.Resources().size(), 1u);
    EXPECT_EQ(table.Resources()[0].name, "new");
    EXPECT_EQ(table.ProgramSize(), program.size());
}

TEST(ResourceTableTest, ProgramWithoutTableHasNoResources) {
    const ResourceTable table = ResourceTable::Parse(Bytes("plain program"));
    EXPECT_TRUE(table.Resources().empty());
    EXPECT_FALSE(table.Damaged());
}

TEST(ResourceTableTest, DamagedTablesYieldNoResources) {
    const auto good = AppendResourceTable(Bytes("program"), {{"name", Bytes("data")}});
    for (std::size_t at = 7; at + 8 < good.size(); ++at) {
        std::vector<std::uint8_t> damaged = good;
        damaged[at] ^= 0xA5;
        const ResourceTable table = ResourceTable::Parse(damaged);
        // Any resource still reported must lie inside the image.
        for (const Resource& resource : table.Resources()) {
            EXPECT_GE(resource.data.data(), damaged.data());
            EXPECT_LE(resource.data.data() + resource.data.size(), damaged.data() + damaged.size());
        }
    }
    std::vector<std::uint8_t> cut = good;
    cut.erase(cut.begin() + 7, cut.begin() + 12);
    EXPECT_TRUE(ResourceTable::Parse(cut).Resources().empty());
}

}  // namespace
}  // namespace vesta::test
