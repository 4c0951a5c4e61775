// Arbitrary bytes as a single-macro file. The import reports what it stored, and the
// macro it made exports and imports again as the same macro.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzStore.h"
#include "exchange/MacroFile.h"

using quillora::fuzzing::Check;
using quillora::fuzzing::EventContent;
using quillora::fuzzing::FuzzStore;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzStore& fixture = FuzzStore::Get();
    fixture.Reset();
    quillora::DataStore& store = fixture.store();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const quillora::MacroImportResult result = quillora::ImportMacro(store, fixture.Input(bytes));
    std::vector<quillora::MacroRecord> macros;
    store.ListMacros(macros);
    Check(macros.size() == result.macros.size());
    if (!result.applied) {
        Check(macros.empty());
        return 0;
    }
    Check(result.macros.size() == 1);
    const quillora::ImportedMacro& imported = result.macros[0];
    const auto events = EventContent(store, imported.macro_id);
    Check(static_cast<int>(events.size()) == imported.records);
    Check(quillora::fuzzing::CountStreamEvents(events) == imported.streamEvents);

    const std::string out = fixture.Output("macro.xml");
    Check(quillora::ExportMacro(store, imported.macro_id, imported.name, out));
    const auto again = quillora::ImportMacro(store, out);
    Check(again.macros.size() == 1);
    quillora::MacroRecord first, second;
    Check(store.GetMacro(imported.macro_id, first));
    Check(store.GetMacro(again.macros[0].macro_id, second));
    second.macro_id = first.macro_id;
    Check(first == second);
    Check(EventContent(store, again.macros[0].macro_id) == events);
    return 0;
}
