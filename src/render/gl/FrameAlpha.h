#pragma once

#include <epoxy/gl.h>

namespace vesta {

// Every colour buffer the module draws into is X8R8G8B8: its alpha reads 1
// in blending and in read-backs. The frame has an alpha channel all the
// same, because reading it back in the recorders' byte order then needs no
// conversion; so draws never write it (whatever the colour mask says), and
// clears and new frame buffers set it to 1.
inline constexpr GLboolean FrameAlphaWrites = GL_FALSE;

}  // namespace vesta
