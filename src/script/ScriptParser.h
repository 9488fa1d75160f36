#pragma once
// Reads a production's script into parts, time blocks and operations.

#include <string>
#include <string_view>

#include "script/ConstantTable.h"
#include "script/ScriptData.h"
#include "script/ScriptNotes.h"

namespace vesta {

class CScriptParser {
public:
    explicit CScriptParser(ParsedScript& target) : m_target(target) {}

    // Preprocesses and parses the entry file and what it includes. Errors do
    // not return: a file that cannot be opened raises the engine error.
    bool Load(std::string_view entryName);

    // The stages on their own, for tools and tests.
    std::string Preprocess(std::string_view entryName);
    void Parse(std::string_view preprocessed);

    const ConstantTable& Constants() const { return m_constants; }

    // Where Parse writes down what it passed over; none by default.
    void SetNotes(ScriptNotes* notes) { m_notes = notes; }

private:
    ParsedScript& m_target;
    ConstantTable m_constants;
    ScriptNotes* m_notes = nullptr;
};

}  // namespace vesta
