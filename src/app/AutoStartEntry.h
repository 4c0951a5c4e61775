#pragma once

// Starting the program at log-on: an XDG autostart entry,
// <autostart folder>/<product key name>.desktop, whose Exec line is the program's full
// path followed by " -autorun". The entry counts as present when the file exists and
// can be read, whatever it holds.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

class AutoStartEntry {
  public:
    AutoStartEntry(std::string autostartFolder, std::u16string_view productKeyName);

    // $XDG_CONFIG_HOME/autostart/ (or ~/.config/autostart/).
    static std::string DefaultFolder();

    // Writes the entry for the given executable. False when it cannot be written.
    bool Enable(const std::string& executablePath);
    // Deletes the entry; true when none is left.
    bool Disable();
    bool IsEnabled() const;

    const std::string& FilePath() const { return path_; }

    // The entry's Exec value for a program path: the path quoted as the Desktop Entry
    // rules require, then " -autorun", with the file format's own escapes applied.
    static std::string ExecValue(const std::string& executablePath);
    // Splits an Exec value back into its arguments, undoing both levels of escaping.
    // Nothing when the value is malformed.
    static std::optional<std::vector<std::string>> SplitExecValue(std::string_view value);

    // The Exec value stored in the entry, if there is one.
    std::optional<std::string> ReadExecValue() const;

  private:
    std::string folder_;
    std::string name_;
    std::string path_;
};

}  // namespace quillora
