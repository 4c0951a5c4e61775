#pragma once

// The connection-state refresh run after a read finds the mouse not connected and after
// a failed single-frame write: through a receiver, a failure most often means the
// wireless mouse dropped out or came back, so the window's connection display is
// brought up to date. A cabled mouse changes nothing.

#include "device/DeviceContext.h"

namespace quillora {

void RefreshLinkState(DeviceContext& context);

}  // namespace quillora
