#pragma once

// Profile files: one profile's button assignments, lighting rows, DPI levels and mouse
// options as XML. The profile chooser's export and import commands and the CLI's
// "profile export" and "profile import" call these; the caller asks for the path,
// refreshes the title with the new name and queues DeviceTask 5 after an import.
//
// Layout (UTF-8, no byte-order mark, CR LF, one element per line, no indentation):
//   <profile>
//     <profileinfo name>
//       <keyitems>  <item key_code macro_type macro_value macro_value2 macro_value3
//                         macro_desc/>...
//       <Lightitems lightmode>  <item light_mode brightness speed direction colorful
//                         colorindex color_value1 ... color_value7/>...   (lit mice only)
//       <Mouse_DPI dpi_flag dpi_index dpi_count>  <DPI1 value color/> ... <DPI6 .../>
//       <Mouse>  <button_respondtime value/> <report_rate/> <sensor_flag/>
//                <liftoff_height/> <scroll_flag/> <e-sports_flag/> <sleep_light/>
//                <move_wakeup/> <move_closelight/>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/DataStore.h"

namespace quillora {

// Writes profile `profile` to `file` as it is (no extension is added). `name` is the
// profile's name as the main window's title shows it; `hasLighting` says whether the
// mouse has lighting, without which no Lightitems section is written. A setting without
// a row is written as an empty value. False when the file could not be written.
bool ExportProfile(DataStore& store, int profile, std::u16string_view name, bool hasLighting,
                   const std::filesystem::path& file);

struct ProfileImportResult {
    // False when the file was missing, unreadable, too large, not well formed or not a
    // profile file: the store was not touched.
    bool applied = false;
    // The profile's new name: the file's name without its last four characters.
    std::u16string name;
    // Setting keys whose text in the file could not be sent as it is (not a decimal
    // integer, or outside SendableRange); their stored values stayed. In file order.
    std::vector<std::string> skippedSettings;
};

// Reads `file` into profile `profile`. Past the root check it applies what it finds, in
// the order the export writes it: each section is looked for only after the one found
// before it, so an element placed earlier than one already found is passed over.
// - The profile is renamed to ProfileNameFromFileName of the file's name; the name in
//   the file is not read.
// - Every button assignment of the profile is cleared, then each keyitems item is saved
//   (an item with macro_value and macro_value2 both 0 stores nothing).
// - With lighting, the active mode is set from lightmode, and each item overwrites the
//   parameters of the profile's existing row for its light_mode; items for modes the
//   profile has no row for are skipped. Without lighting the section is ignored.
// - The DPI and mouse settings are copied where sendable (see skippedSettings).
// A store operation that fails is skipped and the import goes on.
ProfileImportResult ImportProfile(DataStore& store, int profile, const std::filesystem::path& file,
                                  bool hasLighting);

// The name an imported profile takes from the file's bare name: all but its last four
// UTF-16 units (the ".xml"), empty for four units or fewer. A surrogate pair that the
// cut would split is dropped whole rather than stored as half a character.
std::u16string ProfileNameFromFileName(std::u16string_view fileName);

}  // namespace quillora
