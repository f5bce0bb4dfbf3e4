#include "game/app/app_dialogs.h"

#include "game/app/app.h"
#include "game/data/global_data.h"
#include "platform/dialog.h"
#include "platform/input.h"

#include <algorithm>
#include <string>

namespace Window = zelvoranGameSDK3rd::Window;
using platform::ControlKind;
using platform::DialogControl;

std::int32_t g_resizeRepeats = 0;
std::vector<std::uint32_t> g_savedMasterVolumes;
ZTL::string g_textEntryResult;
std::int32_t g_textEntryLimit = 8;

namespace {

platform::MenuItem Item(const char* text, int id)
{
    platform::MenuItem item;
    item.text = text;
    item.id = platform::UINT(id);
    return item;
}

platform::MenuItem Popup(const char* text, std::vector<platform::MenuItem> items)
{
    platform::MenuItem popup;
    popup.text = text;
    popup.popup = std::move(items);
    return popup;
}

DialogControl Control(ControlKind kind, int id, const char* text, int x, int y, int width, int height)
{
    DialogControl c;
    c.kind = kind;
    c.id = id;
    c.text = text;
    c.x = x;
    c.y = y;
    c.width = width;
    c.height = height;
    return c;
}

platform::DialogTemplate Template(const char* caption, int width, int height,
                                  std::vector<DialogControl> controls)
{
    platform::DialogTemplate t;
    t.caption = caption;
    t.width = width;
    t.height = height;
    t.controls = std::move(controls);
    return t;
}

// The largest of the saved master volumes.
std::uint32_t LargestSavedMaster()
{
    std::uint32_t m = 0;
    for (std::uint32_t v : g_savedMasterVolumes)
        m = std::max(m, v);
    return m;
}

// Ends a modeless dialog of the menu.
void EndMenuDialog(platform::HWND dialog)
{
    g_openDialog = nullptr;
    platform::EndDialog(dialog, 0);
}

// Cuts a CP932 text to at most `limit` bytes without splitting a double-byte character.
std::string CutText(const std::string& text, std::size_t limit)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const std::size_t width = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (at + width > limit) break;
        at += width;
    }
    return text.substr(0, at);
}

} // namespace

void RegisterAppResources()
{
    platform::RegisterMenuResource(
        "IDR_MENU",
        {Popup("ファイル(&F)", {Item("アプリケーションの終了(&X)", kMenuExit)}),
         Popup("設定(&C)",
               {Popup("画面設定(&G)", {Item("フルスクリーン切り替え(Alt+Enter)", kMenuFullScreen),
                                       Item("画面の拡大表示切替(F1)", kMenuDoubleSize)}),
                Item("サウンド設定(&S)", kMenuSoundSettings), Item("CPU負荷設定(&C)", kMenuCpuLoad)}),
         Popup("ヘルプ(&H)",
               {Item("マニュアルを開く(&M)", kMenuManual), Item("開発者のサイトを開く(&W)", kMenuWebPage),
                Item("バージョン情報 ...(&A)", kMenuVersion)})});

    platform::RegisterDialogTemplate(
        platform::MakeIntResource(kDialogVersion),
        Template("バージョン情報", 260, 150,
                 {Control(ControlKind::Icon, 108, "", 12, 12, 32, 32),
                  Control(ControlKind::Static, -1, "霧谷奇譚", 56, 12, 190, 16),
                  Control(ControlKind::Static, -1, "　～霞野と迷宮の剣姫道～", 56, 30, 190, 16),
                  Control(ControlKind::Static, -1, "バージョン 1.06", 56, 48, 190, 16),
                  Control(ControlKind::Static, -1, kWebAddress, 56, 70, 190, 16),
                  Control(ControlKind::Static, -1, kWebCaption, 56, 88, 190, 16),
                  Control(ControlKind::Button, kButtonOk, "OK", 180, 116, 68, 24)}));

    platform::RegisterDialogTemplate(
        platform::MakeIntResource(kDialogSound),
        Template("サウンド設定", 340, 270,
                 {Control(ControlKind::Static, -1, "マスター音量", 12, 12, 90, 16),
                  Control(ControlKind::TrackBar, kMasterVolumeBar, "", 104, 10, 190, 20),
                  Control(ControlKind::Static, -1, "MAX", 298, 12, 34, 16),
                  Control(ControlKind::Static, -1, "BGM音量", 12, 42, 90, 16),
                  Control(ControlKind::TrackBar, kMusicVolumeBar, "", 104, 40, 190, 20),
                  Control(ControlKind::Static, -1, "MAX", 298, 42, 34, 16),
                  Control(ControlKind::Static, -1, "SE音量", 12, 72, 90, 16),
                  Control(ControlKind::TrackBar, kSoundEffectVolumeBar, "", 104, 70, 190, 20),
                  Control(ControlKind::Static, -1, "MAX", 298, 72, 34, 16),
                  Control(ControlKind::CheckBox, kMusicOffBox, "BGMを再生しない", 12, 104, 316, 20),
                  Control(ControlKind::CheckBox, kSoundEffectsOffBox, "SEを再生しない", 12, 128, 316, 20),
                  Control(ControlKind::CheckBox, kPlayWhileInactiveBox, "非アクティブのときにBGMを止めない",
                          12, 152, 316, 20),
                  Control(ControlKind::CheckBox, kFreeIdleSoundsBox,
                          "再生していないファイルのメモリを常に開放", 12, 176, 316, 20),
                  Control(ControlKind::Button, kButtonOk, "OK", 96, 234, 72, 24),
                  Control(ControlKind::Button, kButtonCancel, "キャンセル", 176, 234, 72, 24),
                  Control(ControlKind::Button, kButtonApply, "適用", 256, 234, 72, 24)}));

    platform::RegisterDialogTemplate(
        platform::MakeIntResource(kDialogCpuLoad),
        Template("CPU負荷設定", 300, 150,
                 {Control(ControlKind::NumberEdit, kCpuLoadEdit, "", 12, 12, 80, 22),
                  Control(ControlKind::Static, -1, "数値が大きいほど負荷は小さくなりますが", 12, 42, 280, 16),
                  Control(ControlKind::Static, -1, "動作が遅くなります(デフォルト：３)", 12, 60, 280, 16),
                  Control(ControlKind::Static, -1, "(0以上の数値を指定)", 12, 78, 280, 16),
                  Control(ControlKind::Button, kButtonOk, "OK", 56, 114, 72, 24),
                  Control(ControlKind::Button, kButtonCancel, "キャンセル", 136, 114, 72, 24),
                  Control(ControlKind::Button, kButtonApply, "適用", 216, 114, 72, 24)}));

    platform::RegisterDialogTemplate(
        platform::MakeIntResource(kDialogTextEntry),
        Template("文字を入力してください", 260, 80,
                 {Control(ControlKind::Edit, kTextEntryEdit, "", 12, 12, 236, 22),
                  Control(ControlKind::Button, kButtonOk, "決定", 96, 46, 72, 24),
                  Control(ControlKind::Button, kButtonCancel, "キャンセル", 176, 46, 72, 24)}));
}

