// Life cycle, navigation and attribute reads of XmlDocument.

#include "formats/XmlDocument.h"

#include "formats/XmlEscape.h"
#include "formats/XmlScanner.h"

namespace quillora {

XmlDocument::XmlDocument() {
    Parse();
}

XmlDocument::XmlDocument(std::u16string_view text) {
    SetText(text);
}

bool XmlDocument::SetText(const char16_t* text) {
    return SetText(text == nullptr ? std::u16string_view() : std::u16string_view(text));
}

bool XmlDocument::SetText(std::u16string_view text) {
    if ((flags_ & (kXmlReadingFile | kXmlWritingFile)) != 0) {
        return false;
    }
    text_.assign(text);
    result_.clear();
    return Parse();
}

bool XmlDocument::IsWellFormed() const {
    const ElementRecord& doc = index_[0];
    return (doc.flags & kDocumentIllFormed) == 0 && doc.firstChild != 0 &&
           index_[doc.firstChild].nextSibling == 0;
}

std::u16string_view XmlDocument::TagName(int element) const {
    const ElementRecord& rec = index_[element];
    const size_t nameStart = static_cast<size_t>(rec.start) + 1;
    const size_t tagEnd = static_cast<size_t>(rec.start) + static_cast<size_t>(rec.startTagLength);
    const size_t nameEnd = TagNameEnd(text_, nameStart, tagEnd);
    return std::u16string_view(text_).substr(nameStart, nameEnd - nameStart);
}

std::u16string XmlDocument::GetTagName() const {
    if (current_ == 0) {
        return {};
    }
    return std::u16string(TagName(current_));
}

bool XmlDocument::FindElement(const char16_t* name) {
    return FindElement(name == nullptr ? std::u16string_view() : std::u16string_view(name));
}

bool XmlDocument::FindElement(std::u16string_view name) {
    if (!name.empty() && name[0] == '/') {
        return false;
    }
    // Only the plain tag name counts, as if the argument were the start of a tag.
    size_t cut = 0;
    while (cut < name.size() && !IsXmlBlank(name[cut]) && name[cut] != '=' && name[cut] != '/' &&
           name[cut] != '[' && name[cut] != ']') {
        ++cut;
    }
    name = name.substr(0, cut);
    const bool ignoreCase = (flags_ & kXmlIgnoreCase) != 0;
    int e = current_ != 0 ? index_[current_].nextSibling : index_[parent_].firstChild;
    for (; e != 0; e = index_[e].nextSibling) {
        if (name.empty() || EqualNames(TagName(e), name, ignoreCase)) {
            current_ = e;
            parent_ = index_[e].parent;
            child_ = 0;
            nodeType_ = XmlNodeType::Element;
            return true;
        }
    }
    return false;
}

bool XmlDocument::EnterElement() {
    if (nodeType_ != XmlNodeType::Element || current_ == 0) {
        return false;
    }
    parent_ = current_;
    current_ = child_;
    child_ = 0;
    nodeType_ = current_ != 0 ? XmlNodeType::Element : XmlNodeType::None;
    return true;
}

bool XmlDocument::LeaveElement() {
    if (parent_ == 0) {
        return false;
    }
    child_ = current_;
    current_ = parent_;
    parent_ = index_[current_].parent;
    nodeType_ = XmlNodeType::Element;
    return true;
}

std::u16string XmlDocument::GetAttribute(std::u16string_view name) const {
    if (current_ == 0) {
        return {};
    }
    const ElementRecord& rec = index_[current_];
    const size_t start = static_cast<size_t>(rec.start);
    const AttributeSpan span =
        FindAttribute(text_, start, start + static_cast<size_t>(rec.startTagLength), name,
                      (flags_ & kXmlIgnoreCase) != 0);
    if (!span.found || !span.hasValue) {
        return {};
    }
    return UnescapeText(
        std::u16string_view(text_).substr(span.valueStart, span.valueEnd - span.valueStart));
}

}  // namespace quillora
