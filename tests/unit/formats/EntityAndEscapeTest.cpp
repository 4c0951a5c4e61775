#include <gtest/gtest.h>

#include <string>

#include "formats/EntityTable.h"
#include "formats/XmlEscape.h"

namespace quillora {
namespace {

struct UnescapeCase {
    std::u16string in;
    std::u16string out;
};

class UnescapeTest : public testing::TestWithParam<UnescapeCase> {};

TEST_P(UnescapeTest, GivesExpectedText) {
    EXPECT_EQ(UnescapeText(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    References, UnescapeTest,
    testing::Values(
        // The five XML entities, and a reference that is itself escaped.
        UnescapeCase{u"&lt;&gt;&amp;&apos;&quot;", u"<>&'\""}, UnescapeCase{u"&amp;lt;", u"&lt;"},
        // Case pairs: the capitalised entity wins whatever case is written.
        UnescapeCase{u"&oslash;", u"\u00D8"}, UnescapeCase{u"&Oslash;", u"\u00D8"},
        UnescapeCase{u"&OSLASH;", u"\u00D8"}, UnescapeCase{u"&rarr;", u"\u21D2"},
        UnescapeCase{u"&aelig;", u"\u00C6"}, UnescapeCase{u"&thorn;", u"\u00DE"},
        UnescapeCase{u"&yuml;", u"\u0178"}, UnescapeCase{u"&dagger;", u"\u2021"},
        UnescapeCase{u"&prime;", u"\u2033"}, UnescapeCase{u"&sigma;", u"\u03A3"},
        // Entities without a case twin, one from each group.
        UnescapeCase{u"&nbsp;", u"\u00A0"}, UnescapeCase{u"&szlig;", u"\u00DF"},
        UnescapeCase{u"&sigmaf;", u"\u03C2"}, UnescapeCase{u"&thetasym;", u"\u03D1"},
        UnescapeCase{u"&hellip;", u"\u2026"}, UnescapeCase{u"&diams;", u"\u2666"},
        UnescapeCase{u"&euro;", u"\u20AC"}, UnescapeCase{u"&rlm;", u"\u200F"},
        UnescapeCase{u"&fnof;", u"\u0192"}, UnescapeCase{u"&there4;", u"\u2234"},
        UnescapeCase{u"&frac34;", u"\u00BE"}, UnescapeCase{u"&apos;", u"'"},
        // Numeric references, decimal and hexadecimal, up to nine characters.
        UnescapeCase{u"&#65;&#x41;&#x6a;", u"AAj"}, UnescapeCase{u"&#x1F600;", u"\U0001F600"},
        UnescapeCase{u"&#128512;", u"\U0001F600"}, UnescapeCase{u"&#x10FFFF;", u"\U0010FFFF"},
        UnescapeCase{u"&#01114111;", u"\U0010FFFF"},
        // Invalid references stay as written.
        UnescapeCase{u"&#0;", u"&#0;"}, UnescapeCase{u"&#xD800;", u"&#xD800;"},
        UnescapeCase{u"&#xDFFF;", u"&#xDFFF;"}, UnescapeCase{u"&#x110000;", u"&#x110000;"},
        UnescapeCase{u"&#;", u"&#;"}, UnescapeCase{u"&#x;", u"&#x;"},
        UnescapeCase{u"&#12a;", u"&#12a;"}, UnescapeCase{u"&nosuch;", u"&nosuch;"},
        UnescapeCase{u"&;", u"&;"}, UnescapeCase{u"&amp", u"&amp"},
        UnescapeCase{u"&#001114111;", u"&#001114111;"},  // ten characters: out of reach
        UnescapeCase{u"&\u00E9t;&lt;", u"&\u00E9t;<"},   // non-ASCII before ";"
        UnescapeCase{u"a & b &lt; c", u"a & b < c"},     // a lone "&" is copied
        UnescapeCase{u"&&amp;", u"&&"}, UnescapeCase{u"", u""}));

TEST(EntityTable, HoldsTheHtml4EntitiesAndApos) {
    EXPECT_EQ(EntityCount(), 253u);
    EXPECT_EQ(LookUpEntity(u"quot"), 34);
    EXPECT_EQ(LookUpEntity(u"Agrave"), 192);
    EXPECT_EQ(LookUpEntity(u"agrave"), 192);  // Agrave comes first
    EXPECT_EQ(LookUpEntity(u"omega"), 937);
    EXPECT_EQ(LookUpEntity(u"lArr"), 8656);
    EXPECT_EQ(LookUpEntity(u"crarr"), 8629);
    EXPECT_EQ(LookUpEntity(u"eth"), 208);
    EXPECT_EQ(LookUpEntity(u"alefsym"), 8501);
    EXPECT_EQ(LookUpEntity(u"loz"), 9674);
    EXPECT_EQ(LookUpEntity(u"zwnj"), 8204);
    EXPECT_EQ(LookUpEntity(u"bogus"), -1);
    EXPECT_EQ(LookUpEntity(u""), -1);
    EXPECT_EQ(LookUpEntity(u"nbs"), -1);
}

struct EscapeCase {
    std::u16string in;
    int flags;
    std::u16string out;
};

class EscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeTest, GivesExpectedText) {
    EXPECT_EQ(EscapeText(GetParam().in, GetParam().flags), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EscapeTest,
    testing::Values(EscapeCase{u"<&>'\"", kEscapeAttribute, u"&lt;&amp;&gt;&apos;&quot;"},
                    EscapeCase{u"<&>'\"", 0, u"&lt;&amp;&gt;'\""},
                    EscapeCase{u"a&amp;b&#38;&#x26;&x", kEscapeAttribute | kEscapeKeepReferences,
                               u"a&amp;b&#38;&#x26;&amp;x"},
                    EscapeCase{u"&lt &#; &#x; &1;", kEscapeKeepReferences,
                               u"&amp;lt &amp;#; &amp;#x; &amp;1;"},
                    EscapeCase{u"&amp;", 0, u"&amp;amp;"},
                    EscapeCase{u"plain \u00E9", 0, u"plain \u00E9"}));

TEST(CdataSection, SplitsEveryClosingMarker) {
    EXPECT_EQ(CdataSection(u"a]]>b"), u"<![CDATA[a]]]]><![CDATA[>b]]>");
    EXPECT_EQ(CdataSection(u"]]>]]>"), u"<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>");
    EXPECT_EQ(CdataSection(u"a]]b>"), u"<![CDATA[a]]b>]]>");
    EXPECT_EQ(CdataSection(u""), u"<![CDATA[]]>");
}

}  // namespace
}  // namespace quillora
