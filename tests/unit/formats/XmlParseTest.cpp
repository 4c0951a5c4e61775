#include <gtest/gtest.h>

#include <string>

#include "XmlTestSupport.h"
#include "formats/XmlDocument.h"
#include "formats/XmlResultLog.h"

namespace quillora {
namespace {

using test::DumpIndex;

struct ParseCase {
    const char* name;
    std::u16string text;
    bool wellFormed;
    std::u16string log;
};

class ParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, ReportsWellFormednessAndLog) {
    XmlDocument doc;
    EXPECT_EQ(doc.SetText(GetParam().text), GetParam().wellFormed);
    EXPECT_EQ(doc.Result(), GetParam().log);
    // Parsing again gives the same index and verdict.
    const std::string index = DumpIndex(doc);
    EXPECT_EQ(doc.Parse(), GetParam().wellFormed);
    EXPECT_EQ(DumpIndex(doc), index);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, ParseTest,
    testing::Values(
        ParseCase{"Empty", u"", false, u""}, ParseCase{"EmptyElement", u"<a/>", true, u""},
        ParseCase{"StartAndEnd", u"<a></a>", true, u""},
        ParseCase{"Prolog", u"<?xml version=\"1.0\"?>\r\n<!-- c --><!DOCTYPE a><a/>\r\n", true,
                  u""},
        ParseCase{"MarkupInsideNodes",
                  u"<a><!-- <b> --><![CDATA[<c>]]><?p <d>?>text &amp; more</a>", true, u""},
        ParseCase{"QuotedGreaterThan", u"<a x='>' y=\"/>\"></a>", true, u""},
        ParseCase{"QuoteNotAfterEquals", u"<a b\"c>d\"></a>", true, u""},
        ParseCase{"InternalSubset",
                  u"<!DOCTYPE a [<!ELEMENT a ANY><!ATTLIST a x CDATA \"v>\"><!ENTITY e 'x'>"
                  u"<!NOTATION n SYSTEM 'n'>]><a/>",
                  true, u""},
        ParseCase{"NonAsciiName", u"<\u00E9l\u00E9ment/>", true, u""},
        ParseCase{"Unended", u"<a><b></a>", false,
                  u"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>"},
        ParseCase{"LoneEndTag", u"</x>", false,
                  u"<lone_end_tag tagname=\"x\" offset=\"0\"/><no_root_element/>"},
        ParseCase{"LoneEndTagInside", u"<a></x></a>", false,
                  u"<lone_end_tag tagname=\"x\" offset=\"3\"/>"},
        ParseCase{"RootSibling", u"<a/><b/>", false, u"<root_has_sibling/>"},
        ParseCase{"TextOnly", u"just text", false, u"<no_root_element/>"},
        ParseCase{"UnendedAtEnd", u"<a><b/>", false,
                  u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"7\"/>"
                  u"<root_has_sibling/>"},
        ParseCase{"UnquotedSlashIsNotEmpty", u"<a x=1/>", false,
                  u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"8\"/>"},
        ParseCase{"FirstTagSyntax", u"<a>< b</a>", false, u"<first_tag_syntax offset=\"3\"/>"},
        ParseCase{"ExclamationSyntax", u"<a><!x></a>", false,
                  u"<exclamation_tag_syntax offset=\"3\"/>"},
        ParseCase{"CommentSyntax", u"<a><!-x--></a>", false, u"<comment_tag_syntax offset=\"3\"/>"},
        ParseCase{"CdataSyntax", u"<a><![X[]]></a>", false,
                  u"<cdata_section_syntax offset=\"3\"/>"},
        ParseCase{"DoctypeSyntax", u"<!DOCTYPE a [<?p?>]><a/>", false,
                  u"<doctype_tag_syntax offset=\"0\"/>"},
        ParseCase{"UnterminatedStartTag", u"<a x='>", false,
                  u"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>"},
        ParseCase{"UnterminatedEndTag", u"<a></a", false,
                  u"<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"/>"
                  u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>"},
        ParseCase{"UnterminatedComment", u"<a/><!-- x", false,
                  u"<unterminated_tag_syntax type=\"comment\" offset=\"4\"/>"},
        ParseCase{"UnterminatedCdata", u"<a/><![CDATA[x]]", false,
                  u"<unterminated_tag_syntax type=\"cdata_section\" offset=\"4\"/>"},
        ParseCase{"UnterminatedPi", u"<a/><?pi ?", false,
                  u"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"4\"/>"},
        ParseCase{"UnterminatedDoctype", u"<a/><!DOCTYPE a [<!ELEMENT a>", false,
                  u"<unterminated_tag_syntax type=\"document_type\" offset=\"4\"/>"},
        ParseCase{"UnterminatedTag", u"<a/><", false,
                  u"<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>"},
        ParseCase{"UnterminatedBang", u"<a/><!", false,
                  u"<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>"}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(ParseIndex, RecordsOffsetsLengthsLevelsAndLinks) {
    XmlDocument doc(u"<r>\r\n<a x=\"1\"/>\r\n<b><c/></b>\r\n</r>");
    EXPECT_EQ(DumpIndex(doc),
              "doc 34\n"
              "0 34 3 4 L1 f1 <r\n"
              "5 10 10 0 L2 f1 <a\n"
              "17 11 3 4 L2 f0 <b\n"
              "20 4 4 0 L3 f1 <c\n");
    EXPECT_EQ(doc.ElementCount(), 5);
}

TEST(ParseIndex, UnendedElementHandsItsChildrenToItsParent) {
    XmlDocument doc(u"<r><a><b/><c><d/></c></r>");
    EXPECT_EQ(DumpIndex(doc),
              "doc 25\n"
              "0 25 3 4 L1 f1 <r\n"
              "3 3 3 0 L2 f3 <a\n"  // first child, unended
              "6 4 4 0 L2 f0 <b\n"
              "10 11 3 4 L2 f0 <c\n"
              "13 4 4 0 L3 f1 <d\n");
    EXPECT_EQ(doc.Result(), u"<unended_start_tag tagname=\"a\" offset=\"3\" offset2=\"21\"/>");
}

TEST(ParseIndex, NestedUnendedElementsAllMoveToTheMatchingElement) {
    XmlDocument doc(u"<r><a><b><c/></r><z/>");
    EXPECT_EQ(DumpIndex(doc),
              "doc 21\n"
              "0 17 3 4 L1 f1 <r\n"
              "3 3 3 0 L2 f3 <a\n"
              "6 3 3 0 L2 f2 <b\n"
              "9 4 4 0 L2 f0 <c\n"
              "17 4 4 0 L1 f0 <z\n");
}

TEST(ParseIndex, MillionUnendedElementsParseInLinearTime) {
    // Quadratic closing (moving children one level per enclosing element) would not
    // finish here; linear closing takes a fraction of a second.
    std::u16string text;
    for (int i = 0; i < 1000000; ++i) {
        text += u"<a>";
    }
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(text));
    EXPECT_EQ(doc.ElementCount(), 1000001);
    int count = 0;
    bool flat = true;
    for (int e = doc.Element(0).firstChild; e != 0; e = doc.Element(e).nextSibling) {
        flat = flat && doc.Element(e).level == 1 && doc.Element(e).firstChild == 0 &&
               doc.Element(e).length == 3;
        ++count;
    }
    EXPECT_EQ(count, 1000000);
    EXPECT_TRUE(flat);
}

TEST(ParseIndex, ManyLoneEndTagsParseInLinearTime) {
    std::u16string text = u"<r>";
    for (int i = 0; i < 100000; ++i) {
        text += u"<a>";
    }
    for (int i = 0; i < 100000; ++i) {
        text += u"</x>";
    }
    text += u"</r>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(text));
    const ElementRecord& root = doc.Element(doc.Element(0).firstChild);
    EXPECT_EQ(root.length, static_cast<int>(text.size()));
    EXPECT_EQ(root.nextSibling, 0);
}

TEST(ResultLog, StopsGrowingPastItsLimit) {
    std::u16string text = u"<a>";
    for (int i = 0; i < 100; ++i) {
        text += u"</x>";
    }
    text += u"</a>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(text));
    const std::u16string& log = doc.Result();
    const std::u16string entry = u"<lone_end_tag tagname=\"x\" offset=\"";
    EXPECT_GT(log.size(), kResultLogLimit);
    EXPECT_LT(log.size(), kResultLogLimit + 40);
    EXPECT_EQ(log.substr(log.size() - 2), u"/>");
    EXPECT_EQ(log.substr(0, entry.size()), entry);
}

TEST(ResultLog, FormatsEntries) {
    std::u16string log;
    AddResult(log, u"bom");
    AddResult(log, u"read", u"encoding", u"a\"b", {{u"length", 3}});
    AddResult(log, u"unended_start_tag", u"tagname", u"x", {{u"offset", 1}, {u"offset2", 2}});
    AddResult(log, u"nulls_removed", {{u"count", 4}});
    EXPECT_EQ(log,
              u"<bom/><read encoding=\"a&quot;b\" length=\"3\"/>"
              u"<unended_start_tag tagname=\"x\" offset=\"1\" offset2=\"2\"/>"
              u"<nulls_removed count=\"4\"/>");
}

}  // namespace
}  // namespace quillora
