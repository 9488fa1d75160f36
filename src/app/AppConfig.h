#pragma once
// "DefaultConfig.xml": window, font, script, search folders, startup dialog, debugging.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/XmlReader.h"

namespace vesta {

inline constexpr const char* kConfigFileName = "DefaultConfig.xml";

struct AppConfig {
    std::string windowClass = "Vesta";
    std::string windowName;
    int width = 640;
    int height = 480;
    std::string defaultFont;
    std::string script;
    bool hideMediaPlayer = false;
    int startupId = 0;
    std::vector<std::string> searchPaths;
    bool debugEnabled = false;
};

// Reads and parses the configuration through the file system. Throws
// CAppError "Unable to open [name]" or "Syntax error at line(L), column(C) in [name]: reason".
std::unique_ptr<AdvXMLParser::XmlDocument> LoadConfigDocument(const char* fileName);

AppConfig ReadAppConfig(const AdvXMLParser::XmlDocument& document);

// A number as "%d" reads it: leading blanks and sign, digits up to the first
// other character; 0 when nothing is read.
int ScanInt(std::string_view text);

}  // namespace vesta
