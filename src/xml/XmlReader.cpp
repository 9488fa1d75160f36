#include "xml/XmlReader.h"

#include "xml/Parser.h"

namespace AdvXMLParser {

std::unique_ptr<XmlDocument> Parse(const char* buffer, std::size_t length) {
    detail::Parser parser(buffer, length);
    return parser.Run();
}

}  // namespace AdvXMLParser
