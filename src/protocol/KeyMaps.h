#pragma once

// The two key tables shared by the keyboard slot encoding and the macro stream. Stored
// key codes are Windows virtual-key codes (so profile files move between systems); the
// mouse wants HID keyboard usages (page 0x07) and modifier bits.

namespace quillora {

// Windows virtual-key code to HID keyboard usage; 0 for codes with no usage. Also takes
// the key editor's own codes 301, 302 (0xEC, 0xEB) and 666 (non-US hash, 0x32).
int MapVirtualKey(int virtual_key);

// A modifier key, given as its virtual-key code or as its HID usage 0xE0-0xE7, to its
// modifier bit. Any other input comes back unchanged.
int MapModifier(int code);

}  // namespace quillora
