#pragma once

// Readable names of Windows virtual-key codes. Stored key codes stay Windows codes on
// every system, so exported macros and profiles move between systems; the names are
// the ones a US-English Windows keyboard layout shows.

#include <string>

namespace quillora {

// The name shown for a key code; empty for codes no key of that layout produces.
std::u16string KeyName(int virtualKey);

// The key code of a name, compared without regard to ASCII case ("f5", "Space");
// 0 when no code has that name.
int KeyCodeFromName(std::u16string_view name);

}  // namespace quillora
