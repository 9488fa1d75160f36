// Any bytes as a PNG and as a JPEG picture: decoding must end in pixels or in
// the readers' messages, never in a crash, a leak or an unbounded allocation.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fs/ResourceTable.h"
#include "log/Log.h"
#include "render/image/JpegReader.h"
#include "render/image/PngReader.h"
#include "render/image/TextureSize.h"

namespace {

template <typename Read>
void decode(Read read) {
    try {
        read();
    } catch (const vesta::CUserException&) {
        // A damaged picture is reported this way.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The pictures are resources of the executable, so no disk is involved.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::vector<std::uint8_t> image =
        vesta::AppendResourceTable({}, {{"fuzz.png", bytes}, {"fuzz.jpg", bytes}});
    vesta::ResourceTable::UseForTests(vesta::ResourceTable::Parse(image));
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    decode([&] {
        vesta::PngReader reader;
        reader.ReadHeader("fuzz.png", width, height);
        reader.ReadImage("fuzz.png", pixels);
        const vesta::TextureSize target = vesta::ChooseTextureSize(width, height, 256);
        vesta::Resample(pixels.data(), width, height, 3, target.width, target.height);
    });
    decode([&] {
        vesta::JpegReader reader;
        reader.ReadHeader("fuzz.jpg", width, height);
        reader.ReadImage("fuzz.jpg", pixels, false);
    });
    vesta::ResourceTable::UseForTests(vesta::ResourceTable{});
    return 0;
}
