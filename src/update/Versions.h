#pragma once

// Version texts: accepting what an update server answers, comparing dotted versions,
// and the version lines the settings and device information pages show.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillora {

// Interface texts of the version lines and update notices.
inline constexpr int kTextFirmwareCaption = 551;  // caption of the firmware notice
inline constexpr int kTextNoNewVersion = 580;     // status when there is nothing newer
inline constexpr int kTextUpdateCaption = 581;    // caption of the application notice
inline constexpr int kTextNewVersion = 582;       // "new version"
inline constexpr int kTextAskUpdate = 583;        // the question that ends the notice

// Longest version text accepted from the application's and the firmware's server.
inline constexpr std::size_t kAppVersionMaxLength = 10;
inline constexpr std::size_t kFirmwareVersionMaxLength = 9;

// The version a server answered, or nothing when the answer is not one. Surrounding
// white space (a trailing CR LF is common) is dropped; what remains must be 1 to
// maxLength characters of ASCII letters, digits, '.', '-' and '_'. The text ends up in
// URLs and file names, so nothing else (no '/', no '%', no spaces) gets through.
std::optional<std::string> AcceptVersionText(std::string_view serverText, std::size_t maxLength);

// True when the text is already in the accepted form (no trimming).
bool IsVersionText(std::string_view text, std::size_t maxLength);

// Compares two dotted versions part by part as decimal numbers (a part that is not a
// number counts as 0). 1 when newest is greater, -1 when running is greater, 0 when
// equal, 2 when the two have a different number of parts.
int CompareVersions(std::string_view running, std::string_view newest);
int CompareVersions(std::u16string_view running, std::u16string_view newest);

// Application version lines, with interface text 582 ("new version") and 583.
//   label:    "<582>: v<newest>"
//   question: "<582>:V<newest>, <583>"
std::u16string AppVersionLabel(std::u16string_view newVersionText, std::string_view newest);
std::u16string AppUpdateQuestion(std::u16string_view newVersionText, std::string_view newest,
                                 std::u16string_view askText);

// Firmware versions are shown as "V<first character>.<last two characters>", so "105"
// reads "V1.05". A text shorter than three characters is never read past its ends: its
// "last two" is what there is ("5" shows "V5.5").
//   label:    "<582>: V<a>.<bc>"
//   question: "<582>:V<a>.<bc>, <583>"
std::u16string FirmwareVersionLabel(std::u16string_view newVersionText, std::string_view newest);
std::u16string FirmwareUpdateQuestion(std::u16string_view newVersionText, std::string_view newest,
                                      std::u16string_view askText);

}  // namespace quillora
