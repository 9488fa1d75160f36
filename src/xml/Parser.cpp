#include "xml/Parser.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "xml/CharClass.h"

namespace AdvXMLParser::detail {
namespace {

// Entity expansion may produce this much text, or four times the document when that
// is more; each expansion also costs a little, so empty entities cannot loop for ever.
constexpr std::size_t kExpansionFloor = std::size_t{1} << 20;
constexpr std::size_t kExpansionFactor = 4;
constexpr std::size_t kExpansionCost = 16;
constexpr std::size_t kEndPadding = 8;

// Copies the text up to its first NUL, without a UTF-8 byte-order mark, reading CR LF
// and lone CR as LF. The NULs after the copy mark its end for the scanners; there are
// enough of them for skipPlainText.
std::string normalisedCopy(const char* buffer, std::size_t length) {
    if (buffer == nullptr) {
        return std::string(kEndPadding, '\0');
    }
    std::string text;
    if (const void* nul = std::memchr(buffer, 0, length)) {
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer);
    }
    if (length >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0) {
        buffer += 3;
        length -= 3;
    }
    text.reserve(length + kEndPadding);
    if (std::memchr(buffer, '\r', length) == nullptr) {
        text.assign(buffer, length);
    } else {
        for (std::size_t i = 0; i < length; ++i) {
            text += buffer[i] == '\r' ? '\n' : buffer[i];
            if (buffer[i] == '\r' && i + 1 < length && buffer[i + 1] == '\n') {
                ++i;
            }
        }
    }
    text.append(kEndPadding, '\0');
    return text;
}

int clampToInt(std::ptrdiff_t value) {
    return static_cast<int>(std::min<std::ptrdiff_t>(value, INT_MAX));
}

}  // namespace

Parser::Parser(const char* buffer, std::size_t length)
    : m_source(normalisedCopy(buffer, length)), m_begin(m_source.c_str()), m_cursor(m_begin),
      m_expansionLeft(std::max(kExpansionFloor, m_source.size() * kExpansionFactor)),
      m_document(std::make_unique<XmlDocument>()) {}

std::unique_ptr<XmlDocument> Parser::Run() {
    if (startsWith("<?xml") && hasClass(m_cursor[5], kSpace)) {
        parseXmlDeclaration();
    }
    parseTopLevel();
    return std::move(m_document);
}

void Parser::skipUntil(std::string_view terminator) {
    while (!startsWith(terminator)) {
        if (peek() == '\0') {
            fail(ParseError::UnexpectedEnd);
        }
        if (hasClass(peek(), kForbidden)) {
            fail(ParseError::InvalidCharacter);
        }
        ++m_cursor;
    }
}

bool Parser::startsWith(std::string_view text) const {
    // Stops at the first difference, so it never reads past the end marker.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (m_cursor[i] != text[i]) {
            return false;
        }
    }
    return true;
}

bool Parser::consume(std::string_view text) {
    if (!startsWith(text)) {
        return false;
    }
    m_cursor += text.size();
    return true;
}

bool Parser::consumeKeyword(std::string_view keyword) {
    if (!startsWith(keyword) || hasClass(m_cursor[keyword.size()], kNameChar)) {
        return false;
    }
    m_cursor += keyword.size();
    return true;
}

void Parser::expect(char c, ParseError error) {
    if (peek() != c) {
        fail(peek() == '\0' ? ParseError::UnexpectedEnd : error);
    }
    ++m_cursor;
}

bool Parser::skipSpace() {
    const char* start = m_cursor;
    while (hasClass(*m_cursor, kSpace)) {
        ++m_cursor;
    }
    return m_cursor != start;
}

void Parser::requireSpace(ParseError error) {
    if (!skipSpace()) {
        fail(peek() == '\0' ? ParseError::UnexpectedEnd : error);
    }
}

std::string_view Parser::scanName(ParseError error) {
    const char* start = m_cursor;
    if (!hasClass(*m_cursor, kNameStart)) {
        fail(peek() == '\0' ? ParseError::UnexpectedEnd : error);
    }
    ++m_cursor;
    while (hasClass(*m_cursor, kNameChar)) {
        ++m_cursor;
    }
    return {start, static_cast<std::size_t>(m_cursor - start)};
}

std::string_view Parser::scanNmtoken(ParseError error) {
    const char* start = m_cursor;
    while (hasClass(*m_cursor, kNameChar)) {
        ++m_cursor;
    }
    if (m_cursor == start) {
        fail(peek() == '\0' ? ParseError::UnexpectedEnd : error);
    }
    return {start, static_cast<std::size_t>(m_cursor - start)};
}

void Parser::pushEntity(EntityState& entity) {
    if (entity.expanding) {
        failBefore(ParseError::RecursiveEntity);
    }
    const std::string& text = entity.declaration->value;
    const std::size_t cost = text.size() + kExpansionCost;
    if (cost > m_expansionLeft) {
        failBefore(ParseError::EntityExpansionLimit);
    }
    m_expansionLeft -= cost;
    m_inputs.push_back({m_cursor, &entity});
    entity.expanding = true;
    m_cursor = text.c_str();
}

void Parser::popEntity() {
    SavedInput saved = m_inputs.back();
    m_inputs.pop_back();
    saved.entity->expanding = false;
    m_cursor = saved.cursor;
}

void Parser::fail(ParseError error) const {
    // Running out of an entity's text inside a token means the entity held a fragment.
    if (error == ParseError::UnexpectedEnd && !m_inputs.empty()) {
        error = ParseError::EntityBoundary;
    }
    failAt(error, *m_cursor != '\0' ? m_cursor + 1 : m_cursor);
}

void Parser::failBefore(ParseError error) const {
    failAt(error, m_cursor);
}

void Parser::failAt(ParseError error, const char* position) const {
    // Inside an entity the place reported is in the document: just after the reference.
    if (!m_inputs.empty()) {
        position = m_inputs.front().cursor;
    }
    std::ptrdiff_t line = 1;
    const char* lineStart = m_begin;
    for (const char* p = m_begin; p < position; ++p) {
        if (*p == '\n') {
            ++line;
            lineStart = p + 1;
        }
    }
    const std::ptrdiff_t read = position - lineStart;
    throw ParsingException(error, clampToInt(line), clampToInt(line == 1 ? read + 1 : read));
}

}  // namespace AdvXMLParser::detail
