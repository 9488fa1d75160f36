#pragma once
// The showcase made once per test program: the generator's pictures and the
// script files in one scratch folder, as the archive holds them.

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "script/ScriptData.h"

namespace vesta::test {

class ShowcaseProduction {
public:
    // Runs the generator into a fresh folder and copies the script beside it.
    ShowcaseProduction();

    const std::filesystem::path& Folder() const { return m_dir.Path(); }
    const ProcessResult& Generator() const { return m_generator; }

private:
    TempDir m_dir;
    ProcessResult m_generator;
};

// Built on first use and kept for the program's other tests.
const ShowcaseProduction& Showcase();

// Every file the script names: music, the loading sound, pictures of the layers and loading
// screens, the flash layer's fixed picture, the text layers' glows and samples, and the
// model scenes.
std::vector<std::string> FilesNamedBy(const ParsedScript& script);

}  // namespace vesta::test
