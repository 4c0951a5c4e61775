// Building the element index from the document text.

#include <climits>
#include <unordered_map>
#include <vector>

#include "formats/XmlDocument.h"
#include "formats/XmlResultLog.h"
#include "formats/XmlScanner.h"

namespace quillora {
namespace {

struct OpenElement {
    int record;
    size_t nameStart;
    size_t nameLength;
};

// The stack of open elements. End tags normally match the top; only when one does not
// is a name lookup built, so that a run of unmatched end tags stays linear in the
// size of the document instead of searching the whole stack each time.
class OpenStack {
  public:
    explicit OpenStack(std::u16string_view text) : text_(text) {}

    bool empty() const { return items_.empty(); }
    size_t size() const { return items_.size(); }
    const OpenElement& operator[](size_t i) const { return items_[i]; }
    const OpenElement& top() const { return items_.back(); }
    std::u16string_view NameOf(const OpenElement& e) const {
        return text_.substr(e.nameStart, e.nameLength);
    }

    void Push(const OpenElement& e) {
        items_.push_back(e);
        if (indexed_) {
            byName_[NameOf(e)].push_back(static_cast<int>(items_.size() - 1));
        }
    }

    void Pop() {
        if (indexed_) {
            auto it = byName_.find(NameOf(items_.back()));
            it->second.pop_back();
            if (it->second.empty()) {
                byName_.erase(it);
            }
        }
        items_.pop_back();
    }

    // Position of the topmost open element called name, or -1.
    long Find(std::u16string_view name) {
        if (!items_.empty() && NameOf(items_.back()) == name) {
            return static_cast<long>(items_.size() - 1);
        }
        if (!indexed_) {
            indexed_ = true;
            for (size_t i = 0; i < items_.size(); ++i) {
                byName_[NameOf(items_[i])].push_back(static_cast<int>(i));
            }
        }
        const auto it = byName_.find(name);
        return it == byName_.end() ? -1 : it->second.back();
    }

  private:
    std::u16string_view text_;
    std::vector<OpenElement> items_;
    bool indexed_ = false;
    std::unordered_map<std::u16string_view, std::vector<int>> byName_;
};

}  // namespace

bool XmlDocument::Parse() {
    index_.Reset();
    parent_ = current_ = child_ = 0;
    nodeType_ = XmlNodeType::None;
    const std::u16string_view text = text_;
    if (text.size() > static_cast<size_t>(INT_MAX)) {
        index_[0].flags |= kDocumentIllFormed;
        return false;
    }
    index_[0].length = static_cast<int>(text.size());

    OpenStack stack(text);
    bool levelsChanged = false;

    // Closes stack[from..top] as unended, outermost first, and pops them. Each one keeps
    // only its start tag, and its children move up to follow it as siblings. Working
    // outermost first, a child moves once to the parent that stays, so the whole chain
    // costs time linear in the number of children moved.
    auto closeUnended = [&](size_t from, size_t endOffset) {
        for (size_t k = from; k < stack.size(); ++k) {
            const int e = stack[k].record;
            ElementRecord& rec = index_[e];
            rec.length = rec.startTagLength;
            rec.flags |= kElementUnended;
            AddResult(result_, u"unended_start_tag", u"tagname", stack.NameOf(stack[k]),
                      {{u"offset", rec.start}, {u"offset2", static_cast<int64_t>(endOffset)}});
            const int first = rec.firstChild;
            if (first == 0) {
                continue;
            }
            const int parent = rec.parent;
            const int last = index_[first].prevSibling;
            for (int c = first; c != 0; c = index_[c].nextSibling) {
                index_[c].parent = parent;
            }
            // The element is its parent's last child, so its children become the last.
            rec.nextSibling = first;
            rec.firstChild = 0;
            index_[first].prevSibling = e;
            index_[first].flags &= ~kElementFirstChild;
            index_[index_[parent].firstChild].prevSibling = last;
            levelsChanged = true;
        }
        while (stack.size() > from) {
            stack.Pop();
        }
    };

    size_t pos = 0;
    while (pos < text.size()) {
        const XmlNode node = ScanNode(text, pos);
        switch (node.kind) {
            case XmlNodeKind::StartTag:
            case XmlNodeKind::EmptyTag: {
                const int parent = stack.empty() ? 0 : stack.top().record;
                const int r = index_.Add();
                ElementRecord& rec = index_[r];
                rec.start = static_cast<int>(node.start);
                rec.startTagLength = static_cast<int>(node.end - node.start);
                rec.length = rec.startTagLength;
                rec.level = static_cast<int>(stack.size()) + 1;
                LinkLastChild(r, parent);
                if (node.kind == XmlNodeKind::StartTag) {
                    stack.Push({r, node.nameStart, node.nameEnd - node.nameStart});
                }
                break;
            }
            case XmlNodeKind::EndTag: {
                const std::u16string_view name =
                    text.substr(node.nameStart, node.nameEnd - node.nameStart);
                const long match = stack.Find(name);
                if (match < 0) {
                    index_[0].flags |= kDocumentIllFormed;
                    AddResult(result_, u"lone_end_tag", u"tagname", name,
                              {{u"offset", static_cast<int64_t>(node.start)}});
                    break;
                }
                if (static_cast<size_t>(match) + 1 < stack.size()) {
                    index_[0].flags |= kDocumentIllFormed;
                    closeUnended(static_cast<size_t>(match) + 1, node.start);
                }
                ElementRecord& rec = index_[stack.top().record];
                rec.length = static_cast<int>(node.end) - rec.start;
                rec.endTagLength = static_cast<int>(node.end - node.start);
                stack.Pop();
                break;
            }
            case XmlNodeKind::SyntaxError:
                index_[0].flags |= kDocumentIllFormed;
                AddResult(result_, node.error, {{u"offset", static_cast<int64_t>(node.start)}});
                break;
            case XmlNodeKind::Unterminated:
                index_[0].flags |= kDocumentIllFormed;
                AddResult(result_, u"unterminated_tag_syntax", u"type", node.error,
                          {{u"offset", static_cast<int64_t>(node.start)}});
                break;
            default:
                break;
        }
        pos = node.end;
    }
    if (!stack.empty()) {
        index_[0].flags |= kDocumentIllFormed;
        closeUnended(0, text.size());
    }
    if (levelsChanged) {
        // Parents always precede their children in the index, so one pass suffices.
        for (int i = 1; i < index_.Count(); ++i) {
            index_[i].level = index_[index_[i].parent].level + 1;
        }
    }
    const int root = index_[0].firstChild;
    if (root == 0) {
        if (!text.empty()) {
            AddResult(result_, u"no_root_element");
        }
    } else if (index_[root].nextSibling != 0) {
        AddResult(result_, u"root_has_sibling");
    }
    return IsWellFormed();
}

}  // namespace quillora
