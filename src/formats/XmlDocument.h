#pragma once

// The XML engine behind every file the program reads or writes. A document is one
// UTF-16 string plus an index of its elements; a cursor moves over the elements,
// attributes are read from and written into the text in place, and new elements are
// spliced into the text. Nothing throws: failures come back as false or an empty
// string, with details in the result log (formats/XmlResultLog.h).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/XmlIndex.h"

namespace quillora {

enum XmlDocumentFlags : int {
    kXmlUtf16LeBom = 0x1,    // a UTF-16 little-endian byte-order mark was found on load
    kXmlUtf8Bom = 0x4,       // a UTF-8 byte-order mark was found on load
    kXmlIgnoreCase = 0x8,    // element and attribute names match ignoring ASCII case
    kXmlReadingFile = 0x10,  // set only while LoadFile runs
    kXmlWritingFile = 0x20,  // set only while SaveFile runs
    kXmlUtf16BeBom = 0x80,   // a UTF-16 big-endian byte-order mark was found on load
};

enum class XmlNodeType { None = 0, Element = 1 };

class XmlDocument {
  public:
    // An empty document, parsed as an empty text.
    XmlDocument();
    // SetText(text).
    explicit XmlDocument(std::u16string_view text);

    // Replaces the text (null means empty), clears the result log, then parses. False
    // when the text is not well formed, or while the document is attached to a file.
    bool SetText(std::u16string_view text);
    bool SetText(const char16_t* text);

    // Rebuilds the element index from the text and puts the cursor at the document.
    // True when well formed: nothing was ill formed, there is a root element and it has
    // no sibling. Problems are appended to the result log.
    bool Parse();

    // Reads and decodes a whole file into the text (cleared first), detecting its
    // encoding; does not parse (until Parse, the index is that of an empty document).
    // The result log is replaced by this load's entries, which a following Parse extends;
    // flags come back with the bit of the byte-order mark found. False on a file error.
    bool LoadFile(const std::filesystem::path& fileName);
    // LoadFile's decoding of a file's bytes already in memory. Always succeeds.
    bool LoadBytes(std::string_view bytes);

    // Encodes the text (in the declared encoding, UTF-8 when none) and writes it,
    // creating or truncating the file. A byte-order mark is written only when flags hold
    // kXmlUtf8Bom, kXmlUtf16LeBom or kXmlUtf16BeBom. The result log is replaced.
    bool SaveFile(const std::filesystem::path& fileName);
    // SaveFile's encoding into bytes in memory.
    std::string SaveBytes();

    // Navigation among the siblings at the cursor's level. FindElement searches forward
    // from the element after the current one (or the parent's first child) for a tag
    // name equal to name, cut at its first blank, "=", "/", "[" or "]". An empty or
    // null name matches any element; one starting with "/" matches none.
    bool FindElement(std::u16string_view name = {});
    bool FindElement(const char16_t* name);
    // Into the current element: the next FindElement searches its children.
    bool EnterElement();
    // Back out to the parent level: the parent becomes the current element.
    bool LeaveElement();

    // The unescaped value of an attribute of the current element; empty when missing.
    std::u16string GetAttribute(std::u16string_view name) const;
    // Writes the attribute (escaped, in double quotes), replacing its old value or
    // appending it to the start tag. Offsets of later elements and lengths of enclosing
    // ones are patched. False when there is no current element.
    bool SetAttribute(std::u16string_view name, std::u16string_view value);
    bool SetAttribute(std::u16string_view name, int64_t value);

    // Creates the empty element <name/> followed by CR LF after the current element (after
    // the blanks that follow it) or, without a current element, as the parent's last child,
    // and makes it current. An empty parent <p/> is rewritten as <p>, CR LF, the element,
    // CR LF, </p>; a parent <p></p> gets a CR LF before the element as well.
    bool AddElement(std::u16string_view name);

    // The tag name of the current element; empty when there is none.
    std::u16string GetTagName() const;

    const std::u16string& Text() const { return text_; }
    const std::u16string& Result() const { return result_; }
    int Flags() const { return flags_; }
    void SetFlags(int flags) { flags_ = flags; }

    // The index, for code that walks it directly: record 0 is the document.
    const ElementRecord& Element(int index) const { return index_[index]; }
    int ElementCount() const { return index_.Count(); }
    int ParentElement() const { return parent_; }
    int CurrentElement() const { return current_; }
    int ChildElement() const { return child_; }
    XmlNodeType CurrentNodeType() const { return nodeType_; }

  private:
    bool IsWellFormed() const;
    std::u16string_view TagName(int element) const;
    // Replaces text_[from, to) with insert and patches the index: lengths of 'container'
    // and its ancestors grow by the difference, and every element starting at or after
    // 'to' moves. The caller fixes the edited element's own tag lengths.
    bool Splice(int container, size_t from, size_t to, std::u16string_view insert);
    void ShiftSubtree(int root, int delta);
    void LinkAfter(int element, int previous);
    void LinkLastChild(int element, int parent);
    void DecodeBytes(std::string_view bytes);
    void ClearForLoad();

    std::u16string text_;
    std::u16string result_;
    int flags_ = 0;
    ElementIndex index_;
    int parent_ = 0;
    int current_ = 0;
    int child_ = 0;
    XmlNodeType nodeType_ = XmlNodeType::None;
};

}  // namespace quillora
