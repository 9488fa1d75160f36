#pragma once
// The generated reference of the author's guide: every layer and modifier
// kind with its parameters (type and default), and the pictures built into
// the engine, as one Markdown document.

#include <string>
#include <vector>

#include "KindCatalogue.h"

namespace vesta::guide {

struct ReferenceInput {
    std::vector<KindEntry> layers;
    std::vector<KindEntry> modifiers;
    std::vector<std::string> builtInPictures;
};

// The input as the running engine has it.
ReferenceInput EngineReferenceInput();

// Kinds without a note, and notes without a kind, one sentence each.
std::vector<std::string> NoteProblems(const ReferenceInput& input);

std::string ReferenceMarkdown(const ReferenceInput& input);

}  // namespace vesta::guide
