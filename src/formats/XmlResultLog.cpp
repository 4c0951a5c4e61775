#include "formats/XmlResultLog.h"

#include <string>

#include "formats/XmlEscape.h"

namespace quillora {

void AddResult(std::u16string& log, std::u16string_view entry, std::u16string_view textName,
               std::u16string_view text, std::initializer_list<LogNumber> numbers) {
    if (log.size() > kResultLogLimit) {
        return;
    }
    log += u'<';
    log += entry;
    if (!textName.empty()) {
        log += u' ';
        log += textName;
        log += u"=\"";
        log += EscapeText(text, kEscapeAttribute);
        log += u'"';
    }
    for (const LogNumber& n : numbers) {
        log += u' ';
        log += n.name;
        log += u"=\"";
        for (char c : std::to_string(n.value)) {
            log += static_cast<char16_t>(c);
        }
        log += u'"';
    }
    log += u"/>";
}

}  // namespace quillora
