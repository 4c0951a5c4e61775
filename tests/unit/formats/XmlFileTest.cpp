#include <gtest/gtest.h>

#include <string>

#include "XmlTestSupport.h"
#include "formats/XmlDocument.h"
#include "formats/XmlScanner.h"

namespace quillora {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

struct LoadCase {
    const char* label;
    std::string bytes;
    std::u16string text;
    int flags;
    std::u16string log;
};

class LoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, DecodesFile) {
    const LoadCase& c = GetParam();
    TempFolder folder;
    const auto file = folder.File("in.xml");
    WriteBytes(file, c.bytes);
    XmlDocument doc;
    doc.SetFlags(kXmlUtf16BeBom | kXmlIgnoreCase);  // a stale mark bit is cleared
    ASSERT_TRUE(doc.LoadFile(file));
    EXPECT_EQ(doc.Text(), c.text);
    EXPECT_EQ(doc.Flags(), c.flags | kXmlIgnoreCase);
    EXPECT_EQ(doc.Result(), c.log);

    XmlDocument fromBytes;
    ASSERT_TRUE(fromBytes.LoadBytes(c.bytes));
    EXPECT_EQ(fromBytes.Text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, LoadTest,
    testing::Values(
        LoadCase{"Utf8Mark", "\xEF\xBB\xBF<a x='\xC3\xA9'/>", u"<a x='\u00E9'/>", kXmlUtf8Bom,
                 u"<bom/><read encoding=\"UTF-8\" length=\"11\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"10\"/>"},
        LoadCase{"Utf16LeMark", std::string("\xFF\xFE<\0a\0/\0>\0", 10), u"<a/>", kXmlUtf16LeBom,
                 u"<bom/><read encoding=\"UTF-16LE\" length=\"4\"/>"},
        LoadCase{"Utf16BeMark", std::string("\xFE\xFF\0<\0a\x00\xE9\0/\0>", 12), u"<a\u00E9/>",
                 kXmlUtf16BeBom, u"<bom/><endian_swap/><read encoding=\"UTF-16BE\" length=\"5\"/>"},
        LoadCase{"Utf16NullUnits", std::string("\xFF\xFE<\0\0\0a\0\0\0", 10), u"<a", kXmlUtf16LeBom,
                 u"<bom/><nulls_removed count=\"2\"/><read encoding=\"UTF-16LE\" length=\"2\"/>"},
        LoadCase{"Utf8ByFirstByte", "<a x='\xC3\xA9'/>", u"<a x='\u00E9'/>", 0,
                 u"<read encoding=\"UTF-8\" length=\"11\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"10\"/>"},
        LoadCase{"NullBytesRemoved", std::string("<a\0/>\0", 6), u"<a/>", 0,
                 u"<read encoding=\"UTF-8\" length=\"6\"/><nulls_removed count=\"2\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"4\"/>"},
        LoadCase{"DeclaredLatin1", "<?xml version=\"1.0\" encoding=\"latin1\"?><a x=\"\xE9\"/>",
                 u"<?xml version=\"1.0\" encoding=\"latin1\"?><a x=\"\u00E9\"/>", 0,
                 u"<read encoding=\"latin1\" length=\"49\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"49\"/>"},
        LoadCase{"DeclaredGbk", "<?xml version='1.0' encoding='gbk'?><a x='\xC4\xE3\xBA\xC3'/>",
                 u"<?xml version='1.0' encoding='gbk'?><a x='\u4F60\u597D'/>", 0,
                 u"<read encoding=\"gbk\" length=\"49\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"47\"/>"},
        LoadCase{"DeclaredShiftJis",
                 "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a x=\"\x82\xA0\"/>",
                 u"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a x=\"\u3042\"/>", 0,
                 u"<read encoding=\"Shift_JIS\" length=\"53\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"52\"/>"},
        LoadCase{"HtmlMetaCharset",
                 "<html><head><meta http-equiv=\"Content-Type\" "
                 "content=\"text/html; charset=windows-1251\"></head><b>\xC0</b></html>",
                 u"<html><head><meta http-equiv=\"Content-Type\" "
                 u"content=\"text/html; charset=windows-1251\"></head><b>\u0410</b></html>",
                 0,
                 u"<read encoding=\"windows-1251\" length=\"108\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"108\"/>"},
        LoadCase{"UndeclaredValidUtf8", " <a x='\xC3\xA9'/>", u" <a x='\u00E9'/>", 0,
                 u"<read encoding=\"\" length=\"12\"/><utf8_detection/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"11\"/>"},
        LoadCase{"UndeclaredAscii", "plain", u"plain", 0,
                 u"<read encoding=\"\" length=\"5\"/><utf8_detection/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"5\"/>"},
        LoadCase{"InvalidUtf8FallsBackToAnsi", " <a x='\xE9\x80'/>", u" <a x='\u00E9\u20AC'/>", 0,
                 u"<read encoding=\"\" length=\"12\"/><utf8_detection/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"12\"/>"},
        LoadCase{"DeclarationWithoutEncoding", "<?xml version=\"1.0\"?><a>\xC3\xA9</a>",
                 u"<?xml version=\"1.0\"?><a>\u00E9</a>", 0,
                 u"<read encoding=\"UTF-8\" length=\"30\"/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"29\"/>"},
        LoadCase{"EmptyFile", "", u"", 0,
                 u"<read encoding=\"\" length=\"0\"/><utf8_detection/>"
                 u"<converted_to encoding=\"UTF-16\" length=\"0\"/>"}),
    [](const testing::TestParamInfo<LoadCase>& info) { return info.param.label; });

struct DeclaredCase {
    const char* label;
    std::u16string text;
    std::u16string encoding;
};

class DeclaredEncodingTest : public testing::TestWithParam<DeclaredCase> {};

TEST_P(DeclaredEncodingTest, FindsDeclaration) {
    EXPECT_EQ(FindDeclaredEncoding(GetParam().text), GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, DeclaredEncodingTest,
    testing::Values(
        DeclaredCase{"XmlDeclaration", u"<?xml version=\"1.0\" encoding=\"gbk\"?><a/>", u"gbk"},
        DeclaredCase{"SingleQuotes", u"<?xml version='1.0' encoding='Shift_JIS' ?>", u"Shift_JIS"},
        DeclaredCase{"CutDeclaration", u"<?xml version=\"1.0\" encoding=\"koi8-r\"", u"koi8-r"},
        DeclaredCase{"DeclarationWithoutEncodingEndsScan",
                     u"<?xml version=\"1.0\"?><html><meta http-equiv=\"Content-Type\" "
                     u"content=\"charset=koi8-r\">",
                     u""},
        DeclaredCase{"NotAtFirstCharacter", u" <?xml version=\"1.0\" encoding=\"gbk\"?><a/>", u""},
        DeclaredCase{"HtmlMeta",
                     u"<!-- c --><html><head><meta http-equiv=\"content-type\" "
                     u"content=\"text/html;charset = koi8-r\"/></head></html>",
                     u"koi8-r"},
        DeclaredCase{"HtmlOtherMetaFirst",
                     u"<HTML><meta name=\"charset\" content=\"charset=x\">"
                     u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=cp1251\">",
                     u"cp1251"},
        DeclaredCase{"MetaAfterHead",
                     u"<html><head></head><meta http-equiv=\"Content-Type\" "
                     u"content=\"charset=koi8-r\">",
                     u""},
        DeclaredCase{"OtherFirstElement",
                     u"<root><meta http-equiv=\"Content-Type\" content=\"charset=koi8-r\"/></root>",
                     u""},
        DeclaredCase{"Nothing", u"", u""}),
    [](const testing::TestParamInfo<DeclaredCase>& info) { return info.param.label; });

TEST(LoadFile, DeclaredUtf32IsReadInWholeUnits) {
    // After the zero bytes are gone nothing sensible is left, but every unit read lies
    // inside the file: 40 bytes give 10 units, none of them a Unicode scalar value.
    const std::string bytes = "<?xml version='1.0' encoding='UTF-32'?>x";
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadBytes(bytes));
    EXPECT_EQ(doc.Text(), std::u16string(10, u'?'));
}

TEST(LoadFile, LeavesNoStaleIndexBeforeParse) {
    XmlDocument doc(u"<root><a long_attribute_name='a value that takes room'/></root>");
    ASSERT_TRUE(doc.FindElement(u"root"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"a"));
    ASSERT_TRUE(doc.LoadBytes("<b x='1'/>"));
    EXPECT_EQ(doc.CurrentElement(), 0);
    EXPECT_EQ(doc.GetAttribute(u"long_attribute_name"), u"");
    EXPECT_FALSE(doc.FindElement(u"b"));
    EXPECT_FALSE(doc.SetAttribute(u"x", u"2"));
    ASSERT_TRUE(doc.Parse());
    ASSERT_TRUE(doc.FindElement(u"b"));
    EXPECT_EQ(doc.GetAttribute(u"x"), u"1");
}

TEST(LoadFile, MissingFileIsAFileError) {
    TempFolder folder;
    XmlDocument doc(u"<old/>");
    EXPECT_FALSE(doc.LoadFile(folder.File("missing.xml")));
    EXPECT_EQ(doc.Result(), u"<file_error msg=\"No such file or directory\" n=\"2\"/>");
    EXPECT_EQ(doc.Text(), u"");
    EXPECT_EQ(doc.Flags() & (kXmlReadingFile | kXmlWritingFile), 0);
}

TEST(LoadFile, FollowedByParseAppendsParseEntries) {
    TempFolder folder;
    WriteBytes(folder.File("bad.xml"), "<a><b></a>");
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(folder.File("bad.xml")));
    EXPECT_FALSE(doc.Parse());
    EXPECT_EQ(doc.Result(),
              u"<read encoding=\"UTF-8\" length=\"10\"/>"
              u"<converted_to encoding=\"UTF-16\" length=\"10\"/>"
              u"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>");
}

