// <!DOCTYPE> and the declarations of its internal subset.

#include "XmlTestSupport.h"

namespace vesta::xmltest {
namespace {

using AdvXMLParser::ParseError;

std::unique_ptr<AdvXMLParser::XmlDocument> withSubset(const std::string& subset,
                                                      const std::string& root = "<a/>") {
    return parse("<!DOCTYPE a [" + subset + "]>" + root);
}

ParseError subsetError(const std::string& subset) {
    return parseErrorCode("<!DOCTYPE a [" + subset + "]><a/>");
}

TEST(XmlDocumentType, NameAndExternalIdentifierAreKept) {
    const auto system = parse("<!DOCTYPE root SYSTEM 'root.dtd'><root/>");
    EXPECT_TRUE(system->HasDocumentType());
    EXPECT_EQ(system->DocumentType().Name(), "root");
    EXPECT_EQ(system->DocumentType().SystemId(), "root.dtd");
    const auto pub = parse("<!DOCTYPE root PUBLIC \"-//Vesta//DTD x 1.0//EN\" 'x.dtd' [ ]><root/>");
    EXPECT_EQ(pub->DocumentType().PublicId(), "-//Vesta//DTD x 1.0//EN");
    EXPECT_EQ(pub->DocumentType().SystemId(), "x.dtd");
    EXPECT_FALSE(parse("<a/>")->HasDocumentType());
}

TEST(XmlDocumentType, IsAllowedOnceAndOnlyBeforeTheRoot) {
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a><!DOCTYPE a><a/>"), ParseError::MisplacedDocumentType);
    EXPECT_EQ(parseErrorCode("<a/><!DOCTYPE a>"), ParseError::MisplacedDocumentType);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a PUBLIC 'only-public'><a/>"), ParseError::DocumentType);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a PUBLIC 'bad{char' 's'><a/>"), ParseError::DocumentType);
    EXPECT_EQ(parseErrorCode("<!DOCTYPE a [<!ELEMENT a ANY>"), ParseError::UnexpectedEnd);
}

TEST(XmlDocumentType, ElementDeclarationsOfEveryForm) {
    const auto document =
        withSubset("<!ELEMENT a EMPTY><!ELEMENT b ANY><!ELEMENT c (#PCDATA)><!ELEMENT d (#PCDATA)*>"
                   "<!ELEMENT e (#PCDATA|x|y)*><!ELEMENT f (x)><!ELEMENT g (x,y?,(z|w)*)+>"
                   "<!ELEMENT h ( x | y | ( z , w ) )>");
    EXPECT_EQ(document->Root().NodeName(), "a");
    for (const char* bad :
         {"<!ELEMENT a>", "<!ELEMENT a EMPTY ANY>", "<!ELEMENT a (x,y|z)>",
          "<!ELEMENT a (#PCDATA|x)>", "<!ELEMENT a (x|#PCDATA)>", "<!ELEMENT a (x) *>",
          "<!ELEMENT a ()>", "<!ELEMENT a (x,)>", "<!ELEMENTa ANY>", "<!ELEMENT a empty>"}) {
        EXPECT_EQ(subsetError(bad), ParseError::MarkupDeclaration) << bad;
    }
}

TEST(XmlDocumentType, AttributeListsGiveDefaultsAndTokenValues) {
    const auto document =
        withSubset("<!ATTLIST a kind CDATA 'plain'  id ID #IMPLIED  list NMTOKENS '  x   y  '"
                   "  size (small|big) \"big\"  fixed CDATA #FIXED ' f '  need CDATA #REQUIRED"
                   "  n NOTATION (gif) #IMPLIED><!ATTLIST a kind CDATA 'second'>",
                   "<a id='  i1 ' need='r'/>");
    const auto& root = document->Root();
    EXPECT_EQ(root.FindAttribute("kind").Value(), "plain");
    EXPECT_EQ(root.FindAttribute("id").Value(), "i1");
    EXPECT_EQ(root.FindAttribute("list").Value(), "x y");
    EXPECT_EQ(root.FindAttribute("size").Value(), "big");
    EXPECT_EQ(root.FindAttribute("fixed").Value(), " f ");
    EXPECT_EQ(&root.FindAttribute("n"), &AdvXMLParser::NullAttribute());
    EXPECT_EQ(root.Attributes().size(), 6u);
    for (const char* bad :
         {"<!ATTLIST a x CDATA>", "<!ATTLIST a x STRING #IMPLIED>", "<!ATTLIST a x (a b) #IMPLIED>",
          "<!ATTLIST a x CDATA #DEFAULT 'v'>", "<!ATTLIST a x CDATA 'v'y CDATA 'w'>"}) {
        EXPECT_EQ(subsetError(bad), ParseError::MarkupDeclaration) << bad;
    }
    EXPECT_EQ(subsetError("<!ATTLIST a x CDATA '<'>"), ParseError::AttributeValue);
}

