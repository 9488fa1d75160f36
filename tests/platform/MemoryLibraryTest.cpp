#include "platform/MemoryLibrary.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace vesta::test {
namespace {

std::vector<std::uint8_t> fileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int answer(const MemoryLibrary& library) {
    const auto function = reinterpret_cast<int (*)()>(library.Find("vesta_fixture_answer"));
    return function ? function() : -1;
}

TEST(MemoryLibraryTest, ImagesInMemoryLoadAsTheirOwnObjects) {
    std::vector<std::uint8_t> first = fileBytes(VESTA_FIXTURE_41);
    const std::vector<std::uint8_t> second = fileBytes(VESTA_FIXTURE_42);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());

    MemoryLibrary a;
    ASSERT_TRUE(a.Load(first, "fixture41.so")) << a.Error();
    // The caller's bytes are not needed once Load returns.
    first.assign(first.size(), 0);
    EXPECT_EQ(answer(a), 41);
    EXPECT_EQ(a.Find("Vesta_fixture_answer"), nullptr);

    // Loaded side by side, each image keeps its own code: the second one is
    // not mistaken for the first, whatever memory file number it gets.
    MemoryLibrary b;
    ASSERT_TRUE(b.Load(second, "fixture42.so")) << b.Error();
    EXPECT_EQ(answer(b), 42);
    EXPECT_EQ(answer(a), 41);

    // One object loaded again with another image, after the first is gone.
    a.Unload();
    EXPECT_FALSE(a.IsLoaded());
    EXPECT_EQ(a.Find("vesta_fixture_answer"), nullptr);
    MemoryLibrary c;
    ASSERT_TRUE(c.Load(second, "fixture42.so")) << c.Error();
    ASSERT_TRUE(a.Load(fileBytes(VESTA_FIXTURE_41), "fixture41.so")) << a.Error();
    EXPECT_EQ(answer(a), 41);
    EXPECT_EQ(answer(c), 42);
}

TEST(MemoryLibraryTest, BytesThatAreNoSharedObjectAreRefusedWithTheReason) {
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'E', 'L', 'F'};
    const std::vector<std::uint8_t> image = fileBytes(VESTA_FIXTURE_41);
    // A cut-off image: the header is there, the segments it names are not.
    const std::vector<std::uint8_t> cut(image.begin(), image.begin() + 256);
    for (const std::vector<std::uint8_t>& bytes : {text, cut, std::vector<std::uint8_t>{}}) {
        MemoryLibrary library;
        EXPECT_FALSE(library.Load(bytes, "broken.so"));
        EXPECT_FALSE(library.IsLoaded());
        EXPECT_FALSE(library.Error().empty());
        EXPECT_EQ(library.Find("vesta_fixture_answer"), nullptr);
    }
}

}  // namespace
}  // namespace vesta::test
