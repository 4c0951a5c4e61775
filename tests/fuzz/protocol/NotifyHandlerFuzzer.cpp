// Feeds arbitrary reports to the notification handler, through discovery over a
// transport that plays the input back: the identification queries, the idle reads and
// whatever the handling asks (the re-read after a connection report) all take their
// replies from the input. Beyond not crashing, the shown DPI state must stay one the
// DPI page can show.

#include <cstdint>
#include <cstdlib>

#include "EngineFuzzContext.h"
#include "protocol/NotificationHandler.h"

using namespace quillora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Run run({data, size});
    run.session.Update([](DeviceState& s) { s.interfacesPresent = true; });
    for (int i = 0; i < 8; ++i) {
        HandleNotification(run.context);
    }
    HandleKeptNotifications(run.context);
    const DeviceState state = run.session.Snapshot();
    if (state.shownDpiCount < 0 || state.shownDpiCount > 6 || state.shownDpiIndex < 0 ||
        (state.shownDpiCount > 0 && state.shownDpiIndex >= state.shownDpiCount)) {
        std::abort();
    }
    return 0;
}
