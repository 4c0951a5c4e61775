// Feeds arbitrary bytes to the language file reader as the contents of a language file.
// The first byte picks the text number looked up; the rest is the file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lang/LanguageFile.h"

namespace {

std::u16string Widen(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

std::u16string UpperAscii(std::u16string s) {
    for (char16_t& c : s) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int number = data[0] % 16;
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::u16string text = quillora::DecodeProfileText(file);

    const std::u16string value = quillora::FindProfileString(text, quillora::kLanguageSection,
                                                             Widen(std::to_string(number)));
    if (value.size() > quillora::kMaxProfileStringLength ||
        value.find(u'\0') != std::u16string::npos) {
        std::abort();
    }
    // Section names compare without regard to case.
    if (quillora::FindProfileString(text, u"lan", Widen(std::to_string(number))) != value) {
        std::abort();
    }
    // A key made of letters, looked up in either case.
    const std::u16string lower = quillora::FindProfileString(text, u"LAN", u"title");
    if (quillora::FindProfileString(text, u"LAN", UpperAscii(u"title")) != lower) {
        std::abort();
    }
    return 0;
}
