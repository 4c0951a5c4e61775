#pragma once

// Helpers shared by the XML engine tests.

#include <filesystem>
#include <string>
#include <vector>

#include "formats/XmlDocument.h"

namespace quillora::test {

// The index in document order, one line per element: start, lengths, level, flags and
// the tag name read at its start offset. Record numbers do not appear, so a document
// built by edits compares equal to the same text parsed afresh. Broken links (a parent
// that does not match, a first child whose back link is not the last child, a first-child
// flag out of place) show up as "!" lines.
std::string DumpIndex(const XmlDocument& doc);

// The dump of the same text parsed by a fresh document.
std::string DumpReparsed(const XmlDocument& doc);

std::u16string U16(const std::string& utf8);
std::string U8(const std::u16string& text);

// A fresh empty folder, removed with its content at destruction.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path File(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace quillora::test
