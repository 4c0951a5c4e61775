#include "XmlTestSupport.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "app/Utf8.h"

namespace quillora::test {

namespace {

void DumpChildren(const XmlDocument& doc, int parent, std::ostringstream& out) {
    const int first = doc.Element(parent).firstChild;
    int last = 0;
    for (int e = first; e != 0; e = doc.Element(e).nextSibling) {
        const ElementRecord& r = doc.Element(e);
        const std::u16string& text = doc.Text();
        size_t nameEnd = static_cast<size_t>(r.start) + 1;
        while (nameEnd < text.size() && text[nameEnd] != ' ' && text[nameEnd] != '/' &&
               text[nameEnd] != '>' && text[nameEnd] != '\r' && text[nameEnd] != '\n' &&
               text[nameEnd] != '\t') {
            ++nameEnd;
        }
        out << r.start << ' ' << r.length << ' ' << r.startTagLength << ' ' << r.endTagLength
            << " L" << r.level << " f" << r.flags << ' '
            << U8(text.substr(static_cast<size_t>(r.start), nameEnd - static_cast<size_t>(r.start)))
            << '\n';
        if (r.parent != parent) {
            out << "! parent link\n";
        }
        if (((r.flags & kElementFirstChild) != 0) != (e == first)) {
            out << "! first-child flag\n";
        }
        if (e != first && doc.Element(r.prevSibling).nextSibling != e) {
            out << "! previous link\n";
        }
        DumpChildren(doc, e, out);
        last = e;
    }
    if (first != 0 && doc.Element(first).prevSibling != last) {
        out << "! last-child link\n";
    }
}

}  // namespace

std::string DumpIndex(const XmlDocument& doc) {
    std::ostringstream out;
    out << "doc " << doc.Element(0).length << '\n';
    DumpChildren(doc, 0, out);
    return out.str();
}

std::string DumpReparsed(const XmlDocument& doc) {
    XmlDocument fresh(doc.Text());
    return DumpIndex(fresh);
}

std::u16string U16(const std::string& utf8) {
    return FromUtf8(std::string_view(utf8));
}

std::string U8(const std::u16string& text) {
    return ToUtf8(text);
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillora-xml-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) {
        std::filesystem::remove_all(path_, ignored);
    }
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quillora::test
