#include <gtest/gtest.h>

#include <string>

#include "formats/XmlDocument.h"

namespace quillora {
namespace {

constexpr char16_t kItems[] =
    u"<r><item a='1'/><Item a='2'/><itemx a='3'/><item a='4'><sub a='5'/></item></r>";

struct FindCase {
    const char* label;
    const char16_t* name;
    int flags;
    bool found;
    std::u16string a;  // attribute a of the element found
};

class FindElementTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindElementTest, AppliesNameRules) {
    XmlDocument doc(kItems);
    doc.SetFlags(GetParam().flags);
    ASSERT_TRUE(doc.FindElement(u"r"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.FindElement(GetParam().name), GetParam().found);
    EXPECT_EQ(doc.GetAttribute(u"a"), GetParam().a);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FindElementTest,
    testing::Values(FindCase{"Exact", u"item", 0, true, u"1"},
                    FindCase{"CaseMatters", u"Item", 0, true, u"2"},
                    FindCase{"IgnoreCaseFlag", u"ITEM", kXmlIgnoreCase, true, u"1"},
                    FindCase{"UpperWithoutFlag", u"ITEM", 0, false, u""},
                    FindCase{"FullNameCompared", u"ite", 0, false, u""},
                    FindCase{"LongerName", u"itemx", 0, true, u"3"},
                    FindCase{"CutAtBracket", u"itemx[2]", 0, true, u"3"},
                    FindCase{"CutAtBlank", u"Item a", 0, true, u"2"},
                    FindCase{"CutAtEquals", u"itemx=1", 0, true, u"3"},
                    FindCase{"CutAtSlash", u"Item/sub", 0, true, u"2"},
                    FindCase{"CutAtClosingBracket", u"Item]", 0, true, u"2"},
                    FindCase{"LeadingSlashFindsNothing", u"/item", 0, false, u""},
                    FindCase{"EmptyMatchesAny", u"", 0, true, u"1"},
                    FindCase{"NullMatchesAny", nullptr, 0, true, u"1"},
                    FindCase{"ChildrenAreNotSearched", u"sub", 0, false, u""}),
    [](const testing::TestParamInfo<FindCase>& info) { return info.param.label; });

TEST(Navigation, FindElementSearchesForwardFromTheCurrentElement) {
    XmlDocument doc(kItems);
    ASSERT_TRUE(doc.FindElement(u"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"item"));
    ASSERT_TRUE(doc.FindElement(u"item"));
    EXPECT_EQ(doc.GetAttribute(u"a"), u"4");
    // No further match: the cursor stays where it is.
    EXPECT_FALSE(doc.FindElement(u"item"));
    EXPECT_EQ(doc.GetAttribute(u"a"), u"4");
    EXPECT_FALSE(doc.FindElement(u"Item"));
}

TEST(Navigation, EnterAndLeaveMoveTheCursor) {
    XmlDocument doc(kItems);
    EXPECT_FALSE(doc.EnterElement());  // no current element yet
    EXPECT_FALSE(doc.LeaveElement());  // already at the document
    ASSERT_TRUE(doc.FindElement(u"r"));
    EXPECT_FALSE(doc.LeaveElement());
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.CurrentNodeType(), XmlNodeType::None);
    EXPECT_EQ(doc.GetAttribute(u"a"), u"");
    ASSERT_TRUE(doc.FindElement(u"itemx"));
    const int itemx = doc.CurrentElement();
    const int r = doc.ParentElement();
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.CurrentElement(), r);
    EXPECT_EQ(doc.ChildElement(), itemx);
    EXPECT_EQ(doc.ParentElement(), 0);
    EXPECT_EQ(doc.GetTagName(), u"r");
    // Entering again returns to the element we left, and searching goes on after it.
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.CurrentElement(), itemx);
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute(u"a"), u"4");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"sub"));
    EXPECT_EQ(doc.GetAttribute(u"a"), u"5");
    EXPECT_EQ(doc.Element(doc.CurrentElement()).level, 3);
}

TEST(Navigation, ParseResetsTheCursor) {
    XmlDocument doc(kItems);
    ASSERT_TRUE(doc.FindElement(u"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"Item"));
    ASSERT_TRUE(doc.Parse());
    EXPECT_EQ(doc.CurrentElement(), 0);
    EXPECT_EQ(doc.ParentElement(), 0);
    EXPECT_EQ(doc.ChildElement(), 0);
    EXPECT_TRUE(doc.FindElement(u"r"));
}

struct AttributeCase {
    const char* label;
    std::u16string text;
    std::u16string name;
    std::u16string value;
};

class GetAttributeTest : public testing::TestWithParam<AttributeCase> {};

TEST_P(GetAttributeTest, ReadsValue) {
    XmlDocument doc(GetParam().text);
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute(GetParam().name), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    StartTags, GetAttributeTest,
    testing::Values(AttributeCase{"DoubleQuotes", u"<a x=\"1\"/>", u"x", u"1"},
                    AttributeCase{"SingleQuotes", u"<a x='it is'/>", u"x", u"it is"},
                    AttributeCase{"Unquoted", u"<a x=12 y=3></a>", u"x", u"12"},
                    AttributeCase{"BlanksAroundEquals", u"<a x = \"1\" />", u"x", u"1"},
                    AttributeCase{"SecondAttribute", u"<a xy='1' x='2'/>", u"x", u"2"},
                    AttributeCase{"FirstOfTwoWins", u"<a x='1' x='2'/>", u"x", u"1"},
                    AttributeCase{"GreaterThanInValue", u"<a x='a>b' y='c'/>", u"y", u"c"},
                    AttributeCase{"OtherQuoteInside", u"<a x=\"it's\"/>", u"x", u"it's"},
                    AttributeCase{"Unescaped", u"<a x='&lt;&#x41;&amp;lt;'/>", u"x", u"<A&lt;"},
                    AttributeCase{"Missing", u"<a x='1'/>", u"y", u""},
                    AttributeCase{"NameIsCaseSensitive", u"<a X='1'/>", u"x", u""},
                    AttributeCase{"EmptyValue", u"<a x=''/>", u"x", u""},
                    AttributeCase{"NoValue", u"<a x y='2'/>", u"y", u"2"},
                    AttributeCase{"NotInContent", u"<a>x='1'</a>", u"x", u""},
                    AttributeCase{"Tabs", u"<a\tx='1'\r\ny='2'/>", u"y", u"2"}),
    [](const testing::TestParamInfo<AttributeCase>& info) { return info.param.label; });

TEST(Navigation, IgnoreCaseFlagAppliesToAttributeNames) {
    XmlDocument doc(u"<a Mode='3'/>");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute(u"mode"), u"");
    doc.SetFlags(kXmlIgnoreCase);
    EXPECT_EQ(doc.GetAttribute(u"mode"), u"3");
    ASSERT_TRUE(doc.SetAttribute(u"MODE", u"4"));
    EXPECT_EQ(doc.Text(), u"<a Mode=\"4\"/>");
}

TEST(Navigation, GetAttributeWithoutCurrentElementIsEmpty) {
    XmlDocument doc(u"<a x='1'/>");
    EXPECT_EQ(doc.GetAttribute(u"x"), u"");
    EXPECT_EQ(doc.GetTagName(), u"");
}

}  // namespace
}  // namespace quillora