platform::LRESULT VersionDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM)
{
    switch (message) {
    case platform::WM_INITDIALOG:
        return 1;
    case platform::WM_COMMAND:
        if (platform::LOWORD(wParam) == kButtonOk) platform::SendMessage(dialog, platform::WM_CLOSE, 0, 0);
        return 1;
    case platform::WM_CLOSE:
        EndMenuDialog(dialog);
        return 1;
    default:
        return 0;
    }
}

platform::LRESULT CpuLoadDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM)
{
    switch (message) {
    case platform::WM_INITDIALOG:
        platform::SetDlgItemText(dialog, kCpuLoadEdit, std::to_string(g_globalData.cpuLoad));
        return 1;
    case platform::WM_COMMAND: {
        const int id = platform::LOWORD(wParam);
        if (id == kButtonOk || id == kButtonApply) {
            // Text that is no number reads as 0; a value past the signed range is not taken.
            const platform::UINT value = platform::GetDlgItemInt(dialog, kCpuLoadEdit, nullptr);
            if (value < 0x80000000u) {
                g_globalData.cpuLoad = std::int32_t(value);
                SaveGlobalData(g_globalData);
            }
            if (id == kButtonOk) EndMenuDialog(dialog);
        } else if (id == kButtonCancel) {
            EndMenuDialog(dialog);
        }
        return 1;
    }
    case platform::WM_CLOSE:
        EndMenuDialog(dialog);
        return 1;
    default:
        return 0;
    }
}

