// Message boxes: a modal box with a text, a caption, buttons and an icon, answering with the button
// pressed. Text and caption are CP932, as everything inside the program.
#pragma once

#include "platform/win_types.h"

#include <string_view>

namespace platform {

// The buttons (one of them), the icon and the default button of a box, OR-ed together.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONWARNING = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;

// Shows the box, owned by `owner` (or by no window), until a button is pressed: IDOK, IDYES, IDNO or
// IDCANCEL. 0 when no box could be shown: a button set other than the three above, a text or caption
// without a UTF-8 form, or a machine that shows none.
int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

} // namespace platform
