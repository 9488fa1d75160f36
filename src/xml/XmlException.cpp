#include "xml/XmlException.h"

#include <array>
#include <cstdio>

namespace AdvXMLParser {
namespace {

// Indexed by code; keep in the order of ParseError.
constexpr std::array kErrorTexts{
    "unknown error",
    "unexpected end of text",
    "no root element",
    "a second top-level element",
    "character data outside the root element",
    "malformed XML declaration",
    "XML declaration not at the start of the text",
    "a name was expected",
    "malformed comment",
    "malformed processing instruction",
    "malformed document type declaration",
    "document type declaration out of place",
    "malformed markup declaration",
    "malformed start tag",
    "malformed attribute",
    "attribute given twice",
    "malformed attribute value",
    "malformed end tag",
    "end tag does not match the start tag",
    "']]>' in character data",
    "malformed CDATA section",
    "character not allowed in XML",
    "character reference malformed or out of the supported range",
    "malformed entity reference",
    "entity refers to itself",
    "external entity referenced in an attribute value",
    "unparsed entity referenced in content",
    "markup not closed inside the entity that opened it",
    "entity expansion exceeds its limit",
    "parameter-entity reference inside a markup declaration",
};

std::string positionMessage(ParseError error, int line, int column) {
    char text[160];
    std::snprintf(text, sizeof text, "Syntax error at line(%i), column(%i): %s (code %i)", line,
                  column, ParseErrorText(static_cast<int>(error)), static_cast<int>(error));
    return text;
}

}  // namespace

const char* ParseErrorText(int code) {
    if (code <= 0 || static_cast<std::size_t>(code) >= kErrorTexts.size()) {
        return kErrorTexts[0];
    }
    return kErrorTexts[static_cast<std::size_t>(code)];
}

ParsingException::ParsingException(ParseError error, int line, int column)
    : Exception(positionMessage(error, line, column)), m_error(error), m_line(line),
      m_column(column) {}

InvalidRefException::InvalidRefException(std::string name)
    : Exception("Reference to undeclared entity [" + name + "]"), m_name(std::move(name)) {}

}  // namespace AdvXMLParser
