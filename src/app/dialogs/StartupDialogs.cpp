#include "app/dialogs/StartupDialogs.h"

#include "app/dialogs/SimpleStartup2Dialog.h"
#include "app/dialogs/SimpleStartupDialog.h"
#include "app/dialogs/SkinStore.h"
#include "log/Log.h"
#include "xml/XmlReader.h"

namespace vesta {
namespace {

std::optional<StartupDialogResult> simpleStartup(const AdvXMLParser::XmlElement& element,
                                                 const std::string& title, std::string& error) {
    const StartupSkin skin = LoadStartupSkin(element);
    const std::optional<SkinChoice> choice = RunSimpleStartup(skin, title, SkinStorePath(), error);
    if (!choice) {
        return std::nullopt;
    }
    return StartupDialogResult{choice->started, choice->width, choice->height, choice->depth,
                               choice->fullScreen};
}

std::optional<StartupDialogResult> simpleStartup2(const AdvXMLParser::XmlElement& element,
                                                  const std::string& title, std::string& error) {
    const std::optional<Startup2Choice> choice =
        RunSimpleStartup2(ReadStartup2Layout(element), title, error);
    if (!choice) {
        return std::nullopt;
    }
    return StartupDialogResult{true, choice->width, choice->height, choice->depth, true};
}

}  // namespace

std::optional<StartupDialogResult> RunSkinnedStartup(const AdvXMLParser::XmlElement& root,
                                                     int startupId, const std::string& title) {
    const char* name = startupId == 0 ? "SimpleStartup" : startupId == 1 ? "SimpleStartup2" : "";
    const AdvXMLParser::XmlElement& element = root.FindChild(name);
    if (!*name || &element == &AdvXMLParser::NullElement()) {
        return std::nullopt;
    }
    std::string error;
    std::optional<StartupDialogResult> result = startupId == 0
                                                    ? simpleStartup(element, title, error)
                                                    : simpleStartup2(element, title, error);
    if (!result) {
        LogPrintf("*** Warning : no startup dialog (%s).", error.c_str());
    }
    return result;
}

}  // namespace vesta
