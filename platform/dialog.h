// Dialogs with controls: their host, modal runs and timers.
//
// A dialog template lists its controls (static texts, an icon, push buttons, check boxes, text and
// number edits, track bars). A dialog made from such a template is drawn by the back end over its owner
// window; what the user does to its controls comes back as messages to the dialog's procedure:
//   push button, check box   WM_COMMAND, wParam = MAKEWPARAM(id, BN_CLICKED) (a check box has already
//                            changed its state)
//   track bar                WM_HSCROLL, wParam = MAKEWPARAM(TB_THUMBTRACK, position) while the thumb is
//                            dragged and MAKEWPARAM(TB_ENDTRACK, 0) when it is let go; lParam = the id
//   close box                WM_CLOSE
// Edits change their text without a message. The procedure reads and sets the controls through the
// functions below, which is all a test needs to drive a dialog headless.
#pragma once

#include "platform/window.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Notification codes.
constexpr WORD BN_CLICKED = 0;
constexpr WORD TB_THUMBTRACK = 5;
constexpr WORD TB_ENDTRACK = 8;

// ---- Dialogs.
// Runs a modal dialog: the owner and its fellows get no input until the procedure ends it; the messages of
// the calling thread are handled meanwhile. The result given to EndDialog, or -1 when the template is
// unknown.
INT_PTR DialogBox(ResourceName dialogTemplate, HWND parent, DLGPROC procedure, LPARAM param);
// Ends a modal dialog with the result; a modeless one is destroyed.
bool EndDialog(HWND dialog, INT_PTR result);
// The result a dialog was ended with (0 while it runs).
INT_PTR GetDialogResult(HWND dialog);

// The dialog's controls, by id. Texts are CP932. False (0, empty) for no such dialog or control.
bool SetDlgItemText(HWND dialog, int id, std::string_view text);
std::string GetDlgItemText(HWND dialog, int id);
bool SetDlgItemInt(HWND dialog, int id, UINT value);
// The text as an unsigned decimal number (spaces before it skipped); 0 and false for text that is none
// or too large.
UINT GetDlgItemInt(HWND dialog, int id, bool* translated);
// The bytes an edit takes (0: no limit); its text is cut to them.
bool LimitDlgItemText(HWND dialog, int id, UINT bytes);
bool CheckDlgButton(HWND dialog, int id, bool checked);
bool IsDlgButtonChecked(HWND dialog, int id);
bool SetDlgItemFocus(HWND dialog, int id);
// Track bars: the range, the distance of ticks, the step of a page and of a line, the position (kept
// within the range).
bool SetTrackBarRange(HWND dialog, int id, std::int32_t minimum, std::int32_t maximum);
bool SetTrackBarTicks(HWND dialog, int id, std::int32_t frequency);
bool SetTrackBarPageSize(HWND dialog, int id, std::int32_t size);
bool SetTrackBarLineSize(HWND dialog, int id, std::int32_t size);
bool SetTrackBarPosition(HWND dialog, int id, std::int32_t position);
std::int32_t GetTrackBarPosition(HWND dialog, int id);

// What the user does, as a back end reports it (tests call these too): the control changes and its
// message is posted to the dialog.
void ClickDialogButton(HWND dialog, int id);
void EditDialogText(HWND dialog, int id, std::string_view text);
void DragTrackBar(HWND dialog, int id, std::int32_t position, bool released);

// ---- Timers: WM_TIMER (wParam the id) to the window every `milliseconds` while the thread runs a modal
// dialog or calls PostDueTimers.
bool SetTimer(HWND window, UINT_PTR id, UINT milliseconds);
bool KillTimer(HWND window, UINT_PTR id);
// Posts WM_TIMER for the timers of the calling thread that are due.
void PostDueTimers();

} // namespace platform
