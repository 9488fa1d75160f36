// Character and entity references, and the quoted literals that may contain them.

#include "xml/CharClass.h"
#include "xml/Parser.h"

namespace AdvXMLParser::detail {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isSupportedCharacter(long value) {
    return value == 9 || value == 10 || value == 13 || (value >= 32 && value <= 127);
}

}  // namespace

// After "&#". Only single bytes of ASCII text are supported: the reader does not encode.
char Parser::scanCharReference() {
    const int base = peek() == 'x' ? 16 : 10;
    if (base == 16) {
        ++m_cursor;
    }
    long value = 0;
    int digits = 0;
    for (;; ++m_cursor, ++digits) {
        const char c = peek();
        const int digit = base == 16 ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0) {
            break;
        }
        // Saturate: the value is rejected anyway, and long digit strings must not overflow.
        value = value > 0x10FFFF ? value : value * base + digit;
    }
    if (digits == 0 || peek() != ';') {
        fail(ParseError::CharacterReference);
    }
    ++m_cursor;
    if (!isSupportedCharacter(value)) {
        failBefore(ParseError::CharacterReference);
    }
    return static_cast<char>(value);
}

char Parser::predefinedEntity(std::string_view name) {
    if (name == "lt") {
        return '<';
    }
    if (name == "gt") {
        return '>';
    }
    if (name == "amp") {
        return '&';
    }
    if (name == "apos") {
        return '\'';
    }
    if (name == "quot") {
        return '"';
    }
    return '\0';
}

Parser::EntityState& Parser::generalEntity(std::string_view name) {
    const auto found = m_generalEntities.find(name);
    if (found == m_generalEntities.end()) {
        throw InvalidRefException(std::string(name));
    }
    return found->second;
}

std::string Parser::scanAttributeValue() {
    const char quote = peek();
    if (quote != '"' && quote != '\'') {
        fail(ParseError::Attribute);
    }
    const char* start = ++m_cursor;
    const char* p = start;
    while (!hasClass(*p, kAttributeStop)) {
        ++p;
    }
    m_cursor = p;
    std::string value(start, p);
    if (*p == quote) {
        ++m_cursor;
        return value;
    }
    finishAttributeValue(value, quote);
    return value;
}

// The general case: references are replaced (entities recursively) and every literal
// white-space character becomes a space.
void Parser::finishAttributeValue(std::string& value, char quote) {
    const std::size_t baseDepth = inputDepth();
    for (;;) {
        const char c = peek();
        if (!hasClass(c, kAttributeStop)) {
            const char* start = m_cursor;
            while (!hasClass(*m_cursor, kAttributeStop)) {
                ++m_cursor;
            }
            value.append(start, m_cursor);
        } else if (c == quote && inputDepth() == baseDepth) {
            ++m_cursor;
            return;
        } else if (c == '&') {
            appendValueReference(value);
        } else if (hasClass(c, kSpace)) {
            value += ' ';
            ++m_cursor;
        } else if (c == '"' || c == '\'') {
            value += c;
            ++m_cursor;
        } else if (c == '\0' && inputDepth() > baseDepth) {
            popEntity();
        } else if (c == '\0') {
            fail(ParseError::UnexpectedEnd);
        } else {
            fail(c == '<' ? ParseError::AttributeValue : ParseError::InvalidCharacter);
        }
    }
}

void Parser::appendValueReference(std::string& value) {
    ++m_cursor;
    if (peek() == '#') {
        ++m_cursor;
        value += scanCharReference();
        return;
    }
    const std::string_view name = scanName(ParseError::EntityReference);
    expect(';', ParseError::EntityReference);
    if (const char c = predefinedEntity(name)) {
        value += c;
        return;
    }
    EntityState& entity = generalEntity(name);
    if (!entity.declaration->internal) {
        failBefore(ParseError::ExternalEntityInAttribute);
    }
    pushEntity(entity);
}

// Character references are replaced now; entity references stay as written and are
// replaced where the entity is used.
std::string Parser::scanEntityValue() {
    const char quote = peek();
    ++m_cursor;
    std::string value;
    for (;;) {
        const char c = peek();
        if (c == quote) {
            ++m_cursor;
            return value;
        }
        if (c == '\0') {
            fail(ParseError::UnexpectedEnd);
        }
        if (c == '%') {
            fail(ParseError::ParameterEntityReference);
        }
        if (hasClass(c, kForbidden)) {
            fail(ParseError::InvalidCharacter);
        }
        if (c == '&' && m_cursor[1] == '#') {
            m_cursor += 2;
            value += scanCharReference();
        } else if (c == '&') {
            const char* reference = m_cursor++;
            scanName(ParseError::EntityReference);
            expect(';', ParseError::EntityReference);
            value.append(reference, m_cursor);
        } else {
            value += c;
            ++m_cursor;
        }
    }
}

std::string Parser::scanSystemLiteral(ParseError error) {
    const char quote = peek();
    if (quote != '"' && quote != '\'') {
        fail(error);
    }
    const char* start = ++m_cursor;
    while (peek() != quote) {
        if (peek() == '\0') {
            fail(ParseError::UnexpectedEnd);
        }
        if (hasClass(peek(), kForbidden)) {
            fail(ParseError::InvalidCharacter);
        }
        ++m_cursor;
    }
    return std::string(start, m_cursor++);
}

std::string Parser::scanPubidLiteral(ParseError error) {
    const char quote = peek();
    if (quote != '"' && quote != '\'') {
        fail(error);
    }
    const char* start = ++m_cursor;
    while (peek() != quote) {
        if (!hasClass(peek(), kPubidChar)) {
            fail(peek() == '\0' ? ParseError::UnexpectedEnd : error);
        }
        ++m_cursor;
    }
    return std::string(start, m_cursor++);
}

}  // namespace AdvXMLParser::detail