TEST(XmlDocumentType, DefaultedSpacePreservationApplies) {
    const auto document =
        withSubset("<!ATTLIST a xml:space (default|preserve) 'preserve'>", "<a> </a>");
    EXPECT_TRUE(document->Root().PreserveSpace());
    EXPECT_EQ(document->Root().Children().size(), 1u);
}

TEST(XmlDocumentType, EntityAndNotationDeclarationsAreKept) {
    const auto document = withSubset(
        "<!ENTITY % pe 'p'><!ENTITY g \"v&#65;&other;\"><!ENTITY u SYSTEM 'u.bin' NDATA bin>"
        "<!NOTATION bin PUBLIC 'binary'><!NOTATION txt SYSTEM 'text/plain'>"
        "<!NOTATION both PUBLIC 'b' 'b.sys'>");
    const auto& type = document->DocumentType();
    ASSERT_EQ(type.Entities().size(), 3u);
    EXPECT_TRUE(type.FindEntity("pe", true)->parameter);
    EXPECT_EQ(type.FindEntity("pe"), nullptr);
    EXPECT_EQ(type.FindEntity("g")->value, "vA&other;");
    EXPECT_EQ(type.FindEntity("u")->systemId, "u.bin");
    ASSERT_EQ(type.Notations().size(), 3u);
    EXPECT_EQ(type.Notations()[0].publicId, "binary");
    EXPECT_EQ(type.Notations()[2].systemId, "b.sys");
}

TEST(XmlDocumentType, MalformedEntityDeclarationsAreRejected) {
    EXPECT_EQ(subsetError("<!ENTITY e>"), ParseError::MarkupDeclaration);
    EXPECT_EQ(subsetError("<!ENTITY e 'v' extra>"), ParseError::MarkupDeclaration);
    EXPECT_EQ(subsetError("<!ENTITY %e 'v'>"), ParseError::MarkupDeclaration);
    EXPECT_EQ(subsetError("<!ENTITY % e SYSTEM 'x' NDATA n>"), ParseError::MarkupDeclaration);
    EXPECT_EQ(subsetError("<!ENTITY e 'a&b'>"), ParseError::EntityReference);
    EXPECT_EQ(subsetError("<!ENTITY e '&#200;'>"), ParseError::CharacterReference);
    EXPECT_EQ(subsetError("<!ENTITY e 'v"), ParseError::UnexpectedEnd);
    EXPECT_EQ(subsetError("<!NOTATION n>"), ParseError::MarkupDeclaration);
    EXPECT_EQ(subsetError("<!UNKNOWN x>"), ParseError::MarkupDeclaration);
    EXPECT_EQ(subsetError("<![INCLUDE[<!ELEMENT a ANY>]]>"), ParseError::MarkupDeclaration);
}

TEST(XmlDocumentType, ParameterEntitiesHoldWholeDeclarations) {
    const auto document =
        withSubset("<!ENTITY % decl \"<!ENTITY g 'from pe'><!--c-->\">%decl;", "<a>&g;</a>");
    EXPECT_EQ(document->Root().FindNode("#text", 0, AdvXMLParser::kTextNode)->Value(), "from pe");
    EXPECT_EQ(subsetError("<!ENTITY % e 'x'><!ENTITY g '%e;'>"),
              ParseError::ParameterEntityReference);
    EXPECT_EQ(subsetError("<!ENTITY % half '<!ELEMENT a'>%half; ANY>"), ParseError::EntityBoundary);
    EXPECT_EQ(subsetError("<!ENTITY % loop '%loop;'>%loop;"), ParseError::ParameterEntityReference);
    EXPECT_EQ(subsetError("<!ENTITY % e '&#37;e;'>%e;"), ParseError::RecursiveEntity);
}

TEST(XmlDocumentType, DeclarationsAfterAnUnreadParameterEntityAreIgnored) {
    const std::string subset = "<!ENTITY before 'b'><!ENTITY % ext SYSTEM 'ext.dtd'>%ext;"
                               "<!ENTITY after 'a'><!ATTLIST a d CDATA 'v'>";
    const auto document = withSubset(subset, "<a>&before;</a>");
    EXPECT_EQ(&document->Root().FindAttribute("d"), &AdvXMLParser::NullAttribute());
    EXPECT_THROW(withSubset(subset, "<a>&after;</a>"), AdvXMLParser::InvalidRefException);
    // A standalone document promises that nothing outside changes them.
    const auto standalone =
        parse("<?xml version='1.0' standalone='yes'?><!DOCTYPE a [" + subset + "]><a>&after;</a>");
    EXPECT_EQ(standalone->Root().FindAttribute("d").Value(), "v");
}

}  // namespace
}  // namespace vesta::xmltest
