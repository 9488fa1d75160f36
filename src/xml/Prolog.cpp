// The XML declaration, the nodes around the root element, comments and processing
// instructions.

#include "xml/CharClass.h"
#include "xml/Parser.h"

namespace AdvXMLParser::detail {
namespace {

bool isVersionNumber(std::string_view text) {
    if (text.size() < 3 || text.substr(0, 2) != "1.") {
        return false;
    }
    for (char c : text.substr(2)) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool isEncodingName(std::string_view text) {
    if (text.empty() || !hasClass(text[0], kNameStart) || text[0] == '_' || text[0] == ':') {
        return false;
    }
    for (char c : text) {
        if (!hasClass(c, kNameChar) || c == ':' || static_cast<unsigned char>(c) >= 128) {
            return false;
        }
    }
    return true;
}

bool isReservedTarget(std::string_view target) {
    return target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
           (target[2] | 0x20) == 'l';
}

}  // namespace

void Parser::parseXmlDeclaration() {
    m_cursor += 5;
    requireSpace(ParseError::XmlDeclaration);
    if (!consume("version")) {
        fail(ParseError::XmlDeclaration);
    }
    m_document->m_version = scanDeclarationValue();
    if (!isVersionNumber(m_document->m_version)) {
        failBefore(ParseError::XmlDeclaration);
    }
    bool spaced = skipSpace();
    if (spaced && consume("encoding")) {
        m_document->m_encoding = scanDeclarationValue();
        if (!isEncodingName(m_document->m_encoding)) {
            failBefore(ParseError::XmlDeclaration);
        }
        spaced = skipSpace();
    }
    if (spaced && consume("standalone")) {
        m_document->m_standalone = scanDeclarationValue();
        if (m_document->m_standalone != "yes" && m_document->m_standalone != "no") {
            failBefore(ParseError::XmlDeclaration);
        }
        skipSpace();
    }
    if (!consume("?>")) {
        fail(ParseError::XmlDeclaration);
    }
}

// `= "value"` of a pseudo-attribute; the callers check what the value may be.
std::string Parser::scanDeclarationValue() {
    skipSpace();
    expect('=', ParseError::XmlDeclaration);
    skipSpace();
    const char quote = peek();
    if (quote != '"' && quote != '\'') {
        fail(ParseError::XmlDeclaration);
    }
    const char* start = ++m_cursor;
    while (peek() != quote) {
        if (peek() == '\0' || peek() == '<' || peek() == '>') {
            fail(peek() == '\0' ? ParseError::UnexpectedEnd : ParseError::XmlDeclaration);
        }
        ++m_cursor;
    }
    return std::string(start, m_cursor++);
}

void Parser::parseTopLevel() {
    auto& children = m_document->m_children;
    for (;;) {
        skipSpace();
        const char c = peek();
        if (c == '\0') {
            break;
        }
        if (c != '<') {
            fail(ParseError::TextOutsideRoot);
        }
        if (consume("<!--")) {
            children.push_back(parseComment());
        } else if (consume("<?")) {
            children.push_back(parseProcessingInstruction());
        } else if (consume("<!DOCTYPE")) {
            if (m_document->m_hasDocumentType || m_document->m_root) {
                failBefore(ParseError::MisplacedDocumentType);
            }
            parseDocumentType();
        } else if (m_document->m_root) {
            fail(ParseError::SecondRootElement);
        } else {
            parseRootElement();
        }
    }
    if (!m_document->m_root) {
        failBefore(ParseError::NoRootElement);
    }
}

// After "<!--". Two hyphens may only end the comment.
std::unique_ptr<XmlNode> Parser::parseComment() {
    const char* start = m_cursor;
    for (;;) {
        const char c = peek();
        if (c == '-' && m_cursor[1] == '-') {
            break;
        }
        if (c == '\0') {
            fail(ParseError::UnexpectedEnd);
        }
        if (hasClass(c, kForbidden)) {
            fail(ParseError::InvalidCharacter);
        }
        ++m_cursor;
    }
    const char* end = m_cursor;
    m_cursor += 2;
    expect('>', ParseError::Comment);
    return std::make_unique<XmlNode>(kCommentNode, "#comment", std::string(start, end));
}

// After "<?".
std::unique_ptr<XmlNode> Parser::parseProcessingInstruction() {
    const std::string_view target = scanName(ParseError::ProcessingInstruction);
    if (isReservedTarget(target)) {
        failBefore(ParseError::MisplacedXmlDeclaration);
    }
    if (consume("?>")) {
        return std::make_unique<XmlNode>(kProcessingInstructionNode, std::string(target));
    }
    requireSpace(ParseError::ProcessingInstruction);
    const char* start = m_cursor;
    skipUntil("?>");
    const char* end = m_cursor;
    m_cursor += 2;
    return std::make_unique<XmlNode>(kProcessingInstructionNode, std::string(target),
                                     std::string(start, end));
}

}  // namespace AdvXMLParser::detail
