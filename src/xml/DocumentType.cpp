// <!DOCTYPE>, its internal subset, and the entity and notation declarations.

#include "xml/CharClass.h"
#include "xml/Parser.h"

namespace AdvXMLParser::detail {

// After "<!DOCTYPE".
void Parser::parseDocumentType() {
    XmlDocumentType& type = m_document->m_documentType;
    m_document->m_hasDocumentType = true;
    requireSpace(ParseError::DocumentType);
    type.m_name = scanName(ParseError::DocumentType);
    if (skipSpace() && (startsWith("SYSTEM") || startsWith("PUBLIC"))) {
        parseExternalId(false, ParseError::DocumentType, type.m_publicId, type.m_systemId);
        skipSpace();
    }
    if (peek() == '[') {
        ++m_cursor;
        parseInternalSubset();
        skipSpace();
    }
    expect('>', ParseError::DocumentType);
}

// A notation may give its public identifier alone (`publicAlone`).
void Parser::parseExternalId(bool publicAlone, ParseError error, std::string& publicId,
                             std::string& systemId) {
    if (consumeKeyword("SYSTEM")) {
        requireSpace(error);
        systemId = scanSystemLiteral(error);
        return;
    }
    if (!consumeKeyword("PUBLIC")) {
        fail(error);
    }
    requireSpace(error);
    publicId = scanPubidLiteral(error);
    if (!publicAlone) {
        requireSpace(error);
        systemId = scanSystemLiteral(error);
    } else if (skipSpace() && (peek() == '"' || peek() == '\'')) {
        systemId = scanSystemLiteral(error);
    }
}

// After "[". Parameter entities declared here may hold whole declarations. Comments and
// processing instructions join the document's top-level nodes.
void Parser::parseInternalSubset() {
    const std::size_t baseDepth = inputDepth();
    for (;;) {
        skipSpace();
        const char c = peek();
        if (c == '\0' && inputDepth() > baseDepth) {
            popEntity();
        } else if (c == '\0') {
            fail(ParseError::UnexpectedEnd);
        } else if (c == ']') {
            if (inputDepth() > baseDepth) {
                fail(ParseError::EntityBoundary);
            }
            ++m_cursor;
            return;
        } else if (c == '%') {
            parseParameterReference();
        } else if (consume("<!--")) {
            m_document->m_children.push_back(parseComment());
        } else if (consume("<?")) {
            m_document->m_children.push_back(parseProcessingInstruction());
        } else if (consume("<!ELEMENT")) {
            parseElementDeclaration();
        } else if (consume("<!ATTLIST")) {
            parseAttlistDeclaration();
        } else if (consume("<!ENTITY")) {
            parseEntityDeclaration();
        } else if (consume("<!NOTATION")) {
            parseNotationDeclaration();
        } else {
            fail(ParseError::MarkupDeclaration);
        }
    }
}

// A parameter entity that is not read (external or unknown) may have declared anything,
// so later entity declarations must not be trusted unless the document is standalone.
void Parser::parseParameterReference() {
    ++m_cursor;
    const std::string_view name = scanName(ParseError::EntityReference);
    expect(';', ParseError::EntityReference);
    const auto found = m_parameterEntities.find(name);
    if (found == m_parameterEntities.end() || !found->second.declaration->internal) {
        m_declarationsSuspended = m_document->m_standalone != "yes";
        return;
    }
    pushEntity(found->second);
}

// After "<!ENTITY".
void Parser::parseEntityDeclaration() {
    auto declaration = std::make_unique<XmlEntityDeclaration>();
    requireSpace(ParseError::MarkupDeclaration);
    if (consume("%")) {
        declaration->parameter = true;
        requireSpace(ParseError::MarkupDeclaration);
    }
    declaration->name = scanName(ParseError::Name);
    requireSpace(ParseError::MarkupDeclaration);
    if (peek() == '"' || peek() == '\'') {
        declaration->value = scanEntityValue();
    } else {
        declaration->internal = false;
        parseExternalId(false, ParseError::MarkupDeclaration, declaration->publicId,
                        declaration->systemId);
        if (skipSpace() && !declaration->parameter && consumeKeyword("NDATA")) {
            requireSpace(ParseError::MarkupDeclaration);
            declaration->notation = scanName(ParseError::Name);
        }
    }
    skipSpace();
    expect('>', ParseError::MarkupDeclaration);
    addEntity(std::move(declaration));
}

// The first declaration of a name binds; the five predefined entities keep their meaning.
void Parser::addEntity(std::unique_ptr<XmlEntityDeclaration> declaration) {
    if (m_declarationsSuspended ||
        (!declaration->parameter && predefinedEntity(declaration->name) != '\0')) {
        return;
    }
    EntityTable& table = declaration->parameter ? m_parameterEntities : m_generalEntities;
    if (table.count(declaration->name) != 0) {
        return;
    }
    table.emplace(declaration->name, EntityState{declaration.get(), false});
    m_document->m_documentType.m_entities.push_back(std::move(declaration));
}

// After "<!NOTATION".
void Parser::parseNotationDeclaration() {
    XmlNotationDeclaration notation;
    requireSpace(ParseError::MarkupDeclaration);
    notation.name = scanName(ParseError::Name);
    requireSpace(ParseError::MarkupDeclaration);
    parseExternalId(true, ParseError::MarkupDeclaration, notation.publicId, notation.systemId);
    skipSpace();
    expect('>', ParseError::MarkupDeclaration);
    m_document->m_documentType.m_notations.push_back(std::move(notation));
}

}  // namespace AdvXMLParser::detail
