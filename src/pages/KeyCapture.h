#pragma once

// Turning one keyboard input report into a key event with a Windows key code and a
// name, as the button page's key capture and the macro recorder need it. The toolkit
// layer delivers reports in Windows terms (virtual key, scan code, extended flag), so
// this logic is the same whatever the windowing system.

#include <cstdint>
#include <functional>
#include <string>

namespace quillora {

enum class InputDevice { Mouse = 0, Keyboard = 2, OtherHid = 3 };

struct KeyReport {
    InputDevice device = InputDevice::Keyboard;
    bool released = false;
    int virtualKey = 0;  // 16/17/18 for a modifier of unknown side, or 160-165
    int scanCode = 0;
    bool extended = false;  // the key sits in the extended block (not the keypad)
};

struct KeyEvent {
    InputDevice device = InputDevice::Mouse;
    int direction = 0;  // 0 pressed, 1 released
    int code = 0;
    std::u16string name;  // empty: the event is ignored
};

// Which modifier keys are held, remembered across reports: left Ctrl 1, left Shift 2,
// left Alt 4, either Windows key 8, right Ctrl 16, right Shift 32, right Alt 64.
class ModifierWord {
  public:
    // Whether a sided modifier key (160-165) or a Windows key (91, 92) is down now.
    using KeyDownQuery = std::function<bool(int virtualKey)>;

    // Parses one report. `isDown` answers which side of a generic modifier is held;
    // without it the word itself answers.
    KeyEvent Parse(const KeyReport& report, const KeyDownQuery& isDown = {});

    std::uint8_t Bits() const { return bits_; }
    void Reset() { bits_ = 0; }

  private:
    int RefineModifier(const KeyReport& report, const KeyDownQuery& isDown);
    std::uint8_t bits_ = 0;
};

// The modifier bits a button assignment uses (Shift 2, Ctrl 1, Win 8, Alt 4) and the
// text the button page shows for them: "Shift", then "+ Ctrl", "+ Win", "+ Alt".
std::u16string ModifierText(int modifierBits);

}  // namespace quillora
