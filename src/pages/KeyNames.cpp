#include "pages/KeyNames.h"

#include <array>
#include <string_view>

namespace quillora {
namespace {

struct Named {
    int code;
    const char16_t* name;
};

// Keys whose name is not their character. The fixed names (Pause, Print Screen, the
// Windows and Application keys, Num Lock and the sided modifiers) are part of it.
constexpr Named kNames[] = {
    {8, u"Backspace"},    {9, u"Tab"},         {12, u"Num 5"},     {13, u"Enter"},
    {16, u"Shift"},       {17, u"Ctrl"},       {18, u"Alt"},       {19, u"Pause"},
    {20, u"Caps Lock"},   {27, u"Esc"},        {32, u"Space"},     {33, u"Page Up"},
    {34, u"Page Down"},   {35, u"End"},        {36, u"Home"},      {37, u"Left"},
    {38, u"Up"},          {39, u"Right"},      {40, u"Down"},      {44, u"Print Screen"},
    {45, u"Insert"},      {46, u"Delete"},     {91, u"Windows"},   {92, u"RWindows"},
    {93, u"Application"}, {96, u"Num 0"},      {97, u"Num 1"},     {98, u"Num 2"},
    {99, u"Num 3"},       {100, u"Num 4"},     {101, u"Num 5"},    {102, u"Num 6"},
    {103, u"Num 7"},      {104, u"Num 8"},     {105, u"Num 9"},    {106, u"Num *"},
    {107, u"Num +"},      {108, u"Num Enter"}, {109, u"Num -"},    {110, u"Num Del"},
    {111, u"Num /"},      {137, u"\uFFE5"},    {144, u"Num Lock"}, {145, u"Scroll Lock"},
    {160, u"Shift"},      {161, u"RShift"},    {162, u"Ctrl"},     {163, u"RCtrl"},
    {164, u"Alt"},        {165, u"RAlt"},      {186, u";"},        {187, u"="},
    {188, u","},          {189, u"-"},         {190, u"."},        {191, u"/"},
    {192, u"`"},          {219, u"["},         {220, u"\\"},       {221, u"]"},
    {222, u"'"},          {226, u"\\"},
};

char16_t Lower(char16_t c) {
    return (c >= 'A' && c <= 'Z') ? char16_t(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::u16string KeyName(int virtualKey) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        return std::u16string(1, static_cast<char16_t>(virtualKey));
    }
    if (virtualKey >= 112 && virtualKey <= 135) {  // F1 to F24
        const std::string digits = std::to_string(virtualKey - 111);
        std::u16string name = u"F";
        name.append(digits.begin(), digits.end());
        return name;
    }
    for (const Named& entry : kNames) {
        if (entry.code == virtualKey)
            return entry.name;
    }
    return {};
}

int KeyCodeFromName(std::u16string_view name) {
    if (name.empty())
        return 0;
    // Sided names first, so "Shift" finds the left key the recorder stores.
    for (int code = 160; code <= 165; ++code) {
        if (SameIgnoringCase(KeyName(code), name))
            return code;
    }
    for (int code = 1; code <= 254; ++code) {
        if (code == 16 || code == 17 || code == 18 || code == 12)
            continue;  // generic forms
        if (SameIgnoringCase(KeyName(code), name))
            return code;
    }
    return 0;
}

}  // namespace quillora
