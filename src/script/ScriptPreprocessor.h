#pragma once
// Turns a script and the files it includes into one text: tagged lines,
// comments removed, constants collected and substituted, includes expanded,
// '&' lines joined.

#include <string>
#include <string_view>
#include <vector>

#include "script/ConstantTable.h"
#include "script/ScriptNotes.h"

namespace vesta {

// Deepest INCLUDE nesting accepted; the entry file is depth 0.
inline constexpr int kMaxIncludeDepth = 64;

// Every line as "name|line$" + text + CR LF, then one more CR LF. CR LF and
// bare LF line ends read alike.
std::string TagLines(std::string_view name, std::string_view contents);

std::string RemoveComments(std::string_view text);

// Defines every "DEFINE name = value" and blanks the statements out.
void CollectDefines(std::string& text, ConstantTable& constants);

// Rewrites each line whose argument starts with a constant as
// tag, keyword, value ("%.3f"), and the line's '{' and ';'. A second
// statement on such a line goes; `notes`, if given, hears of it.
std::string SubstituteConstants(std::string_view text, ConstantTable& constants,
                                ScriptNotes* notes = nullptr);

// Blanks each '&' outside quotes up to and including the next line tag's '$'.
void JoinLines(std::string& text);

class ScriptPreprocessor {
public:
    explicit ScriptPreprocessor(ConstantTable& constants, ScriptNotes* notes = nullptr)
        : m_constants(constants), m_notes(notes) {}

    // Raises the engine error for a file that cannot be opened, an include
    // cycle or an include nesting deeper than kMaxIncludeDepth.
    std::string Run(std::string_view entryName);
    // The same for a script already in memory, tagged with `name`.
    std::string RunText(std::string_view name, std::string_view contents);

private:
    // `includedAt`: the place of the INCLUDE, empty for the entry file.
    std::string processFile(std::string_view name, int depth, const std::string& includedAt);
    std::string processContents(std::string_view name, std::string_view contents, int depth);
    std::string expandIncludes(const std::string& text, int depth);

    ConstantTable& m_constants;
    ScriptNotes* m_notes;
    std::vector<std::string> m_openFiles;  // the include chain being expanded
};

}  // namespace vesta
