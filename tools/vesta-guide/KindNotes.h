#pragma once
// What each effect kind draws or does, in one line for authors. The
// reference refuses to be written while a registered kind has no line here,
// or a line names a kind that is not registered.

#include <span>
#include <string_view>

#include "KindCatalogue.h"

namespace vesta::guide {

struct KindNote {
    std::string_view kind;
    std::string_view note;
};

std::span<const KindNote> KindNotes(Family family);

}  // namespace vesta::guide
