// The text as a whole: declaration, the nodes around the root, where the text ends.

#include "XmlTestSupport.h"

namespace vesta::xmltest {
namespace {

using AdvXMLParser::ParseError;

TEST(XmlDocument, SampleConfigurationWithTabsAndLatin9Parses) {
    const std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-15\"?>\r\n"
                             "<AppConfig>\r\n"
                             "\t<Window\tClass=\"Vesta\"\tName=\"Cobalt \xA4\"\tWidth=\"640\"\t"
                             "Height=\"480\"/>\r\n"
                             "\t<FileSystem>\r\n"
                             "\t\t<Search\tPath=\"data\\\"/>\r\n"
                             "\t\t<Other\tPath=\"x\"/>\r\n"
                             "\t\t<Search\tPath=\"music\\\"/>\r\n"
                             "\t</FileSystem>\r\n"
                             "\t<Debug\tEnable=\"True\"/>\r\n"
                             "</AppConfig>\r\n";
    const auto document = parse(text);
    EXPECT_EQ(document->Encoding(), "iso-8859-15");
    const auto& root = document->Root();
    EXPECT_EQ(root.NodeName(), "AppConfig");
    const auto& window = root.FindChild("Window");
    EXPECT_EQ(window.FindAttribute("Name").Value(), "Cobalt \xA4");  // bytes pass unchanged
    EXPECT_EQ(window.FindAttribute("Width").Value(), "640");
    const auto& fileSystem = root.FindChild("FileSystem");
    EXPECT_EQ(fileSystem.FindChild("Search", 1).FindAttribute("Path").Value(), "music\\");
    EXPECT_EQ(&fileSystem.FindChild("Search", 2), &AdvXMLParser::NullElement());
    EXPECT_EQ(root.FindChild("Debug").FindAttribute("Enable").Value(), "True");
}

TEST(XmlDocument, DeclarationValuesAndDefaults) {
    const auto plain = parse("<a/>");
    EXPECT_EQ(plain->Version(), "1.0");
    EXPECT_EQ(plain->Encoding(), "UTF-8");
    EXPECT_EQ(plain->Standalone(), "");
    EXPECT_EQ(plain->NodeName(), "#document");
    EXPECT_TRUE(plain->IsKind(AdvXMLParser::kDocumentNode));

    const auto full = parse("<?xml version='1.0' encoding='ISO-8859-1' standalone='yes' ?><a/>");
    EXPECT_EQ(full->Encoding(), "ISO-8859-1");
    EXPECT_EQ(full->Standalone(), "yes");
}

TEST(XmlDocument, MalformedDeclarationsAreRejected) {
    for (const char* text :
         {"<?xml?><a/>", "<?xml encoding='UTF-8'?><a/>", "<?xml version='2.0'?><a/>",
          "<?xml version='1.0' standalone='maybe'?><a/>",
          "<?xml version='1.0' standalone='yes' encoding='UTF-8'?><a/>",
          "<?xml version='1.0'encoding='UTF-8'?><a/>", "<?xml version='1.0' encoding='-x'?><a/>",
          "<?xml version=1.0?><a/>"}) {
        const ParseError code = parseErrorCode(text);
        EXPECT_TRUE(code == ParseError::XmlDeclaration ||
                    code == ParseError::MisplacedXmlDeclaration)
            << text;
    }
    EXPECT_EQ(parseErrorCode(" <?xml version='1.0'?><a/>"), ParseError::MisplacedXmlDeclaration);
    EXPECT_EQ(parseErrorCode("<a/><?XML x?>"), ParseError::MisplacedXmlDeclaration);
}

TEST(XmlDocument, ExactlyOneRootIsRequired) {
    EXPECT_EQ(parseErrorCode(""), ParseError::NoRootElement);
    EXPECT_EQ(parseErrorCode(" \t\r\n "), ParseError::NoRootElement);
    EXPECT_EQ(parseErrorCode("<!-- only a comment -->"), ParseError::NoRootElement);
    EXPECT_EQ(parseErrorCode("<a/><b/>"), ParseError::SecondRootElement);
    EXPECT_EQ(parseErrorCode("<a></a>\n<a></a>"), ParseError::SecondRootElement);
    EXPECT_EQ(parseErrorCode("x<a/>"), ParseError::TextOutsideRoot);
    EXPECT_EQ(parseErrorCode("<a/>x"), ParseError::TextOutsideRoot);
    EXPECT_EQ(parseErrorCode("<a/>&amp;"), ParseError::TextOutsideRoot);
}

TEST(XmlDocument, TopLevelNodesKeepTheirOrder) {
    const auto document = parse("<!--one--><?first data?>\n<root/>\n<!--two--><?last?>  ");
    const auto& children = document->Children();
    ASSERT_EQ(children.size(), 5u);
    EXPECT_EQ(children[0]->Value(), "one");
    EXPECT_EQ(children[1]->NodeName(), "first");
    EXPECT_EQ(children[1]->Value(), "data");
    EXPECT_EQ(children[2].get(), &document->Root());
    EXPECT_EQ(children[3]->Kind(), AdvXMLParser::kCommentNode);
    EXPECT_EQ(children[4]->NodeName(), "last");
    EXPECT_EQ(children[4]->Value(), "");
}

TEST(XmlDocument, TextEndsAtTheFirstNulByte) {
    const std::string text("<a/>\0garbage <<<", 16);
    EXPECT_EQ(parse(text)->Root().NodeName(), "a");
    const std::string cut("<a>\0</a>", 8);
    EXPECT_EQ(parseErrorCode(cut), ParseError::UnexpectedEnd);
}

TEST(XmlDocument, LengthBoundsTheTextWithoutATerminator) {
    const char buffer[] = {'<', 'a', '/', '>', '<', 'b', '/', '>'};
    EXPECT_EQ(AdvXMLParser::Parse(buffer, 4)->Root().NodeName(), "a");
    EXPECT_THROW(AdvXMLParser::Parse(buffer, 3), AdvXMLParser::ParsingException);
    EXPECT_THROW(AdvXMLParser::Parse(nullptr, 0), AdvXMLParser::ParsingException);
}

TEST(XmlDocument, Utf8ByteOrderMarkIsSkipped) {
    const auto document = parse("\xEF\xBB\xBF<?xml version='1.0'?><a/>");
    EXPECT_EQ(document->Root().NodeName(), "a");
}

TEST(XmlDocument, CommentsAndInstructionsFollowTheirRules) {
    EXPECT_EQ(parseErrorCode("<a><!-- a -- b --></a>"), ParseError::Comment);
    EXPECT_EQ(parseErrorCode("<a><!-- a ---></a>"), ParseError::Comment);
    EXPECT_EQ(parseErrorCode("<a><!-- open"), ParseError::UnexpectedEnd);
    EXPECT_EQ(parseErrorCode("<a><?pi?x ?></a>"), ParseError::ProcessingInstruction);
    EXPECT_EQ(parseErrorCode("<a><? pi ?></a>"), ParseError::ProcessingInstruction);
    EXPECT_EQ(parseErrorCode("<a><?pi open"), ParseError::UnexpectedEnd);
    const auto document = parse("<a><!-- x - y --><?pi  some <data> ?></a>");
    EXPECT_EQ(child(document->Root(), 0).Value(), " x - y ");
    EXPECT_EQ(child(document->Root(), 1).NodeName(), "pi");
    EXPECT_EQ(child(document->Root(), 1).Value(), "some <data> ");
}

TEST(XmlDocument, ExceptionsDescribeThemselves) {
    const auto error = parseError("<a>\n<b></a>");
    EXPECT_EQ(error.Error(), ParseError::MismatchedEndTag);
    EXPECT_EQ(error.Code(), static_cast<int>(ParseError::MismatchedEndTag));
    EXPECT_STREQ(error.what(), "Syntax error at line(2), column(7): end tag does not match the "
                               "start tag (code 18)");
    EXPECT_STREQ(AdvXMLParser::ParseErrorText(999), "unknown error");
}

}  // namespace
}  // namespace vesta::xmltest
