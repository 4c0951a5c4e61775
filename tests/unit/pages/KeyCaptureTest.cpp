#include <gtest/gtest.h>

#include <set>

#include "pages/KeyCapture.h"
#include "pages/KeyNames.h"

namespace quillora {
namespace {

KeyReport Press(int vk, bool extended = false, int scan = 0) {
    return KeyReport{InputDevice::Keyboard, false, vk, scan, extended};
}
KeyReport Release(int vk, bool extended = false) {
    return KeyReport{InputDevice::Keyboard, true, vk, 0, extended};
}

TEST(KeyNames, UsEnglishNames) {
    const struct {
        int code;
        const char16_t* name;
    } cases[] = {
        {'A', u"A"},
        {'Z', u"Z"},
        {'0', u"0"},
        {8, u"Backspace"},
        {13, u"Enter"},
        {19, u"Pause"},
        {27, u"Esc"},
        {32, u"Space"},
        {33, u"Page Up"},
        {40, u"Down"},
        {44, u"Print Screen"},
        {46, u"Delete"},
        {91, u"Windows"},
        {92, u"RWindows"},
        {93, u"Application"},
        {96, u"Num 0"},
        {105, u"Num 9"},
        {106, u"Num *"},
        {110, u"Num Del"},
        {112, u"F1"},
        {123, u"F12"},
        {135, u"F24"},
        {144, u"Num Lock"},
        {160, u"Shift"},
        {161, u"RShift"},
        {162, u"Ctrl"},
        {163, u"RCtrl"},
        {164, u"Alt"},
        {165, u"RAlt"},
        {186, u";"},
        {192, u"`"},
        {222, u"'"},
        {0, u""},
        {7, u""},
        {136, u""},
        {255, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyName(c.code), c.name) << c.code;
    }
}

TEST(KeyNames, NamesLeadBackToTheirCodes) {
    EXPECT_EQ(KeyCodeFromName(u"b"), 'B');
    EXPECT_EQ(KeyCodeFromName(u"F5"), 116);
    EXPECT_EQ(KeyCodeFromName(u"space"), 32);
    EXPECT_EQ(KeyCodeFromName(u"SHIFT"), 160);
    EXPECT_EQ(KeyCodeFromName(u"rctrl"), 163);
    EXPECT_EQ(KeyCodeFromName(u"Num 5"), 101);  // the keypad code, not Clear
    EXPECT_EQ(KeyCodeFromName(u"Num Enter"), 108);
    EXPECT_EQ(KeyCodeFromName(u"nosuchkey"), 0);
    EXPECT_EQ(KeyCodeFromName(u""), 0);
    // Every named code other than the generic modifiers finds itself or a key with the
    // very same name.
    for (int code = 1; code < 255; ++code) {
        const std::u16string name = KeyName(code);
        if (name.empty())
            continue;
        EXPECT_EQ(KeyName(KeyCodeFromName(name)), name) << code;
    }
}

TEST(KeyCapture, GenericModifiersGetTheirSide) {
    ModifierWord word;
    const std::set<int> held = {161};  // the right Shift
    auto isDown = [&](int vk) { return held.count(vk) > 0; };
    KeyEvent e = word.Parse(Press(16), isDown);
    EXPECT_EQ(e.code, 161);
    EXPECT_EQ(e.name, u"RShift");
    EXPECT_EQ(word.Bits(), 32);
    e = word.Parse(Release(16), [](int) { return false; });
    EXPECT_EQ(e.code, 161);
    EXPECT_EQ(e.direction, 1);
    EXPECT_EQ(word.Bits(), 0);
}

TEST(KeyCapture, ReleaseReportsTheLeftKeyWhenItWasHeldAndIsUp) {
    ModifierWord word;
    std::set<int> held = {162, 163};  // both Ctrl keys
    auto isDown = [&](int vk) { return held.count(vk) > 0; };
    EXPECT_EQ(word.Parse(Press(17), isDown).code, 162);  // left is down: left
    word.Parse(Press(163), isDown);
    EXPECT_EQ(word.Bits(), 1 | 16);
    held.erase(163);  // right goes up first: left is still down, so the right one
    EXPECT_EQ(word.Parse(Release(17), isDown).code, 163);
    EXPECT_EQ(word.Bits(), 1);
    held.erase(162);
    EXPECT_EQ(word.Parse(Release(17), isDown).code, 162);
    EXPECT_EQ(word.Bits(), 0);
}

TEST(KeyCapture, WindowsKeysSetTheSharedBit) {
    ModifierWord word;
    auto onlyRight = [](int vk) { return vk == 92; };
    KeyEvent e = word.Parse(Press(91), onlyRight);
    EXPECT_EQ(e.code, 92);
    EXPECT_EQ(e.name, u"RWindows");
    EXPECT_EQ(word.Bits(), 8);
    word.Parse(Release(92));
    EXPECT_EQ(word.Bits(), 0);
    EXPECT_EQ(word.Parse(Press(91)).name, u"Windows");
}

TEST(KeyCapture, KeypadKeysWithoutExtendedFlag) {
    const struct {
        int vk;
        bool extended;
        int code;
        const char16_t* name;
    } cases[] = {
        {36, false, 103, u"Home"},  // keypad 7 with Num Lock off
        {36, true, 36, u"Home"},    // the Home key itself
        {45, false, 96, u"Insert"},    {35, false, 97, u"End"},       {40, false, 98, u"Down"},
        {34, false, 99, u"Page Down"}, {37, false, 100, u"Left"},     {12, false, 101, u"Num 5"},
        {39, false, 102, u"Right"},    {38, false, 104, u"Up"},       {33, false, 105, u"Page Up"},
        {46, false, 110, u"Delete"},   {13, true, 108, u"Num Enter"}, {13, false, 13, u"Enter"},
        {103, false, 103, u"Num 7"},  // Num Lock on: the keypad code comes as it is
    };
    for (const auto& c : cases) {
        ModifierWord word;
        const KeyEvent e = word.Parse(Press(c.vk, c.extended));
        EXPECT_EQ(e.code, c.code) << c.vk << " " << c.extended;
        EXPECT_EQ(e.name, c.name) << c.vk << " " << c.extended;
    }
}

TEST(KeyCapture, YenKeyAndOtherDevices) {
    ModifierWord word;
    KeyEvent e = word.Parse(Press(255, false, 125));
    EXPECT_EQ(e.code, 137);
    EXPECT_EQ(e.name, u"\uFFE5");
    EXPECT_TRUE(word.Parse(Press(255, false, 12)).name.empty());  // ignored by the callers
    e = word.Parse(KeyReport{InputDevice::OtherHid, false, 65, 0, false});
    EXPECT_EQ(e.device, InputDevice::OtherHid);
    EXPECT_EQ(e.code, 0);
    EXPECT_TRUE(e.name.empty());
}

TEST(KeyCapture, ModifierTextOrder) {
    EXPECT_EQ(ModifierText(0), u"");
    EXPECT_EQ(ModifierText(1), u"Ctrl");
    EXPECT_EQ(ModifierText(2 | 1), u"Shift+ Ctrl");
    EXPECT_EQ(ModifierText(4 | 8 | 1), u"Ctrl+ Win+ Alt");
    EXPECT_EQ(ModifierText(15), u"Shift+ Ctrl+ Win+ Alt");
}

}  // namespace
}  // namespace quillora
