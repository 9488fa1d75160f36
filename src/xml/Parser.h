#pragma once
// The reader's private machinery. Every input (the document, or the replacement text
// of an entity being expanded) ends with a NUL byte, which the scanners treat as the
// end of that input: the document is copied first, with its line ends normalised and
// a few NULs after it for word-wise scanning.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "xml/XmlDocument.h"
#include "xml/XmlException.h"

namespace AdvXMLParser::detail {

class Parser {
public:
    Parser(const char* buffer, std::size_t length);
    std::unique_ptr<XmlDocument> Run();

private:
    struct EntityState {
        const XmlEntityDeclaration* declaration;
        bool expanding;
    };
    struct SavedInput {
        const char* cursor;
        EntityState* entity;
    };
    struct OpenElement {
        XmlElement* element;
        std::size_t inputDepth;  // elements must close in the entity that opened them
        bool preserveSpace;
    };
    using EntityTable = std::unordered_map<std::string_view, EntityState>;
    // What an <!ATTLIST> says about one attribute that matters to a reader that does not
    // validate: its default, and whether its value is a list of tokens.
    struct AttributeRule {
        std::string name;
        std::string defaultValue;
        bool hasDefault;
        bool tokenized;
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    struct ElementRules {
        std::vector<AttributeRule> rules;
        std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> byName;
    };
    using AttributeRules = std::unordered_map<std::string, ElementRules, NameHash, std::equal_to<>>;

    // Input and errors (Parser.cpp)
    char peek() const { return *m_cursor; }
    bool startsWith(std::string_view text) const;
    bool consume(std::string_view text);
    bool consumeKeyword(std::string_view keyword);
    void expect(char c, ParseError error);
    bool skipSpace();
    // Advances to `terminator` (not consumed) over literal text: CDATA, PIs.
    void skipUntil(std::string_view terminator);
    void requireSpace(ParseError error);
    std::string_view scanName(ParseError error);
    std::string_view scanNmtoken(ParseError error);
    std::size_t inputDepth() const { return m_inputs.size(); }
    void pushEntity(EntityState& entity);
    void popEntity();
    // The error position is after the character under the cursor (it has been read).
    [[noreturn]] void fail(ParseError error) const;
    // The error position is the cursor: the offending text is already consumed.
    [[noreturn]] void failBefore(ParseError error) const;
    [[noreturn]] void failAt(ParseError error, const char* position) const;

    // References and literal values (References.cpp)
    char scanCharReference();
    static char predefinedEntity(std::string_view name);
    EntityState& generalEntity(std::string_view name);
    std::string scanAttributeValue();
    void finishAttributeValue(std::string& value, char quote);
    void appendValueReference(std::string& value);
    std::string scanEntityValue();
    std::string scanSystemLiteral(ParseError error);
    std::string scanPubidLiteral(ParseError error);

    // Top level (Prolog.cpp)
    void parseXmlDeclaration();
    std::string scanDeclarationValue();
    void parseTopLevel();
    std::unique_ptr<XmlNode> parseComment();
    std::unique_ptr<XmlNode> parseProcessingInstruction();

    // Document type, entities and notations (DocumentType.cpp)
    void parseDocumentType();
    void parseExternalId(bool publicAlone, ParseError error, std::string& publicId,
                         std::string& systemId);
    void parseInternalSubset();
    void parseParameterReference();
    void parseEntityDeclaration();
    void addEntity(std::unique_ptr<XmlEntityDeclaration> declaration);
    void parseNotationDeclaration();

    // Element and attribute-list declarations (Declarations.cpp)
    void parseElementDeclaration();
    void parseContentModel();
    void parseMixedContent();
    void parseOccurrence();
    void parseAttlistDeclaration();
    bool parseAttributeType();
    void parseNameGroup(bool tokens);
    void parseDefaultDeclaration(AttributeRule& rule);
    void addAttributeRule(std::string_view element, AttributeRule rule);

    // Elements and content (Content.cpp)
    void parseRootElement();
    std::unique_ptr<XmlElement> parseStartTag(bool& empty);
    void parseAttribute(XmlElement& element);
    bool isDuplicateAttribute(std::string_view name);
    void applyAttributeRules(XmlElement& element);
    void openElement(std::unique_ptr<XmlElement> element, bool empty);
    void parseContent();
    void parseMarkupInContent();
    void parseEndTag();
    void parseCData();
    void scanText();
    void parseReferenceInContent();
    void endEntityInContent();
    void appendText(std::string_view text);
    void appendTextChar(char c);
    void flushText();
    void addChild(std::unique_ptr<XmlNode> node) {
        m_open.back().element->m_children.push_back(std::move(node));
    }

    std::string m_source;
    const char* m_begin;
    const char* m_cursor;
    std::vector<SavedInput> m_inputs;
    std::size_t m_expansionLeft;

    std::unique_ptr<XmlDocument> m_document;
    EntityTable m_generalEntities;
    EntityTable m_parameterEntities;
    bool m_declarationsSuspended = false;
    AttributeRules m_attributeRules;

    std::vector<OpenElement> m_open;
    // The attributes of the tag being read, moved into their element in one allocation.
    std::vector<std::unique_ptr<XmlAttribute>> m_pendingAttributes;
    int m_spaceAttribute = -1;  // xml:space of the tag being read: -1 absent, 1 "preserve"
    std::unordered_set<std::string_view> m_attributeNames;

    std::string_view m_textSpan;  // pending text while it is one piece of input
    std::string m_text;           // pending text once it has several pieces
    bool m_textPending = false;
    bool m_textBuffered = false;
};

}  // namespace AdvXMLParser::detail
