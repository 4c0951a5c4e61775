#include "exchange/MacroFile.h"

#include "app/Decimal.h"
#include "app/Utf8.h"
#include "exchange/ExchangeDocument.h"
#include "formats/XmlDocument.h"

namespace quillora {
namespace {

constexpr std::u16string_view kRoot = u"macro";

void WriteHeader(XmlDocument& doc, const MacroRecord& macro, std::u16string_view name) {
    doc.SetAttribute(u"macro_name", name);
    doc.SetAttribute(u"macro_type", macro.play_type);
    doc.SetAttribute(u"play_times", macro.play_times);
    doc.SetAttribute(u"delay_type", macro.delay_type);
    doc.SetAttribute(u"delay_time", macro.delay_time);
}

// The header of the current element; without one every field reads empty or 0.
MacroRecord ReadHeader(const XmlDocument& doc) {
    MacroRecord macro;
    macro.name = doc.GetAttribute(u"macro_name");
    macro.play_type = DecimalToInt(doc.GetAttribute(u"macro_type"));
    macro.play_times = DecimalToInt(doc.GetAttribute(u"play_times"));
    macro.delay_type = DecimalToInt(doc.GetAttribute(u"delay_type"));
    macro.delay_time = DecimalToInt(doc.GetAttribute(u"delay_time"));
    return macro;
}

// One item per event, as children of the entered element.
void WriteEvents(XmlDocument& doc, const std::vector<MacroEventRecord>& events) {
    for (const MacroEventRecord& event : events) {
        doc.AddElement(u"item");
        doc.SetAttribute(u"desc", event.desc);
        doc.SetAttribute(u"index", event.record_index);
        doc.SetAttribute(u"type", event.type);
        doc.SetAttribute(u"value", event.value);
        doc.SetAttribute(u"timestamp", event.delay_time);
    }
}

// Every item among the entered element's children, in file order.
std::vector<MacroEventRecord> ReadEvents(XmlDocument& doc) {
    std::vector<MacroEventRecord> events;
    while (doc.FindElement(u"item")) {
        MacroEventRecord& event = events.emplace_back();
        event.desc = doc.GetAttribute(u"desc");
        event.record_index = DecimalToInt(doc.GetAttribute(u"index"));
        event.type = DecimalToInt(doc.GetAttribute(u"type"));
        event.value = DecimalToInt(doc.GetAttribute(u"value"));
        event.delay_time = DecimalToInt(doc.GetAttribute(u"timestamp"));
    }
    return events;
}

int CountStreamEvents(const std::vector<MacroEventRecord>& events) {
    int count = 0;
    for (const MacroEventRecord& event : events) {
        if (event.type >= 2 && event.type <= 5) {
            ++count;
        }
    }
    return count;
}

// Stores the events of a new macro in one transaction and describes what was stored.
ImportedMacro StoreEvents(DataStore& store, int macroId, const MacroRecord& header,
                          std::vector<MacroEventRecord> events) {
    ImportedMacro imported;
    imported.macro_id = macroId;
    // The list shows the name as the store keeps it, after its UTF-8 round trip.
    imported.name = FromUtf8(ToUtf8(header.name));
    if (!events.empty() && !store.ReplaceMacroEvents(macroId, events)) {
        // Rows the store refused were skipped; count what is actually there.
        store.ListMacroEvents(macroId, events);
    }
    imported.records = static_cast<int>(events.size());
    imported.streamEvents = CountStreamEvents(events);
    return imported;
}

}  // namespace

bool ExportMacro(DataStore& store, int macroId, std::u16string_view listName,
                 const std::filesystem::path& file) {
    MacroRecord macro;
    store.GetMacro(macroId, macro);
    std::vector<MacroEventRecord> events;
    store.ListMacroEvents(macroId, events);

    XmlDocument doc;
    StartExchangeDocument(doc);
    doc.AddElement(kRoot);
    doc.EnterElement();
    doc.AddElement(u"macroinfo");
    WriteHeader(doc, macro, listName);
    doc.AddElement(u"macroitems");
    doc.EnterElement();
    WriteEvents(doc, events);
    doc.LeaveElement();
    return doc.SaveFile(file);
}

MacroImportResult ImportMacro(DataStore& store, const std::filesystem::path& file) {
    MacroImportResult result;
    XmlDocument doc;
    if (!OpenExchangeFile(doc, file, kRoot)) {
        return result;
    }
    result.applied = true;
    doc.EnterElement();
    // Found or not: a missing macroinfo leaves no current element, and reads as zeros.
    doc.FindElement(u"macroinfo");
    const MacroRecord header = ReadHeader(doc);
    const int macroId = store.CreateMacro(header);
    if (macroId == 0) {
        return result;
    }
    std::vector<MacroEventRecord> events;
    if (doc.FindElement(u"macroitems")) {
        doc.EnterElement();
        events = ReadEvents(doc);
        doc.LeaveElement();
    }
    result.macros.push_back(StoreEvents(store, macroId, header, std::move(events)));
    return result;
}

bool ExportMacroCollection(DataStore& store, const std::filesystem::path& file) {
    std::vector<MacroRecord> macros;
    store.ListMacros(macros);

    XmlDocument doc;
    StartExchangeDocument(doc);
    doc.AddElement(kRoot);
    doc.EnterElement();
    std::vector<MacroEventRecord> events;
    for (const MacroRecord& macro : macros) {
        doc.AddElement(u"macro_item");
        WriteHeader(doc, macro, macro.name);
        store.ListMacroEvents(macro.macro_id, events);
        if (events.empty()) {
            continue;  // stays an empty element
        }
        doc.EnterElement();
        doc.AddElement(u"record_item");
        doc.EnterElement();
        WriteEvents(doc, events);
        doc.LeaveElement();
        doc.LeaveElement();
    }
    return doc.SaveFile(file);
}

MacroImportResult ImportMacroCollection(DataStore& store, const std::filesystem::path& file) {
    MacroImportResult result;
    XmlDocument doc;
    if (!OpenExchangeFile(doc, file, kRoot)) {
        return result;
    }
    result.applied = true;
    doc.EnterElement();
    while (doc.FindElement(u"macro_item")) {
        const MacroRecord header = ReadHeader(doc);
        const int macroId = store.CreateMacro(header);
        if (macroId == 0) {
            continue;
        }
        std::vector<MacroEventRecord> events;
        doc.EnterElement();
        if (doc.FindElement(u"record_item")) {
            doc.EnterElement();
            events = ReadEvents(doc);
            doc.LeaveElement();
        }
        doc.LeaveElement();
        result.macros.push_back(StoreEvents(store, macroId, header, std::move(events)));
    }
    return result;
}

}  // namespace quillora
