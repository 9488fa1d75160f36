#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

#include "xml/XmlReader.h"

namespace vesta::xmltest {

inline std::unique_ptr<AdvXMLParser::XmlDocument> parse(std::string_view text) {
    return AdvXMLParser::Parse(text.data(), text.size());
}

// The exception a text is rejected with; fails the test when the text is accepted.
inline AdvXMLParser::ParsingException parseError(std::string_view text) {
    try {
        parse(text);
    } catch (const AdvXMLParser::ParsingException& error) {
        return error;
    }
    ADD_FAILURE() << "accepted: " << text;
    return AdvXMLParser::ParsingException(AdvXMLParser::ParseError::UnexpectedEnd, 0, 0);
}

inline AdvXMLParser::ParseError parseErrorCode(std::string_view text) {
    return parseError(text).Error();
}

inline const AdvXMLParser::XmlNode& child(const AdvXMLParser::XmlElement& element,
                                          std::size_t index) {
    return *element.Children().at(index);
}

inline const AdvXMLParser::XmlElement& childElement(const AdvXMLParser::XmlElement& element,
                                                    std::size_t index) {
    return static_cast<const AdvXMLParser::XmlElement&>(child(element, index));
}

}  // namespace vesta::xmltest
