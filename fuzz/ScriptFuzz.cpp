// Any bytes as a script: preprocessing and parsing must end in parts or in
// the parser's own engine error, never in a crash, a hang or a runaway
// allocation. INCLUDE names find no files here and end in the error.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "log/Log.h"
#include "script/ScriptParser.h"
#include "script/ScriptPreprocessor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        vesta::ConstantTable constants;
        vesta::ScriptPreprocessor preprocessor(constants);
        const std::string buffer = preprocessor.RunText("fuzz.txt", text);
        vesta::ParsedScript script;
        vesta::CScriptParser(script).Parse(buffer);
    } catch (const vesta::CUserException&) {
    }
    return 0;
}
