#include "protocol/ProfileSetup.h"

#include "app/Utf8.h"
#include "protocol/DefaultLights.h"

namespace quillora {
namespace {

std::u16string ProfileWord(const TextLookup& text) {
    std::u16string word = text ? text(kTextProfile) : std::u16string();
    return word.empty() ? std::u16string(u"Profile") : word;
}

}  // namespace

int InitialiseProfiles(DeviceContext& context, const TextLookup& text) {
    DataStore& store = context.store;
    const DeviceState state = context.session.Snapshot();
    const std::string descriptionPath =
        DescriptionFilePath(context.applicationFolder, state.openModelAttr);

    std::vector<ProfileRecord> profiles;
    if (store.ListProfiles(profiles) == 0 && store.IsOpen()) {
        const std::u16string word = ProfileWord(text);
        const SettingValues defaults = ReadDescriptionDefaults(descriptionPath, false);
        for (int k = 1; k <= 4; ++k) {
            ProfileRecord record;
            record.name = word + u" " + FromUtf8(std::to_string(k));
            store.AddProfile(record);
            // A fresh table numbers its rows 1 to 4.
            for (const auto& [key, value] : defaults) {
                store.SetSetting(k, key, value);
            }
        }
        store.SetActiveProfile(1);
    }

    int current = store.GetActiveProfile();
    if (current < 1) {
        store.SetActiveProfile(1);
        current = store.GetActiveProfile();
    }
    context.session.Update([&](DeviceState& s) { s.currentProfile = current; });

    const std::array<bool, 6> modes = context.description.Snapshot().lightModes;
    store.ListProfiles(profiles);
    for (const ProfileRecord& p : profiles) {
        EnsureDefaultLights(store, p.profile, modes);
    }
    context.view.RefreshPages(kRefreshProfiles);
    return current;
}

}  // namespace quillora
