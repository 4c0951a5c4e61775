#include "pages/KeyCapture.h"

#include "pages/KeyNames.h"

namespace quillora {
namespace {

struct Side {
    int generic, left, right;
    std::uint8_t leftBit, rightBit;
};

constexpr Side kSides[] = {
    {16, 160, 161, 2, 32},  // Shift
    {17, 162, 163, 1, 16},  // Ctrl
    {18, 164, 165, 4, 64},  // Alt
};

constexpr std::uint8_t kWindowsBit = 8;

const Side* SideOf(int virtualKey) {
    for (const Side& side : kSides) {
        if (virtualKey == side.generic || virtualKey == side.left || virtualKey == side.right) {
            return &side;
        }
    }
    return nullptr;
}

// Keypad keys reported without the extended flag, and their keypad codes.
int KeypadCode(int virtualKey) {
    switch (virtualKey) {
        case 45:
            return 96;
        case 35:
            return 97;
        case 40:
            return 98;
        case 34:
            return 99;
        case 37:
            return 100;
        case 12:
            return 101;
        case 39:
            return 102;
        case 36:
            return 103;
        case 38:
            return 104;
        case 33:
            return 105;
        case 46:
            return 110;
        default:
            return 0;
    }
}

}  // namespace

int ModifierWord::RefineModifier(const KeyReport& report, const KeyDownQuery& isDown) {
    const Side* side = SideOf(report.virtualKey);
    if (side == nullptr) {
        return report.virtualKey;
    }
    auto down = [&](int code) {
        if (isDown)
            return isDown(code);
        return (bits_ & (code == side->left ? side->leftBit : side->rightBit)) != 0;
    };
    if (!report.released) {
        int code = report.virtualKey;
        if (code == side->generic)
            code = down(side->left) ? side->left : side->right;
        bits_ |= code == side->left ? side->leftBit : side->rightBit;
        return code;
    }
    if (report.virtualKey == side->left) {
        bits_ &= static_cast<std::uint8_t>(~side->leftBit);
        return side->left;
    }
    if (report.virtualKey == side->right) {
        bits_ &= static_cast<std::uint8_t>(~side->rightBit);
        return side->right;
    }
    // A generic release: the left key when it was held and is up now.
    if ((bits_ & side->leftBit) != 0 && !(isDown && isDown(side->left))) {
        bits_ &= static_cast<std::uint8_t>(~side->leftBit);
        return side->left;
    }
    bits_ &= static_cast<std::uint8_t>(~side->rightBit);
    return side->right;
}

KeyEvent ModifierWord::Parse(const KeyReport& report, const KeyDownQuery& isDown) {
    KeyEvent event;
    event.device = report.device;
    if (report.device != InputDevice::Keyboard) {
        return event;
    }
    event.direction = report.released ? 1 : 0;
    int code = RefineModifier(report, isDown);
    if (code == 91 || code == 92) {
        if (code == 91 && isDown && isDown(92) && !isDown(91))
            code = 92;
        if (report.released) {
            bits_ &= static_cast<std::uint8_t>(~kWindowsBit);
        } else {
            bits_ |= kWindowsBit;
        }
    }
    event.code = code;
    event.name = KeyName(code);
    // Keypad refinements come last; the name stays the one of the unrefined key.
    if (!report.extended) {
        if (const int keypad = KeypadCode(code))
            event.code = keypad;
    } else if (code == 13) {
        event.code = 108;
        event.name = u"Num Enter";
    }
    if (report.virtualKey == 255 && report.scanCode == 125) {
        event.code = 137;
        event.name = u"\uFFE5";
    }
    return event;
}

std::u16string ModifierText(int modifierBits) {
    std::u16string text;
    const struct {
        int bit;
        const char16_t* name;
    } order[] = {{2, u"Shift"}, {1, u"Ctrl"}, {8, u"Win"}, {4, u"Alt"}};
    for (const auto& m : order) {
        if ((modifierBits & m.bit) == 0)
            continue;
        text += text.empty() ? std::u16string(m.name) : u"+ " + std::u16string(m.name);
    }
    return text;
}

}  // namespace quillora
