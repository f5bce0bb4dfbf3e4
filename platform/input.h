// Keyboard and game pads.
//
// The keyboard is read as one snapshot of 256 bytes indexed by keyboard scan codes (the DIK_ values of
// platform/host/scan_codes.h, the numbering stored key configurations use), bit 7 set while a key is
// down. Game pads are
// numbered from 0 and read as two axes and a button mask.
#pragma once

#include "platform/host/pads.h"
#include "platform/host/scan_codes.h"
#include "platform/win_types.h"
#include "platform/window.h"

#include <cstdint>

namespace platform {

// Virtual keys, as key messages and accelerators carry them.
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12; // Alt
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_NUMPAD0 = 0x60; // to VK_NUMPAD0 + 9
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70; // to VK_F1 + 14
constexpr WORD VK_NUMLOCK = 0x90;
constexpr WORD VK_SCROLL = 0x91;

// The virtual key of a scan code; 0 for codes without one. Letters and digits are their capital ASCII.
WORD VirtualKeyFromScanCode(std::uint8_t scanCode);

// Fills the snapshot while `window` has the keyboard focus and returns true; otherwise clears it and
// returns false (a window in the background reads no keys).
bool ReadKeyboard(HWND window, std::uint8_t state[256]);
// Fills the snapshot whatever window has the focus (a keyboard read in the background).
void ReadKeyboardInBackground(std::uint8_t state[256]);
// Either read also shows as down, once, a key that went down since the previous read of the same kind
// and is already up again: a tap shorter than the time between two reads is not lost.

// Game pads, numbered from 0.
std::uint32_t GetJoystickCount();
bool GetJoystickCaps(std::uint32_t id, JoystickCaps& caps);
bool ReadJoystick(std::uint32_t id, JoystickPosition& position);

} // namespace platform
