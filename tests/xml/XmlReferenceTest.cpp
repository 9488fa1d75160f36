// Character references, the predefined entities and entities the document declares.

#include "XmlTestSupport.h"

namespace vesta::xmltest {
namespace {

using AdvXMLParser::InvalidRefException;
using AdvXMLParser::ParseError;

std::string textOf(std::string_view document) {
    const auto parsed = parse(document);
    const auto* text = parsed->Root().FindNode("#text", 0, AdvXMLParser::kTextNode);
    return text ? text->Value() : std::string();
}

std::string attributeOf(std::string_view document) {
    return parse(document)->Root().FindAttribute("v").Value();
}

TEST(XmlCharacterReference, DecimalAndHexadecimalGiveTheSameLetter) {
    EXPECT_EQ(textOf("<a>&#65;&#x41;&#x0041;&#0065;</a>"), "AAAA");
    EXPECT_EQ(attributeOf("<a v='&#65;&#x41;'/>"), "AA");
    EXPECT_EQ(textOf("<a>&#9;&#32;&#127;&#x7f;</a>"), "\t \x7F\x7F");
}

TEST(XmlCharacterReference, OnlyTheSupportedRangeIsAccepted) {
    for (const char* text :
         {"<a>&#200;</a>", "<a>&#0;</a>", "<a>&#8;</a>", "<a>&#128;</a>", "<a>&#x10FFFF;</a>",
          "<a>&#99999999999999999999999;</a>", "<a v='&#200;'/>"}) {
        EXPECT_EQ(parseErrorCode(text), ParseError::CharacterReference) << text;
    }
}

TEST(XmlCharacterReference, MalformedReferencesAreRejected) {
    for (const char* text : {"<a>&#65</a>", "<a>&#;</a>", "<a>&#x;</a>", "<a>&#X41;</a>",
                             "<a>&#6 5;</a>", "<a>&#x4G;</a>", "<a>&#-65;</a>"}) {
        EXPECT_EQ(parseErrorCode(text), ParseError::CharacterReference) << text;
    }
}

TEST(XmlEntity, PredefinedEntitiesNeedNoDeclaration) {
    EXPECT_EQ(textOf("<a>&lt;&gt;&amp;&apos;&quot;</a>"), "<>&'\"");
    EXPECT_EQ(attributeOf("<a v='&lt;&amp;&apos;'/>"), "<&'");
    EXPECT_EQ(parseErrorCode("<a>&amp</a>"), ParseError::EntityReference);
    EXPECT_EQ(parseErrorCode("<a>& amp;</a>"), ParseError::EntityReference);
    EXPECT_EQ(parseErrorCode("<a>&</a>"), ParseError::EntityReference);
}

TEST(XmlEntity, UndeclaredEntityNamesItself) {
    try {
        parse("<a>&nbsp;</a>");
        FAIL() << "accepted";
    } catch (const InvalidRefException& error) {
        EXPECT_EQ(error.Name(), "nbsp");
        EXPECT_STREQ(error.what(), "Reference to undeclared entity [nbsp]");
    }
    EXPECT_THROW(parse("<a v='&Lt;'/>"), InvalidRefException);
    EXPECT_THROW(parse("<!DOCTYPE a [<!ENTITY e 'x'>]><a>&E;</a>"), InvalidRefException);
}

TEST(XmlEntity, DeclaredEntitiesExpandInContentAndAttributes) {
    const auto document = parse("<!DOCTYPE a [\n"
                                "<!ENTITY who 'world'>\n"
                                "<!ENTITY greeting \"hello &who;&#33;\">\n"
                                "<!ENTITY tagged '<b k=\"&who;\">&greeting;</b>'>\n"
                                "]>\n"
                                "<a v='&greeting;'>[&tagged;]</a>");
    const auto& root = document->Root();
    EXPECT_EQ(root.FindAttribute("v").Value(), "hello world!");
    ASSERT_EQ(root.Children().size(), 3u);
    EXPECT_EQ(child(root, 0).Value(), "[");
    const auto& b = childElement(root, 1);
    EXPECT_EQ(b.FindAttribute("k").Value(), "world");
    EXPECT_EQ(child(b, 0).Value(), "hello world!");
    EXPECT_EQ(child(root, 2).Value(), "]");
}

TEST(XmlEntity, CharacterReferencesInAValueAreReplacedWhenDeclared) {
    // "&#38;" becomes "&" in the replacement text, which then reads as a reference.
    EXPECT_EQ(textOf("<!DOCTYPE a [<!ENTITY e '&#38;amp;'>]><a>&e;</a>"), "&");
    // "&#60;" becomes "<", which then opens markup.
    const auto document = parse("<!DOCTYPE a [<!ENTITY e '&#60;b/>'>]><a>&e;</a>");
    EXPECT_EQ(document->Root().FindChild("b").NodeName(), "b");
    // In attribute values a "<" from an entity is still not allowed.
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY e '&#60;'>]><a v='&e;'/>"),
              ParseError::AttributeValue);
    // White space from an entity is normalised too, character references are not.
    EXPECT_EQ(attributeOf("<!DOCTYPE a [<!ENTITY e 'x&#9;y'>]><a v='&e;'/>"), "x y");
}

