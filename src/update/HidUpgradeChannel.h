#pragma once

// The firmware upgrade reports' way to the mouse: the upgrade interface HidDeviceLink
// holds. The link does the one-report exchange itself (write; after a failed write a
// second write and a read of the answer, waiting on the link's clock) and logs every
// report with the interface letter 'U'.

#include "device/HidDeviceLink.h"
#include "update/FirmwareUpgrade.h"

namespace quillora {

class HidUpgradeChannel {
  public:
    explicit HidUpgradeChannel(HidDeviceLink& link) : link_(link) {}

    // Opens the upgrade interface of the mouse the link reaches now (same vendor and
    // product id as the current interface, usage page 0xFFEF, usage 0) and hands it to
    // the link, which holds it from then on; an earlier one is closed. Without a
    // current interface or an upgrade interface the link holds none. True when one is
    // held.
    bool Open();

    // Sends through the link's upgrade interface. Every send fails at once while the
    // link holds none.
    UpgradeReportSender Sender() const;

  private:
    HidDeviceLink& link_;
};

}  // namespace quillora