platform::LRESULT SoundDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                  platform::LPARAM lParam)
{
    switch (message) {
    case platform::WM_INITDIALOG:
        platform::SetTrackBarRange(dialog, kMasterVolumeBar, 0, 6553);
        platform::SetTrackBarTicks(dialog, kMasterVolumeBar, 655);
        platform::SetTrackBarPageSize(dialog, kMasterVolumeBar, 500);
        platform::SetTrackBarLineSize(dialog, kMasterVolumeBar, 50);
        platform::SetTrackBarPosition(dialog, kMasterVolumeBar, std::int32_t(LargestSavedMaster() / 10));
        for (const int bar : {kMusicVolumeBar, kSoundEffectVolumeBar}) {
            platform::SetTrackBarRange(dialog, bar, 0, 255);
            platform::SetTrackBarTicks(dialog, bar, 25);
            platform::SetTrackBarPageSize(dialog, bar, 25);
            platform::SetTrackBarLineSize(dialog, bar, 1);
        }
        platform::SetTrackBarPosition(dialog, kMusicVolumeBar, g_globalData.musicVolume);
        platform::SetTrackBarPosition(dialog, kSoundEffectVolumeBar, g_globalData.soundEffectVolume);
        platform::CheckDlgButton(dialog, kMusicOffBox, g_globalData.musicOff);
        platform::CheckDlgButton(dialog, kSoundEffectsOffBox, g_globalData.soundEffectsOff);
        platform::CheckDlgButton(dialog, kPlayWhileInactiveBox, g_globalData.playMusicWhileInactive);
        platform::CheckDlgButton(dialog, kFreeIdleSoundsBox, g_globalData.alwaysFreeIdleSounds);
        return 1;
    case platform::WM_HSCROLL:
        // Only the codes that carry no thumb position: a dragged thumb acts when it is let go.
        if (lParam == kMasterVolumeBar && wParam <= 8 && g_app != nullptr)
            g_app->SetMasterVolume(std::uint32_t(platform::GetTrackBarPosition(dialog, kMasterVolumeBar)) *
                                   10);
        return 1;
    case platform::WM_COMMAND: {
        const int id = platform::LOWORD(wParam);
        if (id == kButtonOk || id == kButtonApply) {
            if (g_app != nullptr) g_app->GetMixer().GetVolume(0, g_savedMasterVolumes);
            g_globalData.musicVolume = platform::GetTrackBarPosition(dialog, kMusicVolumeBar);
            g_globalData.soundEffectVolume = platform::GetTrackBarPosition(dialog, kSoundEffectVolumeBar);
            g_globalData.musicOff = platform::IsDlgButtonChecked(dialog, kMusicOffBox);
            g_globalData.soundEffectsOff = platform::IsDlgButtonChecked(dialog, kSoundEffectsOffBox);
            g_globalData.playMusicWhileInactive = platform::IsDlgButtonChecked(dialog, kPlayWhileInactiveBox);
            g_globalData.alwaysFreeIdleSounds = platform::IsDlgButtonChecked(dialog, kFreeIdleSoundsBox);
            SaveGlobalData(g_globalData);
            if (g_app != nullptr) g_app->ApplySoundSettings();
            if (id == kButtonOk) EndMenuDialog(dialog);
        } else if (id == kButtonCancel) {
            // A master volume moved with the bar stays as it is.
            EndMenuDialog(dialog);
        }
        return 1;
    }
    case platform::WM_CLOSE:
        EndMenuDialog(dialog);
        return 1;
    default:
        return 0;
    }
}

platform::LRESULT TextEntryDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                      platform::LPARAM)
{
    constexpr platform::UINT_PTR kPadTimer = 1;
    switch (message) {
    case platform::WM_INITDIALOG:
        if (g_app != nullptr && g_app->GetMyApp() != nullptr)
            g_app->GetMyApp()->GetWindow()->ShowCursor(true);
        platform::SetDlgItemFocus(dialog, kTextEntryEdit);
        platform::LimitDlgItemText(dialog, kTextEntryEdit, platform::UINT(std::max(g_textEntryLimit, 0)) * 2);
        g_textEntryResult = "";
        platform::SetTimer(dialog, kPadTimer, 20);
        return 1;
    case platform::WM_COMMAND: {
        const int id = platform::LOWORD(wParam);
        if (id == kButtonOk) {
            g_textEntryResult = CutText(platform::GetDlgItemText(dialog, kTextEntryEdit), 31).c_str();
            platform::SendMessage(dialog, platform::WM_CLOSE, 0, 0);
        } else if (id == kButtonCancel) {
            platform::SendMessage(dialog, platform::WM_CLOSE, 0, 0);
        }
        return 1;
    }
    case platform::WM_TIMER:
        // The pad's button bound to logical key 1 cancels, as on the game's screens.
        if (!g_keyObject.isNull()) {
            const std::int32_t code = g_keyObject->FindBinding(1, true);
            platform::JoystickPosition position{};
            if (code >= 4 && code - 4 < 32 &&
                platform::ReadJoystick(std::uint32_t(g_keyObject->GetPadNumber()), position) &&
                (position.buttons >> (code - 4) & 1) != 0)
                platform::SendMessage(dialog, platform::WM_CLOSE, 0, 0);
        }
        return 1;
    case platform::WM_CLOSE:
        platform::KillTimer(dialog, kPadTimer);
        platform::EndDialog(dialog, 1);
        return 1;
    default:
        return 0;
    }
}
