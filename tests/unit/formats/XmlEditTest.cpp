#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "XmlTestSupport.h"
#include "formats/XmlDocument.h"

namespace quillora {
namespace {

using test::DumpIndex;
using test::DumpReparsed;

// Goes down the path: FindElement of each name then EnterElement, except that the last
// name is only found (an empty last name leaves the cursor inside, with no current).
void Navigate(XmlDocument& doc, const std::vector<std::u16string>& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i].empty()) {
            continue;
        }
        ASSERT_TRUE(doc.FindElement(path[i])) << testing::PrintToString(path[i]);
        if (i + 1 < path.size()) {
            ASSERT_TRUE(doc.EnterElement());
        }
    }
}

struct AddCase {
    const char* label;
    std::u16string text;
    std::vector<std::u16string> path;
    std::u16string expected;
};

class AddElementTest : public testing::TestWithParam<AddCase> {};

TEST_P(AddElementTest, SplicesElementAndKeepsIndex) {
    const AddCase& c = GetParam();
    XmlDocument doc(c.text);
    Navigate(doc, c.path);
    ASSERT_TRUE(doc.AddElement(u"n"));
    EXPECT_EQ(doc.Text(), c.expected);
    EXPECT_EQ(doc.GetTagName(), u"n");
    EXPECT_EQ(DumpIndex(doc), DumpReparsed(doc));
    // The new element is current, so attributes go into its tag.
    ASSERT_TRUE(doc.SetAttribute(u"k", u"v"));
    EXPECT_EQ(doc.GetAttribute(u"k"), u"v");
    EXPECT_EQ(DumpIndex(doc), DumpReparsed(doc));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AddElementTest,
    testing::Values(
        AddCase{"IntoEmptyDocument", u"", {}, u"<n/>\r\n"},
        AddCase{"AtDocumentEnd",
                u"<?xml version=\"1.0\"?>\r\n",
                {},
                u"<?xml version=\"1.0\"?>\r\n<n/>\r\n"},
        AddCase{"EmptyParentRewritten",
                u"<r><p/></r>",
                {u"r", u"p", u""},
                u"<r><p>\r\n<n/>\r\n</p></r>"},
        AddCase{"EmptyParentWithAttributes",
                u"<r><p a=\"1\" /></r>",
                {u"r", u"p", u""},
                u"<r><p a=\"1\" >\r\n<n/>\r\n</p></r>"},
        AddCase{"EmptyRoot", u"<root/>\r\n", {u"root", u""}, u"<root>\r\n<n/>\r\n</root>\r\n"},
        AddCase{"ParentWithNothingBetween",
                u"<r><p></p></r>",
                {u"r", u"p", u""},
                u"<r><p>\r\n<n/>\r\n</p></r>"},
        AddCase{"LastChildBeforeEndTag",
                u"<r><p>\r\n<x/>\r\n</p></r>",
                {u"r", u"p", u""},
                u"<r><p>\r\n<x/>\r\n<n/>\r\n</p></r>"},
        AddCase{"LastChildAfterText",
                u"<r><p>text</p></r>",
                {u"r", u"p", u""},
                u"<r><p>text<n/>\r\n</p></r>"},
        AddCase{"AfterCurrentAndItsBlanks",
                u"<r><a/> \r\n<b/></r>",
                {u"r", u"a"},
                u"<r><a/> \r\n<n/>\r\n<b/></r>"},
        AddCase{"AfterCurrentBeforeText",
                u"<r><a/> x<b/></r>",
                {u"r", u"a"},
                u"<r><a/><n/>\r\n x<b/></r>"},
        AddCase{"AfterCurrentAtTextEnd", u"<r/>\r\n", {u"r"}, u"<r/>\r\n<n/>\r\n"},
        AddCase{"AfterElementWithChildren",
                u"<r><a><b/></a>\r\n<c/></r>",
                {u"r", u"a"},
                u"<r><a><b/></a>\r\n<n/>\r\n<c/></r>"}),
    [](const testing::TestParamInfo<AddCase>& info) { return info.param.label; });

struct SetCase {
    const char* label;
    std::u16string text;
    std::u16string name;
    std::u16string value;
    std::u16string expected;
};

class SetAttributeTest : public testing::TestWithParam<SetCase> {};

