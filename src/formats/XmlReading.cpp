#include "formats/XmlReading.h"

namespace quillora {

bool OpenXmlFile(XmlDocument& document, const std::string& path, std::u16string_view root) {
    if (!document.LoadFile(path)) {
        return false;
    }
    return document.Parse() && document.FindElement(root);
}

}  // namespace quillora
