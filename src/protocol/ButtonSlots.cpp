#include "protocol/ButtonSlots.h"

#include "protocol/CommandCatalogue.h"
#include "protocol/KeyMaps.h"

namespace quillora {
namespace {

std::uint8_t Low8(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

ButtonSlot Slot(int code, int p1, int p2) {
    return {Low8(code), Low8(p1), Low8(p2)};
}

ButtonSlot MouseSlot(int v) {
    switch (v) {
        case 1:
            return Slot(0x10, 0x01, 0x00);
        case 2:
            return Slot(0x10, 0x04, 0x00);
        case 3:
            return Slot(0x10, 0x02, 0x00);
        case 4:
            return Slot(0x30, 0x32, 0x03);
        case 5:
            return Slot(0x10, 0x10, 0x00);
        case 6:
            return Slot(0x10, 0x08, 0x00);
        case 7:
            return Slot(0x20, 0x01, 0x00);
        case 8:
            return Slot(0x20, 0xFF, 0x00);
        case 9:
            return Slot(0x10, 0x00, 0xF5);
        case 10:
            return Slot(0x10, 0x00, 0xF6);
        default:
            return Slot(0x10, 0x00, 0x00);
    }
}

ButtonSlot MediaSlot(int v) {
    static constexpr int kUsages[][2] = {{0x83, 0x01}, {0xCD, 0x00}, {0xB7, 0x00}, {0xB6, 0x00},
                                         {0xB5, 0x00}, {0xE9, 0x00}, {0xEA, 0x00}, {0xE2, 0x00}};
    if (v >= 1 && v <= 8) {
        return Slot(0x80, kUsages[v - 1][0], kUsages[v - 1][1]);
    }
    return Slot(0x80, 0x00, 0x00);
}

ButtonSlot ShortcutSlot(int v) {
    static constexpr int kSlots[][3] = {{0x80, 0x6F, 0x00}, {0x80, 0x70, 0x00}, {0x80, 0x92, 0x01},
                                        {0x80, 0x94, 0x01}, {0x80, 0x23, 0x02}, {0x80, 0x8A, 0x01},
                                        {0x70, 0x08, 0x07}, {0x70, 0x08, 0x2B}, {0x70, 0x01, 0x06},
                                        {0x70, 0x01, 0x19}, {0x70, 0x01, 0x1B}};
    if (v >= 1 && v <= 11) {
        return Slot(kSlots[v - 1][0], kSlots[v - 1][1], kSlots[v - 1][2]);
    }
    return Slot(0x80, 0x00, 0x00);
}

ButtonSlot DpiSlot(int v) {
    switch (v) {
        case 1:
            return Slot(0x40, 0x02, 0x00);
        case 2:
            return Slot(0x40, 0x03, 0x00);
        case 3:
            return Slot(0x40, 0x01, 0x00);
        default:
            return Slot(0x40, 0x00, 0x00);
    }
}

// A keyboard slot is (0x70, modifier bits, usage). A lone modifier key is stored as its
// usage 0xE0-0xE7 with no modifier bits and travels as its bit instead. Only that case
// may go through the modifier map: keypad 3 and 4 (usages 0x5B and 0x5C) share their
// numbers with the Windows keys' virtual-key codes and would otherwise become bits.
ButtonSlot KeyboardSlot(int usage, int modifiers) {
    if (modifiers == 0 && usage >= 0xE0 && usage <= 0xE7) {
        return Slot(0x70, MapModifier(usage), 0x00);
    }
    return Slot(0x70, modifiers, usage);
}

ButtonSlot MacroSlot(int key_code, const MacroPlayMode& play) {
    int bits = 0;
    int count = 0;
    if (play.play_type == 1 || play.play_type == 3) {
        bits = 0x10;
    } else if (play.play_type == 2) {
        bits = 0x40;
    } else {
        bits = 0x20;
        if (play.play_times >= 1) {
            count = play.play_times;
        }
    }
    return Slot(0x90, key_code + bits, count);
}

}  // namespace

ButtonSlot DefaultSlot(int key_code) {
    switch (key_code) {
        case 0:
            return Slot(0x10, 0x01, 0x00);
        case 1:
            return Slot(0x10, 0x02, 0x00);
        case 2:
            return Slot(0x10, 0x04, 0x00);
        case 3:
            return Slot(0x10, 0x08, 0x00);
        case 4:
            return Slot(0x10, 0x10, 0x00);
        case 5:
            return Slot(0x40, 0x01, 0x00);
        default:
            return {};
    }
}

void ApplyAssignment(ButtonSlot& slot, const ButtonAssignment& a,
                     const std::optional<MacroPlayMode>& macro) {
    switch (a.type) {
        case kFunctionMouse:
            slot = MouseSlot(a.value);
            break;
        case kFunctionKeyboard:
            slot = KeyboardSlot(a.value & 0xFF, a.value2 & 0xFF);
            break;
        case kFunctionMedia:
            slot = MediaSlot(a.value);
            break;
        case kFunctionMacro:
            if (macro) {
                slot = MacroSlot(a.key_code, *macro);
            }
            break;
        case kFunctionDpi:
            slot = DpiSlot(a.value);
            break;
        case kFunctionSpecial:
            // Keeps what the slot held before in the bytes it does not set.
            slot.code = 0x60;
            if (a.value == 1) {
                slot.param1 = 0x04;
            } else if (a.value == 2) {
                slot.param1 = 0x01;
            }
            break;
        case kFunctionFire:
            slot = Slot(0x30, a.value, a.value2);
            break;
        case kFunctionShortcut:
            slot = ShortcutSlot(a.value);
            break;
        case kFunctionDisabled:
            slot = Slot(0x60, 0x00, 0x00);
            break;
        default:
            break;
    }
}

ButtonSlotTable BuildSlotTable(std::span<const ButtonAssignment> assignments,
                               const MacroLookup& lookup_macro) {
    ButtonSlotTable table;
    for (int k = 0; k < kSlotCount; ++k) {
        table[k] = DefaultSlot(k);
    }
    for (const ButtonAssignment& a : assignments) {
        if (a.key_code < 0 || a.key_code >= kSlotCount) {
            continue;
        }
        std::optional<MacroPlayMode> macro;
        if (a.type == kFunctionMacro && lookup_macro) {
            macro = lookup_macro(a.value);
        }
        ApplyAssignment(table[a.key_code], a, macro);
    }
    return table;
}

ReportFrame EncodeButtonTable(const ButtonSlotTable& slots) {
    ReportFrame frame = cmd::MakeWrite(cmd::kSetButtonTable, 0x0F);
    for (int k = 0; k < kSlotsInFrame; ++k) {
        frame[request::kPayload + 3 * k] = slots[k].code;
        frame[request::kPayload + 3 * k + 1] = slots[k].param1;
        frame[request::kPayload + 3 * k + 2] = slots[k].param2;
    }
    StoreChecksum(frame);
    return frame;
}

}  // namespace quillora
