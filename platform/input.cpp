#include "platform/input.h"

#include "platform/backend_chooser.h"
#include "platform/window_internal.h"

#include <cstring>

namespace platform {

namespace {

struct KeyPair
{
    std::uint8_t scanCode;
    WORD key;
};

// Keys whose virtual key is not their ASCII letter or digit.
constexpr KeyPair kKeys[] = {
    {DIK_ESCAPE, VK_ESCAPE},
    {DIK_BACK, VK_BACK},
    {DIK_TAB, VK_TAB},
    {DIK_RETURN, VK_RETURN},
    {DIK_NUMPADENTER, VK_RETURN},
    {DIK_LCONTROL, VK_CONTROL},
    {DIK_RCONTROL, VK_CONTROL},
    {DIK_LSHIFT, VK_SHIFT},
    {DIK_RSHIFT, VK_SHIFT},
    {DIK_LMENU, VK_MENU},
    {DIK_RMENU, VK_MENU},
    {DIK_SPACE, VK_SPACE},
    {DIK_CAPITAL, VK_CAPITAL},
    {DIK_NUMLOCK, VK_NUMLOCK},
    {DIK_SCROLL, VK_SCROLL},
    {DIK_PAUSE, VK_PAUSE},
    {DIK_HOME, VK_HOME},
    {DIK_END, VK_END},
    {DIK_PRIOR, VK_PRIOR},
    {DIK_NEXT, VK_NEXT},
    {DIK_UP, VK_UP},
    {DIK_DOWN, VK_DOWN},
    {DIK_LEFT, VK_LEFT},
    {DIK_RIGHT, VK_RIGHT},
    {DIK_INSERT, VK_INSERT},
    {DIK_DELETE, VK_DELETE},
    {DIK_MULTIPLY, VK_MULTIPLY},
    {DIK_ADD, VK_ADD},
    {DIK_SUBTRACT, VK_SUBTRACT},
    {DIK_DECIMAL, VK_DECIMAL},
    {DIK_DIVIDE, VK_DIVIDE},
    {DIK_NUMPAD0, VK_NUMPAD0},
    {DIK_NUMPAD1, VK_NUMPAD0 + 1},
    {DIK_NUMPAD2, VK_NUMPAD0 + 2},
    {DIK_NUMPAD3, VK_NUMPAD0 + 3},
    {DIK_NUMPAD4, VK_NUMPAD0 + 4},
    {DIK_NUMPAD5, VK_NUMPAD0 + 5},
    {DIK_NUMPAD6, VK_NUMPAD0 + 6},
    {DIK_NUMPAD7, VK_NUMPAD0 + 7},
    {DIK_NUMPAD8, VK_NUMPAD0 + 8},
    {DIK_NUMPAD9, VK_NUMPAD0 + 9},
    {DIK_F11, VK_F1 + 10},
    {DIK_F12, VK_F1 + 11},
    {DIK_F13, VK_F1 + 12},
    {DIK_F14, VK_F1 + 13},
    {DIK_F15, VK_F1 + 14},
};

// The letters in scan-code order, row by row.
constexpr char kLetterRow1[] = "QWERTYUIOP"; // DIK_Q ..
constexpr char kLetterRow2[] = "ASDFGHJKL";  // DIK_A ..
constexpr char kLetterRow3[] = "ZXCVBNM";    // DIK_Z ..

} // namespace

WORD VirtualKeyFromScanCode(std::uint8_t scanCode)
{
    if (scanCode >= DIK_1 && scanCode <= DIK_9) return WORD('1' + (scanCode - DIK_1));
    if (scanCode == DIK_0) return '0';
    if (scanCode >= DIK_Q && scanCode < DIK_Q + 10) return WORD(kLetterRow1[scanCode - DIK_Q]);
    if (scanCode >= DIK_A && scanCode < DIK_A + 9) return WORD(kLetterRow2[scanCode - DIK_A]);
    if (scanCode >= DIK_Z && scanCode < DIK_Z + 7) return WORD(kLetterRow3[scanCode - DIK_Z]);
    if (scanCode >= DIK_F1 && scanCode <= DIK_F10) return WORD(VK_F1 + (scanCode - DIK_F1));
    for (const KeyPair& k : kKeys)
        if (k.scanCode == scanCode) return k.key;
    return 0;
}

bool ReadKeyboard(HWND window, std::uint8_t state[256])
{
    if (window == nullptr || GetFocus() != window) {
        std::memset(state, 0, 256);
        ForgetUnreadPresses(KeyReader::Focused);
        return false;
    }
    GetBackend().ReadKeyboard(state);
    AddUnreadPresses(KeyReader::Focused, state);
    MaskHiddenKeys(state);
    return true;
}

void ReadKeyboardInBackground(std::uint8_t state[256])
{
    GetBackend().ReadKeyboard(state);
    AddUnreadPresses(KeyReader::Background, state);
    MaskHiddenKeys(state);
}

std::uint32_t GetJoystickCount()
{
    return GetBackend().GetJoystickCount();
}

bool GetJoystickCaps(std::uint32_t id, JoystickCaps& caps)
{
    return GetBackend().GetJoystickCaps(id, caps);
}

bool ReadJoystick(std::uint32_t id, JoystickPosition& position)
{
    return GetBackend().ReadJoystick(id, position);
}

} // namespace platform