TEST_P(SetAttributeTest, WritesValueInDoubleQuotes) {
    const SetCase& c = GetParam();
    XmlDocument doc(c.text);
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.SetAttribute(c.name, c.value));
    EXPECT_EQ(doc.Text(), c.expected);
    EXPECT_EQ(doc.GetAttribute(c.name), c.value);
    EXPECT_EQ(DumpIndex(doc), DumpReparsed(doc));
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetAttributeTest,
    testing::Values(
        SetCase{"NewInEmptyTag", u"<a/>", u"x", u"1", u"<a x=\"1\"/>"},
        SetCase{"NewInStartTag", u"<a></a>", u"x", u"1", u"<a x=\"1\"></a>"},
        SetCase{"NewAfterOthers", u"<a y='2'><b/></a>", u"x", u"1", u"<a y='2' x=\"1\"><b/></a>"},
        SetCase{"ReplacesSingleQuoted", u"<a x='old' y='2'/>", u"x", u"new",
                u"<a x=\"new\" y='2'/>"},
        SetCase{"ReplacesUnquoted", u"<a x=old y=2></a>", u"x", u"", u"<a x=\"\" y=2></a>"},
        SetCase{"ShorterValue", u"<a x=\"long value\"><b/></a>", u"x", u"s",
                u"<a x=\"s\"><b/></a>"},
        SetCase{"GivesValueToBareName", u"<a checked></a>", u"checked", u"yes",
                u"<a checked=\"yes\"></a>"},
        SetCase{"AllFiveMarkupCharacters", u"<a/>", u"x", u"<&>'\"",
                u"<a x=\"&lt;&amp;&gt;&apos;&quot;\"/>"},
        SetCase{"NonAscii", u"<a/>", u"x", u"\u00E9\U0001F600", u"<a x=\"\u00E9\U0001F600\"/>"}),
    [](const testing::TestParamInfo<SetCase>& info) { return info.param.label; });

TEST(SetAttribute, IntegerIsWrittenInDecimal) {
    XmlDocument doc(u"<a/>");
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.SetAttribute(u"n", int64_t{-42}));
    ASSERT_TRUE(doc.SetAttribute(u"m", int64_t{1} << 40));
    EXPECT_EQ(doc.Text(), u"<a n=\"-42\" m=\"1099511627776\"/>");
}

TEST(SetAttribute, RefusedWithoutCurrentElement) {
    XmlDocument doc(u"<a/>");
    EXPECT_FALSE(doc.SetAttribute(u"x", u"1"));
    EXPECT_EQ(doc.Text(), u"<a/>");
}

constexpr char16_t kNested[] =
    u"<r>\r\n<a x=\"1\"><b y=\"2\"/><c z=\"3\"/></a>\r\n<d w=\"4\"><e v=\"5\"/></d>\r\n</r>\r\n";

TEST(EditPatching, LaterAndEnclosingElementsFollowAnAttributeEdit) {
    for (const std::u16string value : {u"a much longer value than before", u""}) {
        XmlDocument doc(kNested);
        Navigate(doc, {u"r", u"a", u"b"});
        ASSERT_TRUE(doc.SetAttribute(u"y", value));
        ASSERT_TRUE(doc.LeaveElement());  // a
        ASSERT_TRUE(doc.LeaveElement());  // r
        EXPECT_EQ(doc.Element(doc.CurrentElement()).length,
                  static_cast<int>(doc.Text().size()) - 2);
        ASSERT_TRUE(doc.EnterElement());  // back at a
        EXPECT_EQ(doc.GetAttribute(u"x"), u"1");
        ASSERT_TRUE(doc.EnterElement());
        ASSERT_TRUE(doc.FindElement(u"b"));
        EXPECT_EQ(doc.GetAttribute(u"y"), value);
        ASSERT_TRUE(doc.FindElement(u"c"));
        EXPECT_EQ(doc.GetAttribute(u"z"), u"3");
        ASSERT_TRUE(doc.LeaveElement());
        ASSERT_TRUE(doc.FindElement(u"d"));
        EXPECT_EQ(doc.GetAttribute(u"w"), u"4");
        ASSERT_TRUE(doc.EnterElement());
        ASSERT_TRUE(doc.FindElement(u"e"));
        EXPECT_EQ(doc.GetAttribute(u"v"), u"5");
        EXPECT_EQ(DumpIndex(doc), DumpReparsed(doc));
    }
}

