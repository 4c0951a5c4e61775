#pragma once

// The common start of every reader: a file is usable only when it loads, parses and
// holds the expected root element, on which the cursor then stands.

#include <string>
#include <string_view>

#include "formats/XmlDocument.h"

namespace quillora {

bool OpenXmlFile(XmlDocument& document, const std::string& path, std::u16string_view root);

}  // namespace quillora
