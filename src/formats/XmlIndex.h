#pragma once

// The element index of an XML document: one record per element, referred to by its
// position. Records live in fixed blocks, so growing the index never moves a record.

#include <memory>
#include <vector>

namespace quillora {

enum ElementFlags : unsigned {
    kElementFirstChild = 0x1,  // the first child of its parent
    kElementUnended = 0x2,     // a start tag whose end tag never came
    kDocumentIllFormed = 0x4,  // on record 0 only
};

// Offsets and lengths count UTF-16 units of the document text. All fields are full
// ints, so long tags and deep nesting cannot overflow a field.
struct ElementRecord {
    int start;           // offset of the element's "<"
    int length;          // up to the end of its end tag (or of its empty-element tag)
    int startTagLength;  // the start tag (or the whole empty-element tag)
    int endTagLength;    // 0 for an empty or unended element
    int level;           // depth below the document (record 0 has level 0)
    unsigned flags;      // ElementFlags
    int parent;
    int firstChild;
    int nextSibling;  // 0 for the last child
    int prevSibling;  // on a first child: the last child of the parent
};

class ElementIndex {
  public:
    static constexpr int kBlockSize = 65536;

    // Back to the single, zeroed record 0.
    void Reset() {
        count_ = 0;
        Add();
    }

    // A new zeroed record; returns its index.
    int Add() {
        if (count_ == static_cast<int>(blocks_.size()) * kBlockSize) {
            // Not value-initialised: a block's pages are only touched once used.
            blocks_.push_back(std::make_unique_for_overwrite<ElementRecord[]>(kBlockSize));
        }
        const int index = count_++;
        (*this)[index] = ElementRecord{};
        return index;
    }

    int Count() const { return count_; }

    ElementRecord& operator[](int index) { return blocks_[index >> 16][index & 0xFFFF]; }
    const ElementRecord& operator[](int index) const {
        return blocks_[index >> 16][index & 0xFFFF];
    }

  private:
    static_assert(kBlockSize == 1 << 16);
    std::vector<std::unique_ptr<ElementRecord[]>> blocks_;
    int count_ = 0;
};

}  // namespace quillora
