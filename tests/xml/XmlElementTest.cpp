// Elements, attributes, content nodes and the lookups the engine makes.

#include "XmlTestSupport.h"

namespace vesta::xmltest {
namespace {

using AdvXMLParser::NullAttribute;
using AdvXMLParser::NullElement;
using AdvXMLParser::ParseError;

TEST(XmlLookup, MissingElementStillAnswersAttributeLookups) {
    const auto document = parse("<AppConfig><Window Name='w'/></AppConfig>");
    const auto& missing = document->Root().FindChild("Startup");
    EXPECT_EQ(&missing, &NullElement());
    EXPECT_EQ(&missing.FindAttribute("ID"), &NullAttribute());
    EXPECT_EQ(missing.FindAttribute("ID").Value(), "");
    EXPECT_EQ(&missing.FindChild("x").FindChild("y"), &NullElement());
    EXPECT_TRUE(NullElement().Children().empty());
    EXPECT_TRUE(NullElement().Attributes().empty());
}

TEST(XmlLookup, NamesCompareExactly) {
    const auto document = parse("<a><Window Name='n' name2='m'/><window/></a>");
    const auto& window = document->Root().FindChild("Window");
    EXPECT_EQ(window.FindAttribute("Name").Value(), "n");
    EXPECT_EQ(&window.FindAttribute("name"), &NullAttribute());
    EXPECT_EQ(&window.FindAttribute("Nam"), &NullAttribute());
    EXPECT_EQ(&document->Root().FindChild("Window", 1), &NullElement());
    EXPECT_EQ(document->Root().FindChild("window").NodeName(), "window");
}

TEST(XmlLookup, IndexAndKindSelectAmongChildren) {
    const auto document = parse("<a><s n='0'/>text<t/><s n='1'/><!--c--><s n='2'/></a>");
    const auto& root = document->Root();
    EXPECT_EQ(root.FindChild("s", 2).FindAttribute("n").Value(), "2");
    EXPECT_EQ(&root.FindChild("s", 3), &NullElement());
    EXPECT_EQ(&root.FindChild("s", -1), &NullElement());
    EXPECT_EQ(&root.FindChild("#text", 0, AdvXMLParser::kTextNode), &NullElement());
    const auto* text = root.FindNode("#text", 0, AdvXMLParser::kTextNode);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Value(), "text");
    EXPECT_NE(root.FindNode("#comment", 0, AdvXMLParser::kCommentNode), nullptr);
    EXPECT_EQ(root.FindNode("s", 0, AdvXMLParser::kTextNode), nullptr);
}

TEST(XmlElement, ChildrenAreRealElementsInDocumentOrder) {
    const auto document = parse("<r><a/>x<b><c/></b><![CDATA[<&>]]><?p d?><!--m--></r>");
    const auto& root = document->Root();
    ASSERT_EQ(root.Children().size(), 6u);
    const int kinds[] = {1, 3, 1, 4, 7, 8};
    const char* names[] = {"a", "#text", "b", "#cdata-section", "p", "#comment"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(child(root, i).Kind(), kinds[i]);
        EXPECT_EQ(child(root, i).NodeName(), names[i]);
    }
    EXPECT_EQ(child(root, 3).Value(), "<&>");
    EXPECT_EQ(childElement(root, 2).FindChild("c").NodeName(), "c");
}

TEST(XmlElement, AttributesKeepOrderAndQuotes) {
    const auto document = parse("<a one=\"1\" two = '2' three='say \"hi\"' four=\"it's\"/>");
    const auto& attributes = document->Root().Attributes();
    ASSERT_EQ(attributes.size(), 4u);
    EXPECT_EQ(attributes[0]->NodeName(), "one");
    EXPECT_EQ(attributes[1]->Value(), "2");
    EXPECT_EQ(attributes[2]->Value(), "say \"hi\"");
    EXPECT_EQ(attributes[3]->Value(), "it's");
    EXPECT_TRUE(attributes[3]->IsKind(AdvXMLParser::kAttributeNode));
}

TEST(XmlElement, AttributeValueWhiteSpaceBecomesSpaces) {
    const auto document = parse("<a v='x\ty\nz\r\nw' r='&#9;&#10;&#13;'/>");
    EXPECT_EQ(document->Root().FindAttribute("v").Value(), "x y z w");
    EXPECT_EQ(document->Root().FindAttribute("r").Value(), "\t\n\r");
}

TEST(XmlElement, MalformedTagsAreRejected) {
    EXPECT_EQ(parseErrorCode("<a b='1'c='2'/>"), ParseError::StartTag);
    EXPECT_EQ(parseErrorCode("<a b/>"), ParseError::Attribute);
    EXPECT_EQ(parseErrorCode("<a b=1/>"), ParseError::Attribute);
    EXPECT_EQ(parseErrorCode("<a b='1' b='2'/>"), ParseError::DuplicateAttribute);
    EXPECT_EQ(parseErrorCode("<a b='<'/>"), ParseError::AttributeValue);
    EXPECT_EQ(parseErrorCode("<a b='1"), ParseError::UnexpectedEnd);
    EXPECT_EQ(parseErrorCode("<a/ >"), ParseError::StartTag);
    EXPECT_EQ(parseErrorCode("<1a/>"), ParseError::Name);
    EXPECT_EQ(parseErrorCode("<a></b>"), ParseError::MismatchedEndTag);
    EXPECT_EQ(parseErrorCode("<a></a x>"), ParseError::EndTag);
    EXPECT_EQ(parseErrorCode("<a><b></a></b>"), ParseError::MismatchedEndTag);
    EXPECT_EQ(parseErrorCode("<a><b>"), ParseError::UnexpectedEnd);
    EXPECT_EQ(parseErrorCode("<a><!DOCTYPE a></a>"), ParseError::Name);
}

TEST(XmlElement, DuplicatesAreFoundAmongManyAttributes) {
    std::string text = "<a";
    for (int i = 0; i < 100; ++i) {
        text += " a" + std::to_string(i) + "='v'";
    }
    EXPECT_EQ(parse(text + "/>")->Root().Attributes().size(), 100u);
    EXPECT_EQ(parseErrorCode(text + " a57='again'/>"), ParseError::DuplicateAttribute);
    EXPECT_EQ(parseErrorCode(text + " a3='again'/>"), ParseError::DuplicateAttribute);
}

TEST(XmlElement, NamesUseTheSupportedLetters) {
    const auto document = parse("<_a:b.c-1\xC0\xF8 x\xE9='1'/>");
    EXPECT_EQ(document->Root().NodeName(), "_a:b.c-1\xC0\xF8");
    EXPECT_EQ(document->Root().FindAttribute("x\xE9").Value(), "1");
    EXPECT_EQ(parseErrorCode("<a\xD7/>"), ParseError::StartTag);  // multiplication sign
    EXPECT_EQ(parseErrorCode("<\xC0/>"), ParseError::Name);       // not as the first letter
    EXPECT_EQ(parseErrorCode("<-a/>"), ParseError::Name);
    EXPECT_EQ(parseErrorCode("<a\xE2\x82\xAC/>"), ParseError::StartTag);  // UTF-8 euro sign
}

TEST(XmlContent, WhiteSpaceOnlyTextIsDroppedUnlessPreserved) {
    const auto document = parse("<a>\n  <b> x </b>\n  <c xml:space='preserve'> <d>\t</d> </c>"
                                "<e xml:space='preserve'><f xml:space='default'> </f></e></a>");
    const auto& root = document->Root();
    ASSERT_EQ(root.Children().size(), 3u);
    EXPECT_EQ(childElement(root, 0).FindNode("#text", 0, 3)->Value(), " x ");
    const auto& c = childElement(root, 1);
    EXPECT_TRUE(c.PreserveSpace());
    ASSERT_EQ(c.Children().size(), 3u);
    EXPECT_EQ(child(c, 0).Value(), " ");
    EXPECT_FALSE(childElement(c, 1).PreserveSpace());  // inherits the keeping, not the flag
    EXPECT_EQ(childElement(c, 1).Children().size(), 1u);
    EXPECT_TRUE(childElement(childElement(root, 2), 0).Children().empty());
}

TEST(XmlContent, TextJoinsAcrossReferencesButNotCData) {
    const auto document = parse("<a>x &lt; y&#65;<![CDATA[ z ]]>w</a>");
    const auto& root = document->Root();
    ASSERT_EQ(root.Children().size(), 3u);
    EXPECT_EQ(child(root, 0).Value(), "x < yA");
    EXPECT_EQ(child(root, 1).Value(), " z ");
    EXPECT_EQ(child(root, 2).Value(), "w");
}

TEST(XmlContent, CharacterDataRules) {
    EXPECT_EQ(parseErrorCode("<a>x]]>y</a>"), ParseError::CharacterData);
    EXPECT_EQ(parse("<a>]] ]>]</a>")->Root().FindNode("#text", 0, 3)->Value(), "]] ]>]");
    EXPECT_EQ(parseErrorCode("<a>\x01</a>"), ParseError::InvalidCharacter);
    EXPECT_EQ(parseErrorCode("<a b='\x1F'/>"), ParseError::InvalidCharacter);
    EXPECT_EQ(parseErrorCode("<a><![CDATA[x]]</a>"), ParseError::UnexpectedEnd);
    EXPECT_EQ(parseErrorCode("<a><![CDAT[x]]></a>"), ParseError::Name);
}

}  // namespace
}  // namespace vesta::xmltest
