#include "platform/message_box.h"

#include "platform/backend_chooser.h"
#include "platform/host/encoding.h"
#include "platform/window_internal.h"

namespace platform {

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type)
{
    using Buttons = Backend::MessageBoxButtons;
    using Icon = Backend::MessageBoxIcon;
    Buttons buttons;
    switch (type & 0x0F) {
    case MB_OK:
        buttons = Buttons::Ok;
        break;
    case MB_OKCANCEL:
        buttons = Buttons::OkCancel;
        break;
    case MB_YESNO:
        buttons = Buttons::YesNo;
        break;
    case MB_YESNOCANCEL:
        buttons = Buttons::YesNoCancel;
        break;
    default:
        return 0;
    }
    Icon icon = Icon::None;
    switch (type & 0xF0) {
    case MB_ICONERROR:
        icon = Icon::Error;
        break;
    case MB_ICONQUESTION:
        icon = Icon::Question;
        break;
    case MB_ICONWARNING:
        icon = Icon::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = Icon::Information;
        break;
    default:
        break;
    }
    const int buttonCount = buttons == Buttons::Ok ? 1 : buttons == Buttons::YesNoCancel ? 3 : 2;
    int defaultButton = int((type & 0xF00) >> 8);
    if (defaultButton >= buttonCount) defaultButton = 0;

    std::string textUtf8, captionUtf8;
    if (!Cp932ToUtf8(text, textUtf8) || !Cp932ToUtf8(caption, captionUtf8)) return 0;
    const auto answer =
        GetBackend().ShowMessageBox(owner, textUtf8, captionUtf8, buttons, icon, defaultButton);
    // The key that answered the box (Enter, Escape) may still be down: it was the box's, not the window's.
    std::uint8_t keys[256];
    GetBackend().ReadKeyboard(keys);
    for (int key = 0; key < 256; ++key)
        if ((keys[key] & 0x80) != 0) HideKeyUntilReleased(std::uint8_t(key));
    switch (answer) {
    case Backend::MessageBoxAnswer::Ok:
        return IDOK;
    case Backend::MessageBoxAnswer::Yes:
        return IDYES;
    case Backend::MessageBoxAnswer::No:
        return IDNO;
    case Backend::MessageBoxAnswer::Cancel:
        return IDCANCEL;
    default:
        return 0;
    }
}

} // namespace platform
