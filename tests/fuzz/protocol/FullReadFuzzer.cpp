// Feeds the full read arbitrary replies: discovery identifies (or not) the interface
// from the input, then every query of the read takes its reply from the rest. Beyond
// not crashing, what the read takes over must stay within the sensor table's rows.

#include <cstdint>
#include <cstdlib>

#include "EngineFuzzContext.h"
#include "protocol/ConfigRead.h"
#include "protocol/NotificationHandler.h"

using namespace quillora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Run run({data, size});
    ReadDeviceConfig(run.context);
    HandleKeptNotifications(run.context);
    const DeviceState state = run.session.Snapshot();
    if (state.dpiMinimum < 50 || state.dpiMaximum > 38000 || state.dpiMinimum >= state.dpiMaximum ||
        state.reportRateCapability < 4 || state.reportRateCapability > 7) {
        std::abort();
    }
    return 0;
}
