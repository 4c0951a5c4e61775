#pragma once

// Interface texts. Every caption, tooltip, menu item and message of the program is a
// text identified by a number; the texts of one language live in one INI-style file,
// "<application folder>language/<language id>.lan", section [LAN], one "number=text"
// entry each. The program holds none of the texts itself: a missing file, section or
// entry gives an empty text, with no fallback to another language.
//
// The files are read the way the Windows profile-string reader reads them, so that the
// same language files serve every platform:
//  - UTF-8 with or without a byte-order mark, UTF-16 with a byte-order mark (LE or BE);
//  - lines end with LF, CR LF or CR;
//  - section and key names compare without regard to ASCII case, and blanks around
//    them, around the '=' and at the end of the line are dropped;
//  - a line whose first non-blank character is ';' is a comment;
//  - only the first section of the name is searched, and in it the first entry of the
//    key wins;
//  - a value enclosed in a matching pair of double or single quotes loses the pair
//    (which is how a text keeps blanks at its start or end);
//  - a value is cut at its first NUL and at kMaxProfileStringLength UTF-16 units.
//
// Nothing is cached: each lookup reads the file again, so an edited language file or a
// change of language shows at the next lookup without a restart.

#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace quillora {

// The reader's buffer holds 260 UTF-16 units including the terminating zero, so a value
// is cut after 259 units. A surrogate pair that would be split by the cut is dropped
// whole, so the result never ends in half a character.
inline constexpr std::size_t kMaxProfileStringLength = 259;

// Language files larger than this are read only up to it (a real one is a few KiB).
inline constexpr std::size_t kMaxProfileFileBytes = std::size_t{4} * 1024 * 1024;

// The section of a language file that holds the texts.
inline constexpr std::u16string_view kLanguageSection = u"LAN";

// Path of a language file, formatted with "%slanguage/%d.lan" from the application
// folder and the language identifier. The folder is used as it comes and must end with
// '/' (the application folder always does): no separator is added.
std::string LanguageFilePath(std::string_view applicationFolder, int language);

// Decodes the bytes of a profile file into UTF-16: a UTF-16LE or UTF-16BE byte-order
// mark selects UTF-16 (a trailing odd byte is ignored), anything else is UTF-8 with its
// mark, if any, skipped. Ill-formed UTF-8 becomes U+FFFD; NUL bytes are kept as NUL
// units so that they end only the value they stand in.
std::u16string DecodeProfileText(std::string_view bytes);

// The value of `key` in the first section named `section` of the decoded text, with the
// rules above; empty when there is none.
std::u16string FindProfileString(std::u16string_view text, std::u16string_view section,
                                 std::u16string_view key);

// Reads `file` (at most kMaxProfileFileBytes of it) and looks the value up. A file that
// does not exist or cannot be read gives the empty text.
std::u16string ReadProfileString(const std::filesystem::path& file, std::u16string_view section,
                                 std::u16string_view key);

// One language file.
class LanguageFile {
  public:
    explicit LanguageFile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& Path() const { return path_; }

    // The text of `number` (key "%d" of section [LAN]), read from the file at this call.
    std::u16string Text(int number) const;

  private:
    std::filesystem::path path_;
};

// The interface texts of the current language: the lookup every page, dialog and the
// worker use. The language changes at run time (settings page); lookups may come from
// the window thread and the worker thread at once.
class InterfaceTexts {
  public:
    // `applicationFolder` ends with '/' (see LanguageFilePath).
    InterfaceTexts(std::string applicationFolder, int language)
        : folder_(std::move(applicationFolder)), language_(language) {}

    void SetLanguage(int language);
    int Language() const;

    // Path of the current language's file.
    std::string FilePath() const;

    // Text number `number` of the current language; empty when the file, the section or
    // the entry is missing.
    std::u16string GetText(int number) const;

  private:
    mutable std::mutex mutex_;
    const std::string folder_;
    int language_;
};

}  // namespace quillora
