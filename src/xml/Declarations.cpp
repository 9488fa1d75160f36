// <!ELEMENT> and <!ATTLIST>. Content models are checked for their syntax only; attribute
// lists give the defaults and token normalisation that even a non-validating reader
// applies.

#include "xml/CharClass.h"
#include "xml/Parser.h"

namespace AdvXMLParser::detail {

// After "<!ELEMENT".
void Parser::parseElementDeclaration() {
    requireSpace(ParseError::MarkupDeclaration);
    scanName(ParseError::Name);
    requireSpace(ParseError::MarkupDeclaration);
    if (!consumeKeyword("EMPTY") && !consumeKeyword("ANY")) {
        if (peek() != '(') {
            fail(ParseError::MarkupDeclaration);
        }
        parseContentModel();
    }
    skipSpace();
    expect('>', ParseError::MarkupDeclaration);
}

// Groups nest without recursion: `separators` holds, per open group, the separator its
// members use (',' or '|'), or 0 while it has only one member.
void Parser::parseContentModel() {
    ++m_cursor;
    skipSpace();
    if (consume("#PCDATA")) {
        parseMixedContent();
        return;
    }
    std::vector<char> separators{'\0'};
    for (;;) {
        skipSpace();
        if (peek() == '(') {
            ++m_cursor;
            separators.push_back('\0');
            continue;
        }
        scanName(ParseError::MarkupDeclaration);
        parseOccurrence();
        for (;;) {
            skipSpace();
            const char c = peek();
            if (c == ')') {
                ++m_cursor;
                separators.pop_back();
                parseOccurrence();
                if (separators.empty()) {
                    return;
                }
                continue;
            }
            if ((c != ',' && c != '|') || (separators.back() != '\0' && separators.back() != c)) {
                fail(ParseError::MarkupDeclaration);
            }
            separators.back() = c;
            ++m_cursor;
            break;
        }
    }
}

// After "(#PCDATA": element names may follow, and then the group must end in ")*".
void Parser::parseMixedContent() {
    bool names = false;
    for (;;) {
        skipSpace();
        if (consume(")")) {
            if (!consume("*") && names) {
                fail(ParseError::MarkupDeclaration);
            }
            return;
        }
        expect('|', ParseError::MarkupDeclaration);
        skipSpace();
        scanName(ParseError::MarkupDeclaration);
        names = true;
    }
}

void Parser::parseOccurrence() {
    if (peek() == '?' || peek() == '*' || peek() == '+') {
        ++m_cursor;
    }
}

// After "<!ATTLIST".
void Parser::parseAttlistDeclaration() {
    requireSpace(ParseError::MarkupDeclaration);
    const std::string_view element = scanName(ParseError::Name);
    for (;;) {
        const bool spaced = skipSpace();
        if (peek() == '>') {
            ++m_cursor;
            return;
        }
        if (!spaced) {
            fail(peek() == '\0' ? ParseError::UnexpectedEnd : ParseError::MarkupDeclaration);
        }
        AttributeRule rule{std::string(scanName(ParseError::Name)), {}, false, false};
        requireSpace(ParseError::MarkupDeclaration);
        rule.tokenized = parseAttributeType();
        requireSpace(ParseError::MarkupDeclaration);
        parseDefaultDeclaration(rule);
        addAttributeRule(element, std::move(rule));
    }
}

// True for every type but CDATA: such values are lists of tokens.
bool Parser::parseAttributeType() {
    if (consumeKeyword("CDATA")) {
        return false;
    }
    for (std::string_view type :
         {"IDREFS", "IDREF", "ID", "ENTITIES", "ENTITY", "NMTOKENS", "NMTOKEN"}) {
        if (consumeKeyword(type)) {
            return true;
        }
    }
    if (consumeKeyword("NOTATION")) {
        requireSpace(ParseError::MarkupDeclaration);
        parseNameGroup(false);
    } else {
        parseNameGroup(true);
    }
    return true;
}

// "(a|b|c)" of names, or of name tokens for an enumeration.
void Parser::parseNameGroup(bool tokens) {
    expect('(', ParseError::MarkupDeclaration);
    for (;;) {
        skipSpace();
        if (tokens) {
            scanNmtoken(ParseError::MarkupDeclaration);
        } else {
            scanName(ParseError::MarkupDeclaration);
        }
        skipSpace();
        if (consume(")")) {
            return;
        }
        expect('|', ParseError::MarkupDeclaration);
    }
}

void Parser::parseDefaultDeclaration(AttributeRule& rule) {
    if (consumeKeyword("#REQUIRED") || consumeKeyword("#IMPLIED")) {
        return;
    }
    if (consumeKeyword("#FIXED")) {
        requireSpace(ParseError::MarkupDeclaration);
    }
    if (peek() != '"' && peek() != '\'') {
        fail(ParseError::MarkupDeclaration);
    }
    rule.defaultValue = scanAttributeValue();
    rule.hasDefault = true;
}

// The first declaration of an attribute binds, as for entities.
void Parser::addAttributeRule(std::string_view element, AttributeRule rule) {
    if (m_declarationsSuspended) {
        return;
    }
    auto found = m_attributeRules.find(element);
    if (found == m_attributeRules.end()) {
        found = m_attributeRules.emplace(std::string(element), ElementRules()).first;
    }
    ElementRules& rules = found->second;
    if (rules.byName.emplace(rule.name, rules.rules.size()).second) {
        rules.rules.push_back(std::move(rule));
    }
}

}  // namespace AdvXMLParser::detail
