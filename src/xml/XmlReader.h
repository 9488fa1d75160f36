#pragma once
// Reads a whole XML text held in memory into a tree. The bytes are taken as they are
// (the declared encoding is only recorded), CR LF and lone CR read as LF, and the text
// ends at its length or at the first NUL byte; a UTF-8 byte-order mark is skipped.
// Text of white space alone is dropped unless xml:space="preserve" is in force.
// Entities expand in content and attribute values; one that refers to itself, or
// expansion beyond 1 MiB or four times the text, is a ParsingException.
//
// Restrictions the configuration documents never meet: names are made of ASCII
// letters, '_' and ':', then also digits, '.', '-' and the Latin-1 letters 192-214,
// 216-246 and 248-255; character references may only stand for 9, 10, 13 and 32-127;
// external entities are never read (a reference to one in content is kept as a
// kReferenceNode). Declarations of the document type are not enforced, but attribute
// defaults declared in the internal subset are supplied, as XML asks of every reader.

#include <cstddef>
#include <memory>

#include "xml/XmlDocument.h"
#include "xml/XmlException.h"
#include "xml/XmlNode.h"

namespace AdvXMLParser {

// Throws ParsingException or InvalidRefException; the buffer need not end with a NUL.
std::unique_ptr<XmlDocument> Parse(const char* buffer, std::size_t length);

}  // namespace AdvXMLParser
