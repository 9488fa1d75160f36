#include "ShowcaseProduction.h"

#include <algorithm>
#include <sstream>

namespace vesta::test {
namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::istringstream in(text);
    for (std::string piece; std::getline(in, piece, separator);) {
        const std::size_t first = piece.find_first_not_of(" \t");
        if (first != std::string::npos) {
            pieces.push_back(piece.substr(first, piece.find_last_not_of(" \t") - first + 1));
        }
    }
    return pieces;
}

void addFilesOf(const CLayerOperation& operation, std::vector<std::string>& files) {
    if (operation.kind == OperationKind::Create && operation.argument == "Flash") {
        files.push_back("white.NoDither.jpg");
    }
    for (const ScriptParameter& parameter : operation.parameters) {
        if (parameter.name == "Texture" || parameter.name == "AlphaTexture" ||
            parameter.name == "MDLFile" || parameter.name == "BlurryMap" ||
            parameter.name == "AlphaBlurMap" || parameter.name == "File") {
            for (const std::string& file : split(parameter.value, ',')) {
                files.push_back(file);
            }
        }
    }
    for (const CLayerOperation& child : operation.children) {
        addFilesOf(child, files);
    }
}

}  // namespace

ShowcaseProduction::ShowcaseProduction() {
    m_generator = RunProcess(VESTA_SHOWCASE_GEN_PATH, {m_dir.Path().string()}, m_dir.Path());
    for (const auto& entry : std::filesystem::directory_iterator(VESTA_SHOWCASE_SCRIPT_DIR)) {
        std::filesystem::copy_file(entry.path(), m_dir / entry.path().filename().string());
    }
}

const ShowcaseProduction& Showcase() {
    static const ShowcaseProduction production;
    return production;
}

std::vector<std::string> FilesNamedBy(const ParsedScript& script) {
    std::vector<std::string> files;
    for (const CPart& part : script.parts) {
        const std::vector<std::string> image = split(part.loadingImage, ',');
        if (!image.empty()) {
            files.push_back(image.front());
        }
        for (const std::string* sound :
             {&part.musicStream, &part.modStream, &part.nextLoadSample}) {
            if (!sound->empty()) {
                files.push_back(*sound);
            }
        }
        for (const std::string& frame : split(part.loadingAnimation, ';')) {
            files.push_back(split(frame, ',').front());
        }
        for (const CTimeBlock& block : part.timeBlocks) {
            for (const CLayerOperation& operation : block.operations) {
                addFilesOf(operation, files);
            }
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

}  // namespace vesta::test
