#pragma once

// What the three exchange file kinds share: the start of a new document and the checks
// a file passes before an import reads anything from it.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "formats/XmlDocument.h"

namespace quillora {

// Larger files are refused unread. An export of every macro, each at the editor's limit
// of 200 events, stays far below it; the bound keeps a hostile file from costing
// gigabytes of text and element index.
inline constexpr std::uintmax_t kMaxExchangeFileBytes = 16u * 1024u * 1024u;

// Resets `document` to the declaration line alone (UTF-8, CR LF), ready for the root.
void StartExchangeDocument(XmlDocument& document);

// Loads `file`, parses it and finds `root` at the top level. True only when all of that
// worked and the file is a regular file of at most kMaxExchangeFileBytes; a FIFO or a
// device node is never opened, so an import cannot block on one.
bool OpenExchangeFile(XmlDocument& document, const std::filesystem::path& file,
                      std::u16string_view root);

}  // namespace quillora
