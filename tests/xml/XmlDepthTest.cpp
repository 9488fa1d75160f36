// Nesting depth is bounded by memory only: neither reading, nor destroying the tree,
// nor nested content models or entities use the call stack per level.

#include "XmlTestSupport.h"

namespace vesta::xmltest {
namespace {

constexpr int kDepth = 1'000'000;

std::string repeated(std::string_view piece, int count) {
    std::string text;
    text.reserve(piece.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

TEST(XmlDepth, DeeplyNestedElementsAreReadAndDestroyed) {
    const std::string text = repeated("<e>", kDepth) + "x" + repeated("</e>", kDepth);
    auto document = parse(text);
    const AdvXMLParser::XmlElement* element = &document->Root();
    int depth = 1;
    for (;;) {
        const auto& next = element->FindChild("e");
        if (&next == &AdvXMLParser::NullElement()) {
            break;
        }
        element = &next;
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(child(*element, 0).Value(), "x");
    document.reset();
}

TEST(XmlDepth, UnclosedDeepNestingFailsCleanly) {
    EXPECT_EQ(parseErrorCode(repeated("<e>", kDepth)), AdvXMLParser::ParseError::UnexpectedEnd);
}

TEST(XmlDepth, DeeplyNestedContentModelsAreChecked) {
    const std::string model = repeated("(", kDepth) + "x" + repeated(")", kDepth);
    EXPECT_EQ(parse("<!DOCTYPE a [<!ELEMENT a " + model + ">]><a/>")->Root().NodeName(), "a");
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ELEMENT a " + model + ")>]><a/>"),
              AdvXMLParser::ParseError::MarkupDeclaration);
}

TEST(XmlDepth, LongChainsOfEntitiesExpand) {
    constexpr int kChain = 20'000;
    std::string subset = "<!ENTITY e0 '<leaf/>'>";
    for (int i = 1; i < kChain; ++i) {
        subset += "<!ENTITY e" + std::to_string(i) + " '&e" + std::to_string(i - 1) + ";'>";
    }
    const std::string last = "&e" + std::to_string(kChain - 1) + ";";
    const auto document = parse("<!DOCTYPE a [" + subset + "]><a>" + last + "</a>");
    EXPECT_EQ(document->Root().FindChild("leaf").NodeName(), "leaf");
}

}  // namespace
}  // namespace vesta::xmltest
