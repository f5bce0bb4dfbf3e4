// Dialogs drawn over their owner, driven headless: their controls, modal runs, timers and the focus.
#include "platform/backend_chooser.h"
#include "platform/dialog.h"
#include "platform/host/headless/headless.h"
#include "platform/host/scan_codes.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/window.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace platform;

LRESULT Plain(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProc(w, m, wp, lp);
}

class DialogHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SelectBackend("headless"));
        WindowClassInfo cls;
        cls.name = "DIALOGHOST";
        cls.procedure = &Plain;
        RegisterWindowClass(cls);
        CreateWindowInfo info;
        info.className = "DIALOGHOST";
        info.style = WS_CAPTION | WS_VISIBLE;
        owner = CreateWindow(info);
        ASSERT_NE(owner, nullptr);
        DialogTemplate t;
        t.caption = "t";
        t.width = 100;
        t.height = 100;
        t.controls = {DialogControl{ControlKind::Edit, 10, "", 0, 0, 50, 20},
                      DialogControl{ControlKind::CheckBox, 11, "c", 0, 30, 50, 20},
                      DialogControl{ControlKind::TrackBar, 12, "", 0, 60, 50, 20},
                      DialogControl{ControlKind::Button, 1, "OK", 60, 60, 30, 20}};
        RegisterDialogTemplate(MakeIntResource(500), t);
    }
    void TearDown() override
    {
        Pump();
        if (IsWindow(owner)) DestroyWindow(owner);
    }
    static void Pump()
    {
        Message m;
        while (PeekMessage(&m, nullptr, PM_REMOVE))
            DispatchMessage(m);
    }
    HWND Open(DLGPROC procedure) { return CreateDialog(MakeIntResource(500), owner, procedure, 0); }

    HWND owner = nullptr;
};

LRESULT Silent(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

TEST_F(DialogHost, NumbersAreReadOnlyFromDecimalText)
{
    const HWND d = Open(&Silent);
    const struct
    {
        const char* text;
        UINT value;
        bool translated;
    } cases[] = {{"42", 42, true},
                 {"  7 ", 7, true},
                 {"", 0, false},
                 {"-1", 0, false},
                 {"1e3", 0, false},
                 {"abc", 0, false},
                 {"4294967295", 4294967295u, true},
                 {"4294967296", 0, false}};
    for (const auto& c : cases) {
        SetDlgItemText(d, 10, c.text);
        bool translated = !c.translated;
        EXPECT_EQ(GetDlgItemInt(d, 10, &translated), c.value) << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
    EXPECT_EQ(GetDlgItemInt(d, 99, nullptr), 0u);
    DestroyWindow(d);
}

TEST_F(DialogHost, EditsKeepTheirLimitWithoutSplittingACharacter)
{
    const HWND d = Open(&Silent);
    LimitDlgItemText(d, 10, 5);
    EditDialogText(d, 10, "\x82\xA0\x82\xA2\x82\xA4"); // あいう
    EXPECT_EQ(GetDlgItemText(d, 10), "\x82\xA0\x82\xA2");
    EditDialogText(d, 10, "abcdefg");
    EXPECT_EQ(GetDlgItemText(d, 10), "abcde");
    DestroyWindow(d);
}

// What the last dialog procedure saw.
std::vector<std::pair<UINT, WPARAM>> seen;
LRESULT Recording(HWND d, UINT m, WPARAM wp, LPARAM)
{
    seen.emplace_back(m, wp);
    if (m == WM_COMMAND && LOWORD(wp) == 1) EndDialog(d, 7);
    return 1;
}

TEST_F(DialogHost, ClicksAndDragsBecomeMessagesAndAModelessDialogEnds)
{
    seen.clear();
    const HWND d = Open(&Recording);
    // The dialog over the focused window takes its input.
    headless::Events().Focus(owner, true);
    Pump();
    EXPECT_EQ(GetFocus(), d);
    ClickDialogButton(d, 11);
    SetTrackBarRange(d, 12, 0, 50);
    DragTrackBar(d, 12, 80, true);
    Pump();
    EXPECT_TRUE(IsDlgButtonChecked(d, 11));
    EXPECT_EQ(GetTrackBarPosition(d, 12), 50);
    const std::vector<std::pair<UINT, WPARAM>> expected = {{WM_INITDIALOG, 0},
                                                           {WM_COMMAND, MAKEWPARAM(11, BN_CLICKED)},
                                                           {WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 50)},
                                                           {WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0)}};
    EXPECT_EQ(seen, expected);
    ClickDialogButton(d, 1);
    Pump();
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(GetFocus(), owner);
}