TEST(XmlEntity, TheFirstDeclarationBindsAndPredefinedOnesStay) {
    EXPECT_EQ(textOf("<!DOCTYPE a [<!ENTITY e 'one'><!ENTITY e 'two'><!ENTITY lt 'x'>]>"
                     "<a>&e;&lt;</a>"),
              "one<");
}

TEST(XmlEntity, SelfReferenceIsRejectedNotFollowed) {
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY e 'x&e;'>]><a>&e;</a>"),
              ParseError::RecursiveEntity);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY e '&f;'><!ENTITY f '&e;'>]><a v='&e;'/>"),
              ParseError::RecursiveEntity);
    // Using the same entity twice side by side is not recursion.
    EXPECT_EQ(textOf("<!DOCTYPE a [<!ENTITY e 'x'><!ENTITY f '&e;&e;'>]><a>&f;&f;</a>"), "xxxx");
}

TEST(XmlEntity, ExponentialExpansionStopsAtItsLimit) {
    std::string text = "<!DOCTYPE a [<!ENTITY e0 'lollollollollollollollollollol'>";
    for (int i = 1; i < 10; ++i) {
        const std::string previous = "&e" + std::to_string(i - 1) + ";";
        std::string value;
        for (int j = 0; j < 10; ++j) {
            value += previous;
        }
        text += "<!ENTITY e" + std::to_string(i) + " '" + value + "'>";
    }
    EXPECT_EQ(parseErrorCode(text + "]><a>&e9;</a>"), ParseError::EntityExpansionLimit);
    EXPECT_EQ(parseErrorCode(text + "]><a v='&e9;'/>"), ParseError::EntityExpansionLimit);
    EXPECT_EQ(textOf(text + "]><a>&e3;</a>").size(), 30000u);
}

TEST(XmlEntity, MarkupMustCloseInTheEntityThatOpenedIt) {
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY e '<b>'>]><a>&e;</b></a>"),
              ParseError::EntityBoundary);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY e '</a>'>]><a>&e;"),
              ParseError::EntityBoundary);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY e '<!--'>]><a>&e;--></a>"),
              ParseError::EntityBoundary);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY e '&#38;amp'>]><a>&e;;</a>"),
              ParseError::EntityBoundary);
}

TEST(XmlEntity, ExternalEntitiesAreKeptAsReferences) {
    const auto document = parse("<!DOCTYPE a [<!ENTITY ext SYSTEM 'part.xml'>\n"
                                "<!ENTITY pic SYSTEM 'p.gif' NDATA gif><!NOTATION gif SYSTEM 'v'>]>"
                                "<a>x&ext;y</a>");
    const auto& root = document->Root();
    ASSERT_EQ(root.Children().size(), 3u);
    EXPECT_EQ(child(root, 1).Kind(), AdvXMLParser::kReferenceNode);
    EXPECT_EQ(child(root, 1).NodeName(), "ext");
    const auto* entity = document->DocumentType().FindEntity("ext");
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->systemId, "part.xml");
    EXPECT_FALSE(entity->internal);
    EXPECT_EQ(document->DocumentType().FindEntity("pic")->notation, "gif");
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY ext SYSTEM 'x'>]><a v='&ext;'/>"),
              ParseError::ExternalEntityInAttribute);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ENTITY p SYSTEM 'x' NDATA n>]><a>&p;</a>"),
              ParseError::UnparsedEntityReference);
}

}  // namespace
}  // namespace vesta::xmltest
