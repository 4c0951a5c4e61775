// Feeds arbitrary bytes through the whole engine: decoding as LoadFile does, parsing,
// navigation, attribute reads and writes, new elements and saving. The last bytes of
// the input double as the script of cursor moves and edits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/XmlDocument.h"
#include "formats/XmlEscape.h"

namespace {

using quillora::XmlDocument;

// Every indexed element must lie inside the text and start with "<", whatever the edits.
void CheckIndex(const XmlDocument& doc) {
    const std::u16string& text = doc.Text();
    for (int i = 1; i < doc.ElementCount(); ++i) {
        const quillora::ElementRecord& r = doc.Element(i);
        const bool inside =
            r.start >= 0 && r.length >= r.startTagLength && r.startTagLength > 0 &&
            static_cast<size_t>(r.start) + static_cast<size_t>(r.length) <= text.size() &&
            text[static_cast<size_t>(r.start)] == u'<';
        if (!inside) {
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t scriptLength = size < 64 ? size / 4 : 16;
    const std::string_view script = bytes.substr(size - scriptLength);

    XmlDocument doc;
    doc.LoadBytes(bytes);
    doc.Parse();
    CheckIndex(doc);

    static const std::u16string kNames[] = {u"a", u"item", u"", u"x y", u"html"};
    static const std::u16string kValues[] = {u"1", u"<&>'\"", u"", u"\u00E9\U0001F600 text"};
    for (unsigned char op : script) {
        const std::u16string& name = kNames[(op >> 4) % 5];
        switch (op & 7) {
            case 0:
                doc.FindElement(name);
                break;
            case 1:
                doc.EnterElement();
                break;
            case 2:
                doc.LeaveElement();
                break;
            case 3:
                (void)quillora::UnescapeText(doc.GetAttribute(name));
                break;
            case 4:
                doc.SetAttribute(name.empty() ? u"n" : name, kValues[(op >> 3) % 4]);
                break;
            case 5:
                doc.SetAttribute(u"count", static_cast<int64_t>(op) - 128);
                break;
            case 6:
                doc.AddElement(name.empty() ? u"e" : name);
                break;
            default:
                doc.FindElement();
                break;
        }
        CheckIndex(doc);
    }
    (void)doc.SaveBytes();
    (void)quillora::CdataSection(doc.GetTagName());
    return 0;
}