LRESULT EndsOnItsTimer(HWND d, UINT m, WPARAM wp, LPARAM)
{
    if (m == WM_INITDIALOG) SetTimer(d, 3, 1);
    if (m == WM_TIMER && wp == 3) EndDialog(d, 42);
    return 1;
}

TEST_F(DialogHost, AModalDialogRunsUntilItEndsAndGivesItsResult)
{
    EXPECT_EQ(DialogBox(MakeIntResource(500), owner, &EndsOnItsTimer, 0), 42);
    EXPECT_EQ(DialogBox(MakeIntResource(501), owner, &EndsOnItsTimer, 0), -1);
    EXPECT_TRUE(IsWindow(owner));
}

// The key pressed while the dialog opens; the result is the command's id, 42 on the timer.
std::uint8_t keyOnOpening = 0;
LRESULT EndsOnACommandOrItsTimer(HWND d, UINT m, WPARAM wp, LPARAM)
{
    if (m == WM_INITDIALOG) {
        SetTimer(d, 3, 30);
        headless::SetKey(keyOnOpening, true);
    }
    if (m == WM_COMMAND) EndDialog(d, LOWORD(wp));
    if (m == WM_TIMER && wp == 3) EndDialog(d, 42);
    return 1;
}

TEST_F(DialogHost, EscapeCancelsAModalDialogEnterConfirmsItAndTheOwnerSeesNeitherPress)
{
    headless::Events().Focus(owner, true);
    Pump();
    const struct
    {
        std::uint8_t key;
        INT_PTR result;
        bool seenByOwner;
    } cases[] = {{DIK_ESCAPE, IDCANCEL, false}, {DIK_RETURN, IDOK, false}, {DIK_A, 42, true}};
    std::uint8_t keys[256];
    for (const auto& c : cases) {
        keyOnOpening = c.key;
        EXPECT_EQ(DialogBox(MakeIntResource(500), owner, &EndsOnACommandOrItsTimer, 0), c.result)
            << int(c.key);
        // Still held after the dialog closed: the owner sees only a key the dialog left alone.
        ASSERT_TRUE(ReadKeyboard(owner, keys));
        EXPECT_EQ(keys[c.key] != 0, c.seenByOwner) << int(c.key);
        // The next press is the owner's.
        headless::SetKey(c.key, false);
        headless::SetKey(c.key, true);
        ASSERT_TRUE(ReadKeyboard(owner, keys));
        EXPECT_EQ(keys[c.key], 0x80) << int(c.key);
        headless::SetKey(c.key, false);
        Pump();
    }
    EXPECT_EQ(GetFocus(), owner);
}

TEST_F(DialogHost, TheKeyThatAnsweredAMessageBoxIsTheOwnersOnlyOnceLetGo)
{
    headless::Events().Focus(owner, true);
    headless::SetKey(DIK_ESCAPE, true);
    Pump();
    EXPECT_EQ(MessageBox(owner, "a", "b", MB_OKCANCEL), IDOK);
    headless::SetKey(DIK_A, true);
    std::uint8_t keys[256];
    ASSERT_TRUE(ReadKeyboard(owner, keys));
    EXPECT_EQ(std::pair(keys[DIK_ESCAPE], keys[DIK_A]), std::pair(std::uint8_t(0), std::uint8_t(0x80)));
    headless::SetKey(DIK_ESCAPE, false);
    headless::SetKey(DIK_ESCAPE, true);
    ASSERT_TRUE(ReadKeyboard(owner, keys));
    EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
    headless::ReleaseAllKeys();
}

} // namespace
