// Arbitrary bytes as a profile file. Whatever the file holds, every setting the mouse
// is sent stays sendable, and what the import left exports and imports again unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzStore.h"
#include "exchange/ProfileFile.h"
#include "exchange/SettingLimits.h"

namespace {

using quillora::fuzzing::Check;
using quillora::fuzzing::FuzzStore;

// The settings a profile file carries.
constexpr std::string_view kCopiedSettings[] = {
    "dpi_flag",         "dpi_index",        "dpi_count",        "dpi_group0_value",
    "dpi_group1_value", "dpi_group2_value", "dpi_group3_value", "dpi_group4_value",
    "dpi_group5_value", "dpi_group0_rgb",   "dpi_group1_rgb",   "dpi_group2_rgb",
    "dpi_group3_rgb",   "dpi_group4_rgb",   "dpi_group5_rgb",   "button_respondtime",
    "report_rate",      "sensor_flag",      "liftoff_height",   "scroll_flag",
    "e-sports_flag",    "sleep_light",      "move_wakeup",      "move_closelight",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzStore& fixture = FuzzStore::Get();
    fixture.Reset();
    quillora::DataStore& store = fixture.store();
    const bool lit = size % 2 == 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const quillora::ProfileImportResult result =
        quillora::ImportProfile(store, 1, fixture.Input(bytes), lit);
    if (!result.applied) {
        Check(result.skippedSettings.empty());
        std::u16string name;
        Check(store.GetProfileName(1, name) && name == u"Profile 1");
        return 0;
    }
    Check(result.name == u"input");
    for (std::string_view key : kCopiedSettings) {
        std::u16string value;
        Check(store.GetSetting(1, key, value));
        Check(quillora::IsSendableSettingValue(key, value));
    }

    const std::string first = fixture.Output("first.xml");
    const std::string second = fixture.Output("second.xml");
    Check(quillora::ExportProfile(store, 1, u"fuzz", lit, first));
    const auto again = quillora::ImportProfile(store, 2, first, lit);
    Check(again.applied && again.skippedSettings.empty());
    Check(quillora::ExportProfile(store, 2, u"fuzz", lit, second));
    Check(quillora::fuzzing::ReadAll(first) == quillora::fuzzing::ReadAll(second));
    return 0;
}
