// quillora-virtual-mouse-echo: the virtual mouse program unchanged, serving the echo
// firmware instead of the mouse model.

#include "EchoFirmware.h"
#include "virtualmouse/VirtualMouseMain.h"

namespace {

std::unique_ptr<quillora::virtualmouse::VirtualFirmware> MakeEchoFirmware(
    const quillora::virtualmouse::FirmwareOptions&) {
    return std::make_unique<quillora::kerneltest::EchoFirmware>();
}

}  // namespace

int main(int argc, char** argv) {
    return quillora::virtualmouse::RunVirtualMouse(argc, argv, &MakeEchoFirmware);
}
