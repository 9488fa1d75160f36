#include "app/AppConfig.h"

#include <cstdio>

#include "fs/DataFile.h"
#include "log/Log.h"

namespace vesta {

using AdvXMLParser::XmlElement;

int ScanInt(std::string_view text) {
    const std::string copy(text);
    int value = 0;
    return std::sscanf(copy.c_str(), "%d", &value) == 1 ? value : 0;
}

std::unique_ptr<AdvXMLParser::XmlDocument> LoadConfigDocument(const char* fileName) {
    DataFile file;
    if (!file.Open(fileName)) {
        RaiseAppError("Unable to open [%s]", fileName);
    }
    try {
        return AdvXMLParser::Parse(reinterpret_cast<const char*>(file.Data()), file.Size());
    } catch (const AdvXMLParser::ParsingException& error) {
        RaiseAppError("Syntax error at line(%i), column(%i) in [%s]: %s", error.Line(),
                      error.Column(), fileName, AdvXMLParser::ParseErrorText(error.Code()));
    }
}

AppConfig ReadAppConfig(const AdvXMLParser::XmlDocument& document) {
    AppConfig config;
    const XmlElement& root = document.Root();
    auto attribute = [&](std::string_view element, std::string_view name) -> const std::string& {
        return root.FindChild(element).FindAttribute(name).Value();
    };

    const XmlElement& window = root.FindChild("Window");
    if (&window != &AdvXMLParser::NullElement()) {
        config.windowClass = window.FindAttribute("Class").Value();
        config.windowName = window.FindAttribute("Name").Value();
        config.width = ScanInt(window.FindAttribute("Width").Value());
        config.height = ScanInt(window.FindAttribute("Height").Value());
    }
    config.defaultFont = attribute("DefaultFont", "Name");
    config.script = attribute("Script", "Name");
    config.hideMediaPlayer = attribute("Winamp", "Hide") == "True";
    config.startupId = ScanInt(attribute("Startup", "ID"));
    config.debugEnabled = attribute("Debug", "Enable") == "True";

    for (const auto& child : root.FindChild("FileSystem").Children()) {
        if (child->IsKind(AdvXMLParser::kElementNode) && child->NodeName() == "Search") {
            config.searchPaths.push_back(
                static_cast<const XmlElement&>(*child).FindAttribute("Path").Value());
        }
    }
    return config;
}

}  // namespace vesta