TEST(EditPatching, LaterAndEnclosingElementsFollowAnInsertedElement) {
    XmlDocument doc(kNested);
    Navigate(doc, {u"r", u"a", u"b"});
    ASSERT_TRUE(doc.AddElement(u"new"));
    ASSERT_TRUE(doc.SetAttribute(u"q", u"9"));
    ASSERT_TRUE(doc.FindElement(u"c"));
    EXPECT_EQ(doc.GetAttribute(u"z"), u"3");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.SetAttribute(u"x", u"11"));  // enclosing element, before the insert
    ASSERT_TRUE(doc.FindElement(u"d"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"e"));
    EXPECT_EQ(doc.GetAttribute(u"v"), u"5");
    EXPECT_EQ(doc.Text(),
              u"<r>\r\n<a x=\"11\"><b y=\"2\"/><new q=\"9\"/>\r\n<c z=\"3\"/></a>\r\n"
              u"<d w=\"4\"><e v=\"5\"/></d>\r\n</r>\r\n");
    EXPECT_EQ(DumpIndex(doc), DumpReparsed(doc));
}

TEST(EditPatching, RandomEditsKeepTheIndexEqualToAFreshParse) {
    std::mt19937 random(20261211);
    const std::u16string names[] = {u"a", u"bb", u"item_with_long_name"};
    const std::u16string values[] = {u"", u"1", u"<&>'\"", u"long value with blanks",
                                     u"\u00E9\U0001F600"};
    XmlDocument doc(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<root/>\r\n");
    ASSERT_TRUE(doc.FindElement(u"root"));
    ASSERT_TRUE(doc.EnterElement());
    for (int step = 0; step < 600; ++step) {
        switch (random() % 6) {
            case 0:
            case 1:
                doc.AddElement(names[random() % 3]);
                break;
            case 2:
                if (doc.CurrentElement() != 0) {
                    const std::u16string& name = names[random() % 3];
                    const std::u16string& value = values[random() % 5];
                    ASSERT_TRUE(doc.SetAttribute(name, value));
                    ASSERT_EQ(doc.GetAttribute(name), value);
                }
                break;
            case 3:
                doc.EnterElement();
                break;
            case 4:
                // Stay inside the root so that the document keeps a single root.
                if (doc.ParentElement() != 0 && doc.Element(doc.ParentElement()).parent != 0) {
                    doc.LeaveElement();
                }
                break;
            default:
                doc.FindElement();
                break;
        }
        ASSERT_EQ(DumpIndex(doc), DumpReparsed(doc)) << "after step " << step;
    }
    XmlDocument fresh(doc.Text());
    EXPECT_TRUE(fresh.Parse());
}

// The export sequence the program uses for its exchange files.
std::u16string BuildExport(XmlDocument& doc) {
    doc.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(u"profile");
    doc.EnterElement();
    doc.AddElement(u"device_attr");
    doc.SetAttribute(u"name", u"M1 & \"Pro\"");
    doc.SetAttribute(u"version", 3);
    doc.AddElement(u"buttons");
    doc.EnterElement();
    doc.AddElement(u"key");
    doc.SetAttribute(u"value", 1);
    doc.AddElement(u"key");
    doc.SetAttribute(u"value", 2);
    doc.LeaveElement();
    doc.AddElement(u"light");
    doc.SetAttribute(u"mode", 0);
    return doc.Text();
}

TEST(Export, OneElementPerLineWithCrLf) {
    XmlDocument doc;
    EXPECT_EQ(BuildExport(doc),
              u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              u"<profile>\r\n"
              u"<device_attr name=\"M1 &amp; &quot;Pro&quot;\" version=\"3\"/>\r\n"
              u"<buttons>\r\n"
              u"<key value=\"1\"/>\r\n"
              u"<key value=\"2\"/>\r\n"
              u"</buttons>\r\n"
              u"<light mode=\"0\"/>\r\n"
              u"</profile>\r\n");
    EXPECT_EQ(DumpIndex(doc), DumpReparsed(doc));
    XmlDocument reread(doc.Text());
    EXPECT_TRUE(reread.Parse());
    ASSERT_TRUE(reread.FindElement(u"profile"));
    ASSERT_TRUE(reread.EnterElement());
    ASSERT_TRUE(reread.FindElement(u"device_attr"));
    EXPECT_EQ(reread.GetAttribute(u"name"), u"M1 & \"Pro\"");
}

}  // namespace
}  // namespace quillora
