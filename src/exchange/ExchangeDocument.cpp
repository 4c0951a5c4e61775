#include "exchange/ExchangeDocument.h"

#include <system_error>

namespace quillora {

void StartExchangeDocument(XmlDocument& document) {
    document.SetFlags(0);  // no byte-order mark on save
    document.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
}

bool OpenExchangeFile(XmlDocument& document, const std::filesystem::path& file,
                      std::u16string_view root) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxExchangeFileBytes) {
        return false;
    }
    return document.LoadFile(file) && document.Parse() && document.FindElement(root);
}

}  // namespace quillora
