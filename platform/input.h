// Keyboard and game pads.
//
// The keyboard is read as one snapshot of 256 bytes indexed by keyboard scan codes (the DIK_ values
// below, the numbering stored key configurations use), bit 7 set while a key is down. Game pads are
// numbered from 0 and read as two axes and a button mask.
#pragma once

#include "platform/backend.h"
#include "platform/win_types.h"
#include "platform/window.h"

#include <cstdint>

namespace platform {

// Keyboard scan codes.
constexpr std::uint8_t DIK_ESCAPE = 0x01;
constexpr std::uint8_t DIK_1 = 0x02;
constexpr std::uint8_t DIK_2 = 0x03;
constexpr std::uint8_t DIK_3 = 0x04;
constexpr std::uint8_t DIK_4 = 0x05;
constexpr std::uint8_t DIK_5 = 0x06;
constexpr std::uint8_t DIK_6 = 0x07;
constexpr std::uint8_t DIK_7 = 0x08;
constexpr std::uint8_t DIK_8 = 0x09;
constexpr std::uint8_t DIK_9 = 0x0A;
constexpr std::uint8_t DIK_0 = 0x0B;
constexpr std::uint8_t DIK_MINUS = 0x0C;
constexpr std::uint8_t DIK_EQUALS = 0x0D;
constexpr std::uint8_t DIK_BACK = 0x0E;
constexpr std::uint8_t DIK_TAB = 0x0F;
constexpr std::uint8_t DIK_Q = 0x10;
constexpr std::uint8_t DIK_W = 0x11;
constexpr std::uint8_t DIK_E = 0x12;
constexpr std::uint8_t DIK_R = 0x13;
constexpr std::uint8_t DIK_T = 0x14;
constexpr std::uint8_t DIK_Y = 0x15;
constexpr std::uint8_t DIK_U = 0x16;
constexpr std::uint8_t DIK_I = 0x17;
constexpr std::uint8_t DIK_O = 0x18;
constexpr std::uint8_t DIK_P = 0x19;
constexpr std::uint8_t DIK_LBRACKET = 0x1A;
constexpr std::uint8_t DIK_RBRACKET = 0x1B;
constexpr std::uint8_t DIK_RETURN = 0x1C;
constexpr std::uint8_t DIK_LCONTROL = 0x1D;
constexpr std::uint8_t DIK_A = 0x1E;
constexpr std::uint8_t DIK_S = 0x1F;
constexpr std::uint8_t DIK_D = 0x20;
constexpr std::uint8_t DIK_F = 0x21;
constexpr std::uint8_t DIK_G = 0x22;
constexpr std::uint8_t DIK_H = 0x23;
constexpr std::uint8_t DIK_J = 0x24;
constexpr std::uint8_t DIK_K = 0x25;
constexpr std::uint8_t DIK_L = 0x26;
constexpr std::uint8_t DIK_SEMICOLON = 0x27;
constexpr std::uint8_t DIK_APOSTROPHE = 0x28;
constexpr std::uint8_t DIK_GRAVE = 0x29;
constexpr std::uint8_t DIK_LSHIFT = 0x2A;
constexpr std::uint8_t DIK_BACKSLASH = 0x2B;
constexpr std::uint8_t DIK_Z = 0x2C;
constexpr std::uint8_t DIK_X = 0x2D;
constexpr std::uint8_t DIK_C = 0x2E;
constexpr std::uint8_t DIK_V = 0x2F;
constexpr std::uint8_t DIK_B = 0x30;
constexpr std::uint8_t DIK_N = 0x31;
constexpr std::uint8_t DIK_M = 0x32;
constexpr std::uint8_t DIK_COMMA = 0x33;
constexpr std::uint8_t DIK_PERIOD = 0x34;
constexpr std::uint8_t DIK_SLASH = 0x35;
constexpr std::uint8_t DIK_RSHIFT = 0x36;
constexpr std::uint8_t DIK_MULTIPLY = 0x37;
constexpr std::uint8_t DIK_LMENU = 0x38; // left Alt
constexpr std::uint8_t DIK_SPACE = 0x39;
constexpr std::uint8_t DIK_CAPITAL = 0x3A;
constexpr std::uint8_t DIK_F1 = 0x3B;
constexpr std::uint8_t DIK_F2 = 0x3C;
constexpr std::uint8_t DIK_F3 = 0x3D;
constexpr std::uint8_t DIK_F4 = 0x3E;
constexpr std::uint8_t DIK_F5 = 0x3F;
constexpr std::uint8_t DIK_F6 = 0x40;
constexpr std::uint8_t DIK_F7 = 0x41;
constexpr std::uint8_t DIK_F8 = 0x42;
constexpr std::uint8_t DIK_F9 = 0x43;
constexpr std::uint8_t DIK_F10 = 0x44;
constexpr std::uint8_t DIK_NUMLOCK = 0x45;
constexpr std::uint8_t DIK_SCROLL = 0x46;
constexpr std::uint8_t DIK_NUMPAD7 = 0x47;
constexpr std::uint8_t DIK_NUMPAD8 = 0x48;
constexpr std::uint8_t DIK_NUMPAD9 = 0x49;
constexpr std::uint8_t DIK_SUBTRACT = 0x4A;
constexpr std::uint8_t DIK_NUMPAD4 = 0x4B;
constexpr std::uint8_t DIK_NUMPAD5 = 0x4C;
constexpr std::uint8_t DIK_NUMPAD6 = 0x4D;
constexpr std::uint8_t DIK_ADD = 0x4E;
constexpr std::uint8_t DIK_NUMPAD1 = 0x4F;
constexpr std::uint8_t DIK_NUMPAD2 = 0x50;
constexpr std::uint8_t DIK_NUMPAD3 = 0x51;
constexpr std::uint8_t DIK_NUMPAD0 = 0x52;
constexpr std::uint8_t DIK_DECIMAL = 0x53;
constexpr std::uint8_t DIK_OEM_102 = 0x56;
constexpr std::uint8_t DIK_F11 = 0x57;
constexpr std::uint8_t DIK_F12 = 0x58;
constexpr std::uint8_t DIK_F13 = 0x64;
constexpr std::uint8_t DIK_F14 = 0x65;
constexpr std::uint8_t DIK_F15 = 0x66;
constexpr std::uint8_t DIK_KANA = 0x70;
constexpr std::uint8_t DIK_ABNT_C1 = 0x73; // the "ro" key of Japanese keyboards
constexpr std::uint8_t DIK_CONVERT = 0x79;
constexpr std::uint8_t DIK_NOCONVERT = 0x7B;
constexpr std::uint8_t DIK_YEN = 0x7D;
constexpr std::uint8_t DIK_NUMPADEQUALS = 0x8D;
constexpr std::uint8_t DIK_KANJI = 0x94;
constexpr std::uint8_t DIK_NUMPADENTER = 0x9C;
constexpr std::uint8_t DIK_RCONTROL = 0x9D;
constexpr std::uint8_t DIK_NUMPADCOMMA = 0xB3;
constexpr std::uint8_t DIK_DIVIDE = 0xB5;
constexpr std::uint8_t DIK_SYSRQ = 0xB7;
constexpr std::uint8_t DIK_RMENU = 0xB8; // right Alt
constexpr std::uint8_t DIK_PAUSE = 0xC5;
constexpr std::uint8_t DIK_HOME = 0xC7;
constexpr std::uint8_t DIK_UP = 0xC8;
constexpr std::uint8_t DIK_PRIOR = 0xC9;
constexpr std::uint8_t DIK_LEFT = 0xCB;
constexpr std::uint8_t DIK_RIGHT = 0xCD;
constexpr std::uint8_t DIK_END = 0xCF;
constexpr std::uint8_t DIK_DOWN = 0xD0;
constexpr std::uint8_t DIK_NEXT = 0xD1;
constexpr std::uint8_t DIK_INSERT = 0xD2;
constexpr std::uint8_t DIK_DELETE = 0xD3;
constexpr std::uint8_t DIK_LWIN = 0xDB;
constexpr std::uint8_t DIK_RWIN = 0xDC;
constexpr std::uint8_t DIK_APPS = 0xDD;

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

// Game pads, numbered from 0.
std::uint32_t GetJoystickCount();
bool GetJoystickCaps(std::uint32_t id, JoystickCaps& caps);
bool ReadJoystick(std::uint32_t id, JoystickPosition& position);

} // namespace platform
