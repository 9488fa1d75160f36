#pragma once
// What the parser passed over while reading a script: the statements it
// ignored where they stood, the blocks that the text ended inside, and the
// lines whose second statement it never read. The player plays on without
// them; the lint mode tells the author.

#include <string>
#include <vector>

namespace vesta {

enum class ScriptContext : int { TopLevel = 0, Part = 1, TimeBlock = 2 };

struct IgnoredStatement {
    ScriptContext context = ScriptContext::TopLevel;
    std::string keyword;
    std::string argument;
    std::string place;  // "file(line)"
    bool opensBlock = false;
    // Where the block holding it was opened; at the top level, where the
    // part before it was (empty before the first part).
    std::string enclosingPlace;
};

struct UnclosedBlock {
    std::string what;   // "PART", "TIME", or the operation's keyword
    std::string place;  // where it was opened
};

struct CrowdedLine {
    std::string place;
    std::string unread;  // the text after the statement that was read
};

struct ScriptNotes {
    std::vector<IgnoredStatement> ignored;
    std::vector<UnclosedBlock> unclosed;
    std::vector<CrowdedLine> crowded;
};

}  // namespace vesta
