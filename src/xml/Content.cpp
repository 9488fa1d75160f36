// The root element and everything inside it. Open elements live on an explicit stack,
// so nesting depth costs heap, never call depth.

#include <iterator>

#include "xml/CharClass.h"
#include "xml/Parser.h"

namespace AdvXMLParser::detail {
namespace {

// Beyond this many attributes on one tag, duplicates are found through a hash set.
constexpr std::size_t kLinearAttributeSearch = 16;

// Values of attributes declared with a type other than CDATA: single spaces between
// tokens, none around them.
void normaliseTokens(std::string& value) {
    std::size_t out = 0;
    for (std::size_t in = 0; in < value.size(); ++in) {
        if (value[in] != ' ' || (out > 0 && value[out - 1] != ' ')) {
            value[out++] = value[in];
        }
    }
    if (out > 0 && value[out - 1] == ' ') {
        --out;
    }
    value.resize(out);
}

bool isAllSpace(std::string_view text) {
    for (char c : text) {
        if (!hasClass(c, kSpace)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void Parser::parseRootElement() {
    ++m_cursor;
    bool empty = false;
    std::unique_ptr<XmlElement> root = parseStartTag(empty);
    XmlElement* raw = root.get();
    m_document->m_root = raw;
    m_document->m_children.push_back(std::move(root));
    if (!empty) {
        m_open.push_back({raw, 0, raw->m_preserveSpace});
        parseContent();
    }
}

// After "<"; leaves the cursor after ">" or "/>".
std::unique_ptr<XmlElement> Parser::parseStartTag(bool& empty) {
    auto element = std::make_unique<XmlElement>(std::string(scanName(ParseError::Name)));
    m_spaceAttribute = -1;
    for (;;) {
        const bool spaced = skipSpace();
        const char c = peek();
        if (c == '>' || c == '/') {
            ++m_cursor;
            empty = c == '/';
            if (empty) {
                expect('>', ParseError::StartTag);
            }
            element->m_attributes.reserve(m_pendingAttributes.size());
            std::move(m_pendingAttributes.begin(), m_pendingAttributes.end(),
                      std::back_inserter(element->m_attributes));
            m_pendingAttributes.clear();
            if (!m_attributeRules.empty()) {
                applyAttributeRules(*element);
            }
            return element;
        }
        if (!spaced) {
            fail(c == '\0' ? ParseError::UnexpectedEnd : ParseError::StartTag);
        }
        parseAttribute(*element);
    }
}

void Parser::parseAttribute(XmlElement& element) {
    const std::string_view name = scanName(ParseError::Name);
    if (isDuplicateAttribute(name)) {
        failBefore(ParseError::DuplicateAttribute);
    }
    skipSpace();
    expect('=', ParseError::Attribute);
    skipSpace();
    std::string value = scanAttributeValue();
    if (name == "xml:space") {
        m_spaceAttribute = value == "preserve" ? 1 : 0;
        element.m_preserveSpace = m_spaceAttribute == 1;
    }
    m_pendingAttributes.push_back(
        std::make_unique<XmlAttribute>(std::string(name), std::move(value)));
}

bool Parser::isDuplicateAttribute(std::string_view name) {
    const auto& attributes = m_pendingAttributes;
    if (attributes.size() < kLinearAttributeSearch) {
        for (const auto& attribute : attributes) {
            if (attribute->NodeName() == name) {
                return true;
            }
        }
        return false;
    }
    if (attributes.size() == kLinearAttributeSearch) {
        m_attributeNames.clear();
        for (const auto& attribute : attributes) {
            m_attributeNames.insert(attribute->NodeName());
        }
    }
    // The set views the names of attributes already stored; this one is added next.
    if (m_attributeNames.count(name) != 0) {
        return true;
    }
    m_attributeNames.insert(name);
    return false;
}

void Parser::applyAttributeRules(XmlElement& element) {
    const auto found = m_attributeRules.find(std::string_view(element.NodeName()));
    if (found == m_attributeRules.end()) {
        return;
    }
    const ElementRules& rules = found->second;
    std::vector<bool> given(rules.rules.size());
    for (const auto& attribute : element.m_attributes) {
        const auto rule = rules.byName.find(std::string_view(attribute->NodeName()));
        if (rule != rules.byName.end()) {
            given[rule->second] = true;
            if (rules.rules[rule->second].tokenized) {
                normaliseTokens(attribute->m_value);
            }
        }
    }
    for (std::size_t i = 0; i < rules.rules.size(); ++i) {
        const AttributeRule& rule = rules.rules[i];
        if (given[i] || !rule.hasDefault) {
            continue;
        }
        std::string value = rule.defaultValue;
        if (rule.tokenized) {
            normaliseTokens(value);
        }
        if (rule.name == "xml:space") {
            m_spaceAttribute = value == "preserve" ? 1 : 0;
            element.m_preserveSpace = m_spaceAttribute == 1;
        }
        element.m_attributes.push_back(std::make_unique<XmlAttribute>(rule.name, std::move(value)));
    }
}

void Parser::openElement(std::unique_ptr<XmlElement> element, bool empty) {
    XmlElement* raw = element.get();
    const bool preserve =
        m_spaceAttribute < 0 ? m_open.back().preserveSpace : m_spaceAttribute == 1;
    addChild(std::move(element));
    if (!empty) {
        m_open.push_back({raw, inputDepth(), preserve});
    }
}

void Parser::parseContent() {
    while (!m_open.empty()) {
        const char c = peek();
        if (c == '<') {
            flushText();
            parseMarkupInContent();
        } else if (c == '&') {
            parseReferenceInContent();
        } else if (c == '\0') {
            endEntityInContent();
        } else {
            scanText();
        }
    }
}

void Parser::parseMarkupInContent() {
    const char next = m_cursor[1];
    if (next == '/') {
        parseEndTag();
    } else if (consume("<!--")) {
        addChild(parseComment());
    } else if (consume("<![CDATA[")) {
        parseCData();
    } else if (next == '?') {
        m_cursor += 2;
        addChild(parseProcessingInstruction());
    } else {
        ++m_cursor;
        bool empty = false;
        std::unique_ptr<XmlElement> element = parseStartTag(empty);
        openElement(std::move(element), empty);
    }
}

void Parser::parseEndTag() {
    m_cursor += 2;
    const std::string_view name = scanName(ParseError::EndTag);
    skipSpace();
    expect('>', ParseError::EndTag);
    const OpenElement& open = m_open.back();
    if (name != open.element->NodeName()) {
        failBefore(ParseError::MismatchedEndTag);
    }
    if (open.inputDepth != inputDepth()) {
        failBefore(ParseError::EntityBoundary);
    }
    m_open.pop_back();
}

// After "<![CDATA[".
void Parser::parseCData() {
    const char* start = m_cursor;
    skipUntil("]]>");
    addChild(std::make_unique<XmlNode>(kCDataNode, "#cdata-section", std::string(start, m_cursor)));
    m_cursor += 3;
}

void Parser::scanText() {
    const char* start = m_cursor;
    const char* p = m_cursor;
    // Only the document's copy is padded for the word-wise scan; entity texts are not.
    const bool padded = m_inputs.empty();
    for (;;) {
        if (padded) {
            p = skipPlainText(p);
        }
        if (!hasClass(*p, kTextStop)) {
            ++p;  // white space, or a plain byte sharing a word with a special one
            continue;
        }
        if (*p != ']') {
            break;
        }
        if (p[1] == ']' && p[2] == '>') {
            m_cursor = p + 2;
            fail(ParseError::CharacterData);
        }
        ++p;
    }
    if (hasClass(*p, kForbidden)) {
        m_cursor = p;
        fail(ParseError::InvalidCharacter);
    }
    m_cursor = p;
    appendText({start, static_cast<std::size_t>(p - start)});
}

void Parser::parseReferenceInContent() {
    ++m_cursor;
    if (peek() == '#') {
        ++m_cursor;
        appendTextChar(scanCharReference());
        return;
    }
    const std::string_view name = scanName(ParseError::EntityReference);
    expect(';', ParseError::EntityReference);
    if (const char c = predefinedEntity(name)) {
        appendTextChar(c);
        return;
    }
    EntityState& entity = generalEntity(name);
    const XmlEntityDeclaration& declaration = *entity.declaration;
    if (!declaration.notation.empty()) {
        failBefore(ParseError::UnparsedEntityReference);
    }
    if (!declaration.internal) {
        // External entities are never read: the reference itself is kept.
        flushText();
        addChild(std::make_unique<XmlNode>(kReferenceNode, declaration.name));
        return;
    }
    pushEntity(entity);
}

void Parser::endEntityInContent() {
    if (inputDepth() == 0) {
        fail(ParseError::UnexpectedEnd);
    }
    if (m_open.back().inputDepth == inputDepth()) {
        fail(ParseError::EntityBoundary);
    }
    popEntity();
}

void Parser::appendText(std::string_view text) {
    if (!m_textPending) {
        m_textSpan = text;
        m_textPending = true;
    } else if (!m_textBuffered) {
        m_text.assign(m_textSpan);
        m_text.append(text);
        m_textBuffered = true;
    } else {
        m_text.append(text);
    }
}

void Parser::appendTextChar(char c) {
    if (!m_textBuffered) {
        m_text.assign(m_textPending ? m_textSpan : std::string_view());
        m_textPending = true;
        m_textBuffered = true;
    }
    m_text += c;
}

// Text of white space alone is dropped unless xml:space="preserve" is in force.
void Parser::flushText() {
    if (!m_textPending) {
        return;
    }
    const std::string_view text = m_textBuffered ? std::string_view(m_text) : m_textSpan;
    if (m_open.back().preserveSpace || !isAllSpace(text)) {
        addChild(std::make_unique<XmlNode>(kTextNode, "#text", std::string(text)));
    }
    m_textPending = false;
    m_textBuffered = false;
}

}  // namespace AdvXMLParser::detail
