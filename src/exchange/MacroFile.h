#pragma once

// Macro files, in two layouts that share the root element "macro":
// - a single-macro file, written from the macro list's selected macro:
//     <macro>
//       <macroinfo macro_name macro_type play_times delay_type delay_time/>
//       <macroitems>  <item desc index type value timestamp/>...
// - a macro collection file, every macro of the database in row order:
//     <macro>
//       <macro_item macro_name macro_type play_times delay_type delay_time>
//         <record_item>  <item desc index type value timestamp/>...
//       (a macro without events is an empty <macro_item .../>)
// macro_type is the store's play_type and timestamp the event's delay_time. Files are
// UTF-8 without byte-order mark, CR LF, one element per line, no indentation.
//
// The imports do not tell the layouts apart: each looks only for its own element names.
// A single import of a collection file therefore makes one macro with an empty name,
// zero settings and no events; a collection import of a single-macro file makes none.
// Imported macros are always new, whatever names the store already holds.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/DataStore.h"

namespace quillora {

// A macro stream carries four bytes per key or button event after the key code, in at
// most 15 frames of 27 bytes: (15 * 27 - 1) / 4 = 101 events.
inline constexpr int kMaxMacroStreamEvents = 101;

struct ImportedMacro {
    int macro_id = 0;
    std::u16string name;  // as stored; the list shows it through the default-name rule
    int records = 0;      // events stored, delays and wheel rows included
    // Key and mouse-button events (types 2 to 5): what the macro stream sends.
    int streamEvents = 0;

    // Whether the macro can be bound to a button: longer ones are kept as data, but
    // their stream would need more frames than the packet byte can count.
    bool FitsMacroStream() const { return streamEvents <= kMaxMacroStreamEvents; }
};

struct MacroImportResult {
    // False when the file was missing, unreadable, too large, not well formed or had
    // another root: the store was not touched.
    bool applied = false;
    // The macros created, in file order, to append to the macro list and the key page's
    // macro row. Can be empty even when applied.
    std::vector<ImportedMacro> macros;
};

// Writes macro `macroId` as a single-macro file. `listName` is the text of its macro
// list entry, written as macro_name; the other header fields and the events come from
// the store. False when the file could not be written.
bool ExportMacro(DataStore& store, int macroId, std::u16string_view listName,
                 const std::filesystem::path& file);

// Creates one macro from a single-macro file: the header from macroinfo (a missing
// element reads as an empty name and zeros), the events from macroitems with their
// record_index taken from index as it stands. Nothing is created when the store refuses
// the header.
MacroImportResult ImportMacro(DataStore& store, const std::filesystem::path& file);

// Writes every macro of the store, with its stored name, as a macro collection file.
bool ExportMacroCollection(DataStore& store, const std::filesystem::path& file);

// Creates one macro per macro_item of a collection file, with the events of its
// record_item; a macro_item the store refuses is passed over.
MacroImportResult ImportMacroCollection(DataStore& store, const std::filesystem::path& file);

}  // namespace quillora
