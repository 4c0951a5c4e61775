#pragma once

// How button assignments become the mouse's 3-byte function slots, and the
// SetButtonTable frame that carries slots 0 to 8.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "device/ReportFrame.h"

namespace quillora {

struct ButtonSlot {
    std::uint8_t code = 0;
    std::uint8_t param1 = 0;
    std::uint8_t param2 = 0;
    friend bool operator==(const ButtonSlot&, const ButtonSlot&) = default;
};

// Room for key codes 0 to 20; the frame carries the first nine.
inline constexpr int kSlotCount = 21;
inline constexpr int kSlotsInFrame = 9;
using ButtonSlotTable = std::array<ButtonSlot, kSlotCount>;

// The function types of a stored assignment (its macro_type).
enum ButtonFunctionType : int {
    kFunctionMouse = 1,
    kFunctionKeyboard = 2,
    kFunctionMedia = 3,
    kFunctionMacro = 4,
    kFunctionDpi = 5,
    kFunctionSpecial = 6,
    kFunctionFire = 7,
    kFunctionShortcut = 8,
    kFunctionDisabled = 9,
};

// One stored assignment, as plain values (the store's KeyRecord fields the slot needs).
// For keyboard assignments `value` is the HID usage and `value2` the modifier bits.
struct ButtonAssignment {
    int key_code = 0;
    int type = 0;
    int value = 0;
    int value2 = 0;
};

// The play mode of the macro a type-4 assignment names.
struct MacroPlayMode {
    int play_type = 0;
    int play_times = 0;
};

// Looks a macro up by id; nothing when no macro has that id.
using MacroLookup = std::function<std::optional<MacroPlayMode>(int macro_id)>;

// The mouse's factory slot of a key code (0x00 0x00 0x00 above 5 and out of range).
ButtonSlot DefaultSlot(int key_code);

// Applies one assignment to the slot it belongs to. `macro` is the play mode of the
// macro a type-4 assignment names, or nothing when that macro does not exist (the slot
// then stays as it was); the other types ignore it. Unknown types leave the slot alone.
void ApplyAssignment(ButtonSlot& slot, const ButtonAssignment& assignment,
                     const std::optional<MacroPlayMode>& macro);

// Default slots overwritten by the assignments in order (a later one for the same key
// code wins); key codes outside 0-20 are skipped.
ButtonSlotTable BuildSlotTable(std::span<const ButtonAssignment> assignments,
                               const MacroLookup& lookup_macro);

// SetButtonTable (0x09) with slots 0 to 8, checksum stored; sent as 33 bytes.
ReportFrame EncodeButtonTable(const ButtonSlotTable& slots);

}  // namespace quillora
