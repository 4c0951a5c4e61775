#include "update/Versions.h"

#include <vector>

#include "app/Decimal.h"
#include "app/Utf8.h"

namespace quillora {
namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsVersionChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '-' || c == '_';
}

std::vector<std::string_view> SplitAtDots(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t dot = text.find('.', start);
        if (dot == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

// "<first>.<last two>" of a firmware version, staying inside the text.
std::u16string FirmwareDisplay(std::string_view version) {
    std::string shown;
    if (!version.empty()) {
        shown += version.front();
        shown += '.';
        shown += version.substr(version.size() >= 2 ? version.size() - 2 : 0);
    } else {
        shown = ".";
    }
    return FromUtf8(shown);
}

}  // namespace

bool IsVersionText(std::string_view text, std::size_t maxLength) {
    if (text.empty() || text.size() > maxLength) {
        return false;
    }
    for (char c : text) {
        if (!IsVersionChar(c)) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> AcceptVersionText(std::string_view serverText, std::size_t maxLength) {
    while (!serverText.empty() && IsSpace(serverText.front())) {
        serverText.remove_prefix(1);
    }
    while (!serverText.empty() && IsSpace(serverText.back())) {
        serverText.remove_suffix(1);
    }
    if (!IsVersionText(serverText, maxLength)) {
        return std::nullopt;
    }
    return std::string(serverText);
}

int CompareVersions(std::string_view running, std::string_view newest) {
    std::vector<std::string_view> have = SplitAtDots(running);
    std::vector<std::string_view> offered = SplitAtDots(newest);
    if (have.size() != offered.size()) {
        return 2;
    }
    for (size_t i = 0; i < have.size(); ++i) {
        int a = DecimalToInt(have[i]);
        int b = DecimalToInt(offered[i]);
        if (b > a) {
            return 1;
        }
        if (a > b) {
            return -1;
        }
    }
    return 0;
}

int CompareVersions(std::u16string_view running, std::u16string_view newest) {
    return CompareVersions(ToUtf8(running), ToUtf8(newest));
}

std::u16string AppVersionLabel(std::u16string_view newVersionText, std::string_view newest) {
    return std::u16string(newVersionText) + u": v" + FromUtf8(newest);
}

std::u16string AppUpdateQuestion(std::u16string_view newVersionText, std::string_view newest,
                                 std::u16string_view askText) {
    return std::u16string(newVersionText) + u":V" + FromUtf8(newest) + u", " +
           std::u16string(askText);
}

std::u16string FirmwareVersionLabel(std::u16string_view newVersionText, std::string_view newest) {
    return std::u16string(newVersionText) + u": V" + FirmwareDisplay(newest);
}

std::u16string FirmwareUpdateQuestion(std::u16string_view newVersionText, std::string_view newest,
                                      std::u16string_view askText) {
    return std::u16string(newVersionText) + u":V" + FirmwareDisplay(newest) + u", " +
           std::u16string(askText);
}

}  // namespace quillora
