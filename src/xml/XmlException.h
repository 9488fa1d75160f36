#pragma once
// Errors of the reader. A ParsingException names the broken rule by a small code and
// the place after the last character read: the line starts at 1, the column is 1 at
// the start of the text and 0 after each line feed, and grows by one per character.

#include <exception>
#include <string>

namespace AdvXMLParser {

enum class ParseError : int {
    UnexpectedEnd = 1,
    NoRootElement,
    SecondRootElement,
    TextOutsideRoot,
    XmlDeclaration,
    MisplacedXmlDeclaration,
    Name,
    Comment,
    ProcessingInstruction,
    DocumentType,
    MisplacedDocumentType,
    MarkupDeclaration,
    StartTag,
    Attribute,
    DuplicateAttribute,
    AttributeValue,
    EndTag,
    MismatchedEndTag,
    CharacterData,
    CData,
    InvalidCharacter,
    CharacterReference,
    EntityReference,
    RecursiveEntity,
    ExternalEntityInAttribute,
    UnparsedEntityReference,
    EntityBoundary,
    EntityExpansionLimit,
    ParameterEntityReference,
};

// A short English description of a code, "unknown error" for any other number.
const char* ParseErrorText(int code);

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

class ParsingException : public Exception {
public:
    ParsingException(ParseError error, int line, int column);
    int Code() const { return static_cast<int>(m_error); }
    ParseError Error() const { return m_error; }
    int Line() const { return m_line; }
    int Column() const { return m_column; }

private:
    ParseError m_error;
    int m_line;
    int m_column;
};

// A reference to an entity that is neither predefined nor declared.
class InvalidRefException : public Exception {
public:
    explicit InvalidRefException(std::string name);
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
};

}  // namespace AdvXMLParser
