// Task 20: the mouse restores its factory settings, and the store follows with the
// model's description defaults in every profile.

#include "app/MainView.h"
#include "protocol/WriteFrames.h"
#include "protocol/WriteTaskSupport.h"
#include "protocol/WriteTasks.h"

namespace quillora {

using write_tasks::ApplyDescriptionDefaults;
using write_tasks::RefreshPages;

namespace {

constexpr int kProfileCount = 4;
// Button rows are cleared through profile 5, one past the four, so that rows stored
// under a stray profile number cannot come back with a later profile.
constexpr int kLastProfileWithKeys = 5;

void MakeCurrent(DeviceContext& context, int profile) {
    context.session.Update([profile](DeviceState& s) { s.currentProfile = profile; });
}

}  // namespace

bool RestoreDefaultsTask(DeviceContext& context, const WriteTaskHooks& hooks) {
    // The mouse is read afresh next time: its settings are about to be the factory's.
    context.session.Update([](DeviceState& s) { s.devicesRead.clear(); });
    // The mouse's answer changes nothing here: the store is reset either way.
    const bool restored =
        write_tasks::SendFrame(context, hooks, EncodeRestoreDefaults(), FrameSize::Short,
                               write_tasks::OnFailure::TraceOnly);

    if (hooks.prepareProfiles) {
        hooks.prepareProfiles();
    }
    for (int profile = 1; profile <= kProfileCount; ++profile) {
        MakeCurrent(context, profile);
        ApplyDescriptionDefaults(context, profile, false);
    }
    MakeCurrent(context, 1);
    // The current profile is always the one marked active, so the next start-up read
    // finds profile 1 too.
    context.store.SetActiveProfile(1);
    for (int profile = 1; profile <= kLastProfileWithKeys; ++profile) {
        context.store.DeleteKeysOfProfile(profile);
    }

    const bool lighting = write_tasks::HasLighting(context);
    RefreshPages(
        context, hooks,
        kRefreshProfiles | (lighting ? kRefreshLighting : 0u) | kRefreshButtons | kRefreshMacros);
    ApplyDescriptionDefaults(context, 1, false);
    RefreshPages(context, hooks, kRefreshDpi | (lighting ? kRefreshLighting : 0u));
    return restored;
}

}  // namespace quillora
