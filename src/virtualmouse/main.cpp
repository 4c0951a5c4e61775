#include "virtualmouse/VirtualMouseMain.h"

int main(int argc, char** argv) {
    return quillora::virtualmouse::RunVirtualMouse(argc, argv,
                                                   &quillora::virtualmouse::MakeDefaultFirmware);
}