struct SaveCase {
    const char* label;
    std::u16string text;
    int flags;
    std::string bytes;
    std::u16string log;
};

class SaveTest : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveTest, WritesBytesAndReadsThemBack) {
    const SaveCase& c = GetParam();
    TempFolder folder;
    const auto file = folder.File("out.xml");
    WriteBytes(file, "previous content that is longer than the new one");
    XmlDocument doc(c.text);
    doc.SetFlags(c.flags);
    ASSERT_TRUE(doc.SaveFile(file));
    EXPECT_EQ(ReadBytes(file), c.bytes);
    EXPECT_EQ(doc.Result(), c.log);
    EXPECT_EQ(doc.Flags(), c.flags);

    XmlDocument back;
    ASSERT_TRUE(back.LoadFile(file));
    EXPECT_EQ(back.Text(), c.text);
    EXPECT_EQ(back.Flags(), c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, SaveTest,
    testing::Values(
        SaveCase{"Utf8WithoutMark", u"<a x=\"\u00E9\"/>\r\n", 0, "<a x=\"\xC3\xA9\"/>\r\n",
                 u"<converted_from encoding=\"UTF-16\" length=\"12\"/>"},
        SaveCase{"Utf8Mark", u"<a/>", kXmlUtf8Bom, "\xEF\xBB\xBF<a/>",
                 u"<bom/><converted_from encoding=\"UTF-16\" length=\"4\"/>"},
        SaveCase{"Utf16LeMark", u"<a/>", kXmlUtf16LeBom, std::string("\xFF\xFE<\0a\0/\0>\0", 10),
                 u"<bom/><write encoding=\"UTF-16LE\" length=\"4\"/>"},
        SaveCase{"Utf16BeMark", u"<\u00E9/>", kXmlUtf16BeBom,
                 std::string("\xFE\xFF\0<\x00\xE9\0/\0>", 10),
                 u"<bom/><write encoding=\"UTF-16BE\" length=\"4\"/>"},
        SaveCase{"DeclaredLatin1",
                 u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"\u00E9\"/>", 0,
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"\xE9\"/>",
                 u"<converted_from encoding=\"UTF-16\" length=\"53\"/>"},
        SaveCase{"DeclaredGbk", u"<?xml version=\"1.0\" encoding=\"gbk\"?><a x=\"\u4F60\"/>", 0,
                 "<?xml version=\"1.0\" encoding=\"gbk\"?><a x=\"\xC4\xE3\"/>",
                 u"<converted_from encoding=\"UTF-16\" length=\"46\"/>"},
        SaveCase{"Empty", u"", 0, "", u"<converted_from encoding=\"UTF-16\" length=\"0\"/>"}),
    [](const testing::TestParamInfo<SaveCase>& info) { return info.param.label; });

TEST(SaveFile, UnrepresentableCharacterIsLogged) {
    TempFolder folder;
    XmlDocument doc(u"<?xml version=\"1.0\" encoding=\"latin1\"?><a x=\"\u20AC\"/>");
    ASSERT_TRUE(doc.SaveFile(folder.File("loss.xml")));
    EXPECT_EQ(ReadBytes(folder.File("loss.xml")),
              "<?xml version=\"1.0\" encoding=\"latin1\"?><a x=\"?\"/>");
    EXPECT_EQ(doc.Result(),
              u"<converted_from encoding=\"UTF-16\" length=\"49\"/><conversion_loss/>");
}

TEST(SaveFile, UnwritablePathIsAFileError) {
    TempFolder folder;
    XmlDocument doc(u"<a/>");
    EXPECT_FALSE(doc.SaveFile(folder.File("no/such/folder.xml")));
    EXPECT_EQ(doc.Result(), u"<file_error msg=\"No such file or directory\" n=\"2\"/>");
}

TEST(SaveFile, TypicalExportIsByteExact) {
    TempFolder folder;
    XmlDocument doc;
    doc.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(u"macro");
    doc.EnterElement();
    doc.AddElement(u"macro_attr");
    doc.SetAttribute(u"name", u"Caf\u00E9 <1>");
    doc.AddElement(u"events");
    doc.EnterElement();
    doc.AddElement(u"event");
    doc.SetAttribute(u"type", 1);
    doc.SetAttribute(u"delay", 20);
    ASSERT_TRUE(doc.SaveFile(folder.File("macro.xml")));
    EXPECT_EQ(ReadBytes(folder.File("macro.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<macro>\r\n"
              "<macro_attr name=\"Caf\xC3\xA9 &lt;1&gt;\"/>\r\n"
              "<events>\r\n"
              "<event type=\"1\" delay=\"20\"/>\r\n"
              "</events>\r\n"
              "</macro>\r\n");
    XmlDocument back;
    ASSERT_TRUE(back.LoadFile(folder.File("macro.xml")));
    ASSERT_TRUE(back.Parse());
    ASSERT_TRUE(back.FindElement(u"macro"));
    ASSERT_TRUE(back.EnterElement());
    ASSERT_TRUE(back.FindElement(u"macro_attr"));
    EXPECT_EQ(back.GetAttribute(u"name"), u"Caf\u00E9 <1>");
}

}  // namespace
}  // namespace quillora
