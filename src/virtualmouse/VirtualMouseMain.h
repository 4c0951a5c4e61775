#pragma once

// The whole program behind quillora-virtual-mouse, with the firmware supplied by the
// caller, so the same program serves the real mouse model or a test firmware.
// Exit codes: 0 stopped cleanly, 1 the devices could not be served, 2 bad usage.

#include "virtualmouse/VirtualFirmware.h"

namespace quillora::virtualmouse {

int RunVirtualMouse(int argc, char** argv, FirmwareFactory makeFirmware);

// The firmware the installed program serves.
std::unique_ptr<VirtualFirmware> MakeDefaultFirmware(const FirmwareOptions& options);

}  // namespace quillora::virtualmouse
