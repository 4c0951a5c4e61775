#include "protocol/KeyMaps.h"

namespace quillora {

int MapVirtualKey(int vk) {
    if (vk >= 0x41 && vk <= 0x5A) {
        return vk - 0x3D;  // A..Z
    }
    if (vk >= 0x31 && vk <= 0x39) {
        return vk - 0x13;  // 1..9
    }
    if (vk >= 0x70 && vk <= 0x7B) {
        return vk - 0x36;  // F1..F12
    }
    if (vk >= 0x7C && vk <= 0x87) {
        return vk - 0x14;  // F13..F24
    }
    if (vk >= 0x61 && vk <= 0x69) {
        return vk - 0x08;  // keypad 1..9
    }
    switch (vk) {
        case 0x30:
            return 0x27;
        case 0x0D:
            return 0x28;
        case 0x1B:
            return 0x29;
        case 0x08:
            return 0x2A;
        case 0x09:
            return 0x2B;
        case 0x20:
            return 0x2C;
        case 0xBD:
            return 0x2D;
        case 0xBB:
            return 0x2E;
        case 0xDB:
            return 0x2F;
        case 0xDD:
            return 0x30;
        case 0xDC:
            return 0x31;
        case 666:
            return 0x32;
        case 0xBA:
            return 0x33;
        case 0xDE:
            return 0x34;
        case 0xC0:
            return 0x35;
        case 0xBC:
            return 0x36;
        case 0xBE:
            return 0x37;
        case 0xBF:
            return 0x38;
        case 0x14:
            return 0x39;
        case 0x2C:
            return 0x46;
        case 0x91:
            return 0x47;
        case 0x13:
            return 0x48;
        case 0x2D:
            return 0x49;
        case 0x24:
            return 0x4A;
        case 0x21:
            return 0x4B;
        case 0x2E:
            return 0x4C;
        case 0x23:
            return 0x4D;
        case 0x22:
            return 0x4E;
        case 0x27:
            return 0x4F;
        case 0x25:
            return 0x50;
        case 0x28:
            return 0x51;
        case 0x26:
            return 0x52;
        case 0x90:
            return 0x53;
        case 0x6F:
            return 0x54;
        case 0x6A:
            return 0x55;
        case 0x6D:
            return 0x56;
        case 0x6B:
            return 0x57;
        case 0x6C:
            return 0x58;
        case 0x60:
            return 0x62;
        case 0x6E:
            return 0x63;
        case 0xE2:
            return 0x64;
        case 0x5D:
            return 0x65;
        case 0xFE:
            return 0xAF;
        case 0xA2:
            return 0xE0;
        case 0xA0:
            return 0xE1;
        case 0xA4:
            return 0xE2;
        case 0x5B:
            return 0xE3;
        case 0xA3:
            return 0xE4;
        case 0xA1:
            return 0xE5;
        case 0xA5:
            return 0xE6;
        case 0x5C:
            return 0xE7;
        case 0x88:
        case 0x89:
        case 0x8A:
        case 0x8B:
            return vk;
        case 301:
            return 0xEC;
        case 302:
            return 0xEB;
        default:
            return 0;
    }
}

int MapModifier(int code) {
    switch (code) {
        case 0:
            return 0;
        case 0xA2:
        case 0xE0:
            return 0x01;
        case 0xA0:
        case 0xE1:
            return 0x02;
        case 0xA4:
        case 0xE2:
            return 0x04;
        case 0x5B:
        case 0xE3:
            return 0x08;
        case 0xA3:
        case 0xE4:
            return 0x10;
        case 0xA1:
        case 0xE5:
            return 0x20;
        case 0xA5:
        case 0xE6:
            return 0x40;
        case 0x5C:
        case 0xE7:
            return 0x80;
        default:
            return code;
    }
}

}  // namespace quillora
