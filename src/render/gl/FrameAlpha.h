#pragma once

#include <epoxy/gl.h>

namespace vesta {

// Every colour buffer the module draws into is X8R8G8B8: its alpha reads 1
// in blending and in read-backs. The frame has no alpha channel until it is
// first read back; from then on it has one, because reading it back in the
// recorders' byte order then needs no conversion (on llvmpipe a conversion
// costs more than the rasteriser's keeping alpha as it is). So draws never
// write alpha (whatever the colour mask says), and clears and new frame
// buffers set it to 1.
inline constexpr GLboolean FrameAlphaWrites = GL_FALSE;

}  // namespace vesta
