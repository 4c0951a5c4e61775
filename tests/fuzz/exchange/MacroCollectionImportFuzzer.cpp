// Arbitrary bytes as a macro collection file. The import reports what it stored, and
// the collection exported afterwards imports again as the same macros.

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

    const quillora::MacroImportResult result =
        quillora::ImportMacroCollection(store, fixture.Input(bytes));
    std::vector<quillora::MacroRecord> macros;
    store.ListMacros(macros);
    Check(macros.size() == result.macros.size());
    if (!result.applied) {
        Check(macros.empty());
        return 0;
    }
    for (size_t i = 0; i < macros.size(); ++i) {
        const quillora::ImportedMacro& imported = result.macros[i];
        Check(imported.macro_id == macros[i].macro_id && imported.name == macros[i].name);
        const auto events = EventContent(store, imported.macro_id);
        Check(static_cast<int>(events.size()) == imported.records);
        Check(quillora::fuzzing::CountStreamEvents(events) == imported.streamEvents);
    }

    const std::string out = fixture.Output("collection.xml");
    Check(quillora::ExportMacroCollection(store, out));
    const auto again = quillora::ImportMacroCollection(store, out);
    Check(again.macros.size() == macros.size());
    for (size_t i = 0; i < macros.size(); ++i) {
        quillora::MacroRecord copy;
        Check(store.GetMacro(again.macros[i].macro_id, copy));
        copy.macro_id = macros[i].macro_id;
        Check(copy == macros[i]);
        Check(EventContent(store, copy.macro_id) == EventContent(store, again.macros[i].macro_id));
    }
    return 0;
}
