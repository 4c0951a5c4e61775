// Edits of a parsed document: attribute writes and new elements, spliced into the text
// with the index patched in place.

#include <climits>
#include <string>

#include "formats/XmlDocument.h"
#include "formats/XmlEscape.h"
#include "formats/XmlScanner.h"

namespace quillora {
namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

}  // namespace

void XmlDocument::ShiftSubtree(int root, int delta) {
    int e = root;
    for (;;) {
        index_[e].start += delta;
        if (index_[e].firstChild != 0) {
            e = index_[e].firstChild;
            continue;
        }
        while (e != root && index_[e].nextSibling == 0) {
            e = index_[e].parent;
        }
        if (e == root) {
            return;
        }
        e = index_[e].nextSibling;
    }
}

bool XmlDocument::Splice(int container, size_t from, size_t to, std::u16string_view insert) {
    const long long delta =
        static_cast<long long>(insert.size()) - static_cast<long long>(to - from);
    if (static_cast<long long>(text_.size()) + delta > INT_MAX) {
        return false;
    }
    text_.replace(from, to - from, insert);
    const int d = static_cast<int>(delta);
    // Only what follows the edit moves: the container's trailing children, then the
    // later siblings of the container and of each of its ancestors. Appending at the end
    // of a document therefore touches nothing but the enclosing lengths.
    if (const int first = index_[container].firstChild; first != 0) {
        for (int c = index_[first].prevSibling;; c = index_[c].prevSibling) {
            if (static_cast<size_t>(index_[c].start) < to) {
                break;
            }
            ShiftSubtree(c, d);
            if (c == first) {
                break;
            }
        }
    }
    for (int a = container; a != 0; a = index_[a].parent) {
        index_[a].length += d;
        for (int s = index_[a].nextSibling; s != 0; s = index_[s].nextSibling) {
            ShiftSubtree(s, d);
        }
    }
    index_[0].length += d;
    return true;
}

void XmlDocument::LinkLastChild(int element, int parent) {
    ElementRecord& rec = index_[element];
    rec.parent = parent;
    rec.nextSibling = 0;
    const int first = index_[parent].firstChild;
    if (first == 0) {
        index_[parent].firstChild = element;
        rec.prevSibling = element;
        rec.flags |= kElementFirstChild;
        return;
    }
    const int last = index_[first].prevSibling;
    index_[last].nextSibling = element;
    rec.prevSibling = last;
    index_[first].prevSibling = element;
}

void XmlDocument::LinkAfter(int element, int previous) {
    ElementRecord& rec = index_[element];
    const int parent = index_[previous].parent;
    const int next = index_[previous].nextSibling;
    rec.parent = parent;
    rec.prevSibling = previous;
    rec.nextSibling = next;
    index_[previous].nextSibling = element;
    if (next != 0) {
        index_[next].prevSibling = element;
    } else {
        index_[index_[parent].firstChild].prevSibling = element;
    }
}

bool XmlDocument::SetAttribute(std::u16string_view name, int64_t value) {
    const std::string digits = std::to_string(value);
    return SetAttribute(name, std::u16string(digits.begin(), digits.end()));
}

bool XmlDocument::SetAttribute(std::u16string_view name, std::u16string_view value) {
    if ((flags_ & kXmlReadingFile) != 0 || current_ == 0) {
        return false;
    }
    ElementRecord& rec = index_[current_];
    const size_t start = static_cast<size_t>(rec.start);
    const AttributeSpan span =
        FindAttribute(text_, start, start + static_cast<size_t>(rec.startTagLength), name,
                      (flags_ & kXmlIgnoreCase) != 0);
    std::u16string quoted = u"\"" + EscapeText(value, kEscapeAttribute) + u"\"";
    size_t from = 0;
    size_t to = 0;
    std::u16string insert;
    if (span.found && span.hasValue) {
        from = span.rawStart;
        to = span.rawEnd;
        insert = std::move(quoted);
    } else if (span.found) {
        from = to = span.nameEnd;
        insert = u"=" + quoted;
    } else {
        from = to = span.stop;
        insert = u" ";
        insert += name;
        insert += u"=";
        insert += quoted;
    }
    const int oldLength = static_cast<int>(text_.size());
    if (!Splice(current_, from, to, insert)) {
        return false;
    }
    rec.startTagLength += static_cast<int>(text_.size()) - oldLength;
    return true;
}

bool XmlDocument::AddElement(std::u16string_view name) {
    if ((flags_ & kXmlReadingFile) != 0) {
        return false;
    }
    const int parent = current_ != 0 ? index_[current_].parent : parent_;
    std::u16string tag = u"<";
    tag += name;
    tag += u"/>";
    size_t at = 0;  // where the new element's "<" lands
    bool ok = false;
    if (current_ != 0) {
        // After the current element, and after the blanks that follow it when only
        // blanks lead up to the next tag.
        const ElementRecord& cur = index_[current_];
        at = static_cast<size_t>(cur.start) + static_cast<size_t>(cur.length);
        size_t q = at;
        while (q < text_.size() && IsXmlBlank(text_[q])) {
            ++q;
        }
        if (q == text_.size() || text_[q] == '<') {
            at = q;
        }
        ok = Splice(parent, at, at, tag + std::u16string(kLineEnd));
    } else if (parent == 0) {
        at = text_.size();
        ok = Splice(0, at, at, tag + std::u16string(kLineEnd));
    } else {
        ElementRecord& p = index_[parent];
        const size_t start = static_cast<size_t>(p.start);
        const size_t tagEnd = start + static_cast<size_t>(p.startTagLength);
        const bool emptyTag = p.endTagLength == 0 && (p.flags & kElementUnended) == 0 &&
                              p.startTagLength >= 3 && text_[tagEnd - 2] == '/';
        if (emptyTag) {
            // <p/> becomes <p>, CR LF, <name/>, CR LF, </p>.
            const std::u16string endTag = u"</" + std::u16string(TagName(parent)) + u">";
            std::u16string insert = u">";
            insert += kLineEnd;
            insert += tag;
            insert += kLineEnd;
            insert += endTag;
            at = tagEnd - 2 + 1 + kLineEnd.size();
            ok = Splice(parent, tagEnd - 2, tagEnd, insert);
            if (ok) {
                p.startTagLength -= 1;
                p.endTagLength = static_cast<int>(endTag.size());
            }
        } else {
            const size_t contentEnd = start + static_cast<size_t>(p.length - p.endTagLength);
            std::u16string insert;
            if (p.endTagLength > 0 && contentEnd == tagEnd) {
                insert += kLineEnd;  // <p></p>: the new element starts on a line of its own
            }
            insert += tag;
            insert += kLineEnd;
            at = contentEnd + insert.size() - tag.size() - kLineEnd.size();
            ok = Splice(parent, contentEnd, contentEnd, insert);
        }
    }
    if (!ok) {
        return false;
    }
    const int r = index_.Add();
    ElementRecord& rec = index_[r];
    rec.start = static_cast<int>(at);
    rec.length = static_cast<int>(tag.size());
    rec.startTagLength = rec.length;
    rec.level = index_[parent].level + 1;
    if (current_ != 0) {
        LinkAfter(r, current_);
    } else {
        LinkLastChild(r, parent);
    }
    parent_ = parent;
    current_ = r;
    child_ = 0;
    nodeType_ = XmlNodeType::Element;
    return true;
}

}  // namespace quillora
