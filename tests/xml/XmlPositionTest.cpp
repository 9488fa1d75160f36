// Where errors are reported, and how line ends are read.

#include "XmlTestSupport.h"

namespace vesta::xmltest {
namespace {

using AdvXMLParser::ParseError;

struct Position {
    int line;
    int column;
};

Position errorPosition(std::string_view text) {
    const auto error = parseError(text);
    return {error.Line(), error.Column()};
}

// The column is 1 before the first character of the text but 0 after a line feed, and
// each character read adds one; the place is after the last character read.
TEST(XmlPosition, ColumnsCountFromOneOnTheFirstLineAndZeroAfterALineFeed) {
    EXPECT_EQ(errorPosition("<a>&#200;</a>").line, 1);
    EXPECT_EQ(errorPosition("<a>&#200;</a>").column, 10);  // 9 characters read
    EXPECT_EQ(errorPosition("<a>\n&#200;</a>").line, 2);
    EXPECT_EQ(errorPosition("<a>\n&#200;</a>").column, 6);
    EXPECT_EQ(errorPosition("<a>\n\n\n  <b></c>").line, 4);
    EXPECT_EQ(errorPosition("<a>\n\n\n  <b></c>").column, 9);
}

TEST(XmlPosition, TheOffendingCharacterCountsAsRead) {
    const Position position = errorPosition("<a b='1'c='2'/>");
    EXPECT_EQ(position.column, 10);  // after the "c"
    EXPECT_EQ(errorPosition("<a>\n\x01</a>").column, 1);
}

TEST(XmlPosition, EndOfTextIsReportedAfterTheLastCharacter) {
    EXPECT_EQ(errorPosition("   ").column, 4);
    EXPECT_EQ(errorPosition("<a>\n  <b>").line, 2);
    EXPECT_EQ(errorPosition("<a>\n  <b>").column, 5);
    EXPECT_EQ(errorPosition("<a>\n").column, 0);
}

TEST(XmlPosition, CarriageReturnsCountAsLineFeeds) {
    EXPECT_EQ(errorPosition("<a>\r\n\r\n<b></c>").line, 3);
    EXPECT_EQ(errorPosition("<a>\r\n\r\n<b></c>").column, 7);
    EXPECT_EQ(errorPosition("<a>\r\r<b></c>").line, 3);
    EXPECT_EQ(errorPosition("<a>\r\r<b></c>").column, 7);
    EXPECT_EQ(errorPosition("<a>\n\r<b></c>").line, 3);
}

TEST(XmlPosition, ErrorsInsideAnEntityPointAfterItsReference) {
    const Position position = errorPosition("<!DOCTYPE a [<!ENTITY e '&#60;b'>]>\n<a> &e; </a>");
    EXPECT_EQ(position.line, 2);
    EXPECT_EQ(position.column, 7);
}

TEST(XmlLineEnds, CarriageReturnsReadAsLineFeedsInValues) {
    const auto document = parse("<a>one\r\ntwo\rthree\n\rfour<![CDATA[x\r\ny]]><?p a\r\nb?></a>");
    const auto& root = document->Root();
    EXPECT_EQ(child(root, 0).Value(), "one\ntwo\nthree\n\nfour");
    EXPECT_EQ(child(root, 1).Value(), "x\ny");
    EXPECT_EQ(child(root, 2).Value(), "a\nb");
    // A character reference is a real carriage return, not a line end.
    EXPECT_EQ(parse("<a>x&#13;y</a>")->Root().FindNode("#text", 0, 3)->Value(), "x\ry");
}

}  // namespace
}  // namespace vesta::xmltest
