// The option screens of the menu: message speed, auto-turn, the graphic switches, the pad and keyboard
// bindings with their capture of a pressed key, the scrolling text lists (message history and magic
// circles), and the suspend of an adventure. The graphic screen works on the menu's copies of the
// options, which only its "決定" makes the game's.
#include "game/scenes/menu_scene.h"

#include "game/scenes/menu_keys.h"

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/app/suspend.h"
#include "game/asset_ids.h"
#include "game/data/error_box.h"

#include <algorithm>
#include <array>

namespace {

using namespace MenuKeys;

constexpr std::int32_t kSoundCursor = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;

constexpr std::int32_t kCircleListState = 11;
constexpr std::int32_t kPadState = 16;
constexpr std::int32_t kKeyboardState = 17;

// Message speeds in the list's order: frames a message stays, -1 waiting for a key.
constexpr std::array<std::int32_t, 5> kSpeeds = {-1, 30, 18, 12, 6};

// The scrolling list shows this many lines at a time.
constexpr std::int32_t kScrollLines = 10;
// Frames the key screens ignore input after a capture.
constexpr std::int32_t kCapturePause = 15;

constexpr std::array<const char*, 12> kKeyLabels = {
    "決定/攻撃",  "キャンセル/走る", "方向転換/整頓", "メニュー表示", "矢/複数選択",  "斜め移動",
    "マップ表示", "装備切り替え",    "方向キー：上",  "方向キー：左", "方向キー：下", "方向キー：右"};

constexpr const char* kPadPrompt =
    "設定したいゲームパッドの\nボタンを押して下さい\n(キーボードのキーを押すとキャンセル)";
constexpr const char* kKeyboardPrompt =
    "設定したいキーボードの\nキーを押して下さい\n(ゲームパッドのボタンを押すとキャンセル)";

bool Confirmed(std::uint32_t keyMask)
{
    return (keyMask & (kKeyDecide | kKeyMenu)) != 0;
}

bool Cancelled(std::uint32_t keyMask)
{
    return (keyMask & kKeyCancel) != 0;
}

// The same for every option screen: its window goes and the state below comes back.
void CloseScreen(CSceneMenu& menu)
{
    menu.CloseTopWindow();
    menu.PopState();
}

// A binding's name as the key screens show it: pad codes are named from 256 on. A pad code from a
// damaged file that no name can stand for shows as unknown.
ZTL::string BindingName(std::int32_t code, bool pad)
{
    if (pad) return GetKeyDisplayName(code >= 0 && code < 256 ? code + 256 : -1);
    return GetKeyDisplayName(code);
}

void OpenKeyConfigList(CSceneMenu& menu, bool pad, bool topOnly)
{
    SGameResource& game = menu.Game();
    CKeyThread& keys = menu.Keys();
    if (keys.GetBindings().empty()) keys.LoadKeyConfig();
    ZTL::string text =
        "  決定/攻撃\n  キャンセル/走る\n  方向転換/整頓\n  メニュー表示\n  矢/複数選択\n  斜め移動\n  "
        "マップ表示\n  装備切り替え\n　方向キー設定\n";
    text += "#g  デフォルトに戻す\n#g  決定\n#g  キャンセル\n";
    for (std::size_t key = 0; key < 8; ++key)
        text += "#b" + BindingName(menu.keyTable[key], pad) + "\n";
    text += " \n \n \n \n";
    for (int key = 0; key < 8; ++key)
        text += "#r＞ " + BindingName(keys.FindBinding(key, pad), pad) + "\n";
    game.selectWindow.OpenSettingsList(8, 252, 12, text);
    if (topOnly) {
        game.selectWindow.DrawTop(game, &menu.GetDirtyRects());
    } else {
        menu.RedrawWindows();
    }
}

// The list built anew in place, its cursor kept.
void RebuildKeyConfigList(CSceneMenu& menu, bool pad)
{
    const std::int32_t cursor = menu.Game().selectWindow.GetCursor();
    menu.CloseTopWindow();
    if (pad) {
        menu.OpenPadConfigList(true);
    } else {
        menu.OpenKeyboardConfigList(true);
    }
    menu.Game().selectWindow.SetCursor(cursor);
}

void RebuildGraphicOptionList(CSceneMenu& menu)
{
    const std::int32_t cursor = menu.Game().selectWindow.GetCursor();
    menu.CloseTopWindow();
    menu.OpenGraphicOptionList(true);
    menu.Game().selectWindow.SetCursor(cursor);
}

// The lines of the scrolling list of the current state.
std::vector<ZTL::string> ScrollLines(CSceneMenu& menu)
{
    if (menu.GetState() == kCircleListState) return menu.circleLines;
    std::vector<ZTL::string> lines;
    for (const CMessageWindow::SLine& line : menu.Game().messageWindow.log)
        lines.push_back(line.text);
    return lines;
}

std::int32_t ScrollLineCount(CSceneMenu& menu)
{
    if (menu.GetState() == kCircleListState) return std::int32_t(menu.circleLines.size());
    return std::int32_t(menu.Game().messageWindow.log.size());
}

} // namespace

void CSceneMenu::AppendOnOffLabel(ZTL::string& text, bool on)
{
    text += on ? "#r オン" : "#b オフ";
}

void CSceneMenu::OpenMessageSpeedList()
{
    SGameResource& game = Game();
    const auto at = std::find(kSpeeds.begin(), kSpeeds.end(), game.config.messageSpeed);
    const std::int32_t cursor = at == kSpeeds.end() ? 0 : std::int32_t(at - kSpeeds.begin());
    game.selectWindow.Open(176, 96, true, -1, -1, cursor, true,
                           "  入力待ち\n  遅い\n  普通\n  早い\n  最速\n");
    RedrawWindows();
}

void CSceneMenu::OpenAutoTurnList()
{
    SGameResource& game = Game();
    const std::int32_t cursor = game.autoTurn >= 0 && game.autoTurn <= 2 ? game.autoTurn : 0;
    game.selectWindow.Open(128, 96, true, -1, -1, cursor, true, "  なし\n  あり\n  一対一のときのみ");
    RedrawWindows();
}

void CSceneMenu::OpenGraphicOptionList(bool topOnly)
{
    SGameResource& game = Game();
    ZTL::string text = "  メニュー時に背景を動かす\n  ウィンドウを透過する\n  暗闇をフェードする\n"
                       "　フォントを滑らかにする\n  画面を拡大する\n";
    text += fullScreenCopy ? "#b  フルスクリーン\n" : "#r  ウィンドウモード\n";
    text += "#g  決定\n#g  キャンセル\n";
    const std::array<bool, 5> switches = {configCopy.menuBackgroundMoves, configCopy.translucentWindows,
                                          configCopy.darknessFades, configCopy.smoothFont, doubleSizeCopy};
    for (std::size_t i = 0; i < switches.size(); ++i) {
        if (i > 0) text += "\n";
        AppendOnOffLabel(text, switches[i]);
    }
    game.selectWindow.OpenSettingsList(53, 252, 8, text);
    if (topOnly) {
        game.selectWindow.DrawTop(game, &m_dirty);
    } else {
        RedrawWindows();
    }
}

void CSceneMenu::OpenKeyboardConfigList(bool topOnly)
{
    OpenKeyConfigList(*this, false, topOnly);
}

void CSceneMenu::OpenPadConfigList(bool topOnly)
{
    OpenKeyConfigList(*this, true, topOnly);
}

void CSceneMenu::BeginKeyConfigScreen(bool pad)
{
    CKeyThread& keys = Keys();
    if (keys.GetBindings().empty()) keys.LoadKeyConfig();
    for (std::size_t i = 0; i < keyTable.size(); ++i)
        keyTable[i] = keys.FindBinding(int(i), pad);
    captureTarget = -1;
    capturePause = 0;
    PushState(pad ? kPadState : kKeyboardState);
    if (pad) {
        OpenPadConfigList(false);
    } else {
        OpenKeyboardConfigList(false);
    }
}

void CSceneMenu::StartKeyCapture(std::int32_t target, bool pad)
{
    SGameResource& game = Game();
    CKeyThread& keys = Keys();
    captureTarget = target;
    ZTL::string text = "#g";
    text += kKeyLabels[std::size_t(target)];
    text += "\n";
    if (target >= 8) text += "#r現在の設定：" + BindingName(keys.FindBinding(target, pad), pad) + "\n";
    text += pad ? kPadPrompt : kKeyboardPrompt;
    game.selectWindow.Open(-1, -1, true, -1, -1, -1, true, text);
    RedrawWindows();
    keys.BeginKeyCapture(target, pad);
}

void CSceneMenu::OpenScrollTextList(bool topOnly)
{
    SGameResource& game = Game();
    const std::vector<ZTL::string> lines = ScrollLines(*this);
    const std::int32_t count = std::int32_t(lines.size());
    ZTL::string text;
    std::int32_t shown = 0;
    for (std::int32_t i = scrollStart; i < count && shown < kScrollLines; ++i, ++shown)
        text += lines[std::size_t(i)] + "\n";
    if (shown == 0) text = "　";
    const std::int32_t top = (228 - 18 * shown) / 2;
    game.selectWindow.OpenMultiColourList(top, 320, -1, -1, text);
    if (scrollStart > 0)
        game.selectWindow.AddImage(kImageInterface, 153, top - 2, Draw::RECT{128, 22, 142, 32});
    if (scrollStart + kScrollLines < count)
        game.selectWindow.AddImage(kImageInterface, 153, top + 18 * shown + 4, Draw::RECT{112, 22, 126, 32});
    if (count >= kScrollLines) {
        game.selectWindow.AddImage(kImageInterface, 304, 30, Draw::RECT{128, 48, 136, 228});
        game.selectWindow.AddImage(kImageInterface, 304, 30 + scrollStart * 180 / count,
                                   Draw::RECT{136, 48, 144, 48 + 1800 / count});
    }
    if (topOnly) {
        game.selectWindow.DrawTop(game, &m_dirty);
    } else {
        RedrawWindows();
    }
}

void CSceneMenu::SuspendToTitle()
{
    SGameResource& game = Game();
    // The promise to go on from here is made only once the disk holds the run as it stands.
    const bool saved = SuspendRun(game) != kGuardNotSaved;
    game.messageWindow.AddMessage(
        -1, -1,
        saved ? "冒険を中断して、タイトル画面に戻ります。\n次回はこの続きから始められます。"
              : "冒険を中断して、タイトル画面に戻ります。");
    game.endOfPlay = 1;
    if (!saved) ShowErrorBox(kSuspendFailedMessage);
}

bool HandleMessageSpeed(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if (Cancelled(keyMask)) {
        menu.PlaySound(kSoundCancel);
        CloseScreen(menu);
        return true;
    }
    if (!Confirmed(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (cursor >= 0 && cursor < std::int32_t(kSpeeds.size()))
        menu.configCopy.messageSpeed = kSpeeds[std::size_t(cursor)];
    game.config = menu.configCopy;
    SaveReplayConfig(game.config);
    game.messageWindow.SetDefaultWait(std::max(-1, game.config.messageSpeed));
    CloseScreen(menu);
    return true;
}

bool HandleAutoTurn(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if (Cancelled(keyMask)) {
        menu.PlaySound(kSoundCancel);
        CloseScreen(menu);
        return true;
    }
    if (!Confirmed(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (cursor >= 0 && cursor <= 2) {
        game.autoTurn = cursor;
        // Logged where it was made, so that a replay turns the same way from here on.
        SPlayerCommand command;
        command.kind = 10;
        command.arg1 = -1;
        command.arg2 = cursor;
        command.arg3 = -1;
        game.actionLog.WriteCommand(command);
    }
    CloseScreen(menu);
    return true;
}

bool HandleGraphicOptions(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if (Cancelled(keyMask)) {
        menu.PlaySound(kSoundCancel);
        CloseScreen(menu);
        return true;
    }
    const std::int32_t cursor = game.selectWindow.GetCursor();
    const bool toggleRow = cursor >= 0 && cursor <= 5;
    if (!Confirmed(keyMask) && !(toggleRow && (keyMask & (kKeyLeft | kKeyRight)) != 0)) return false;
    menu.PlaySound(kSoundDecide);
    SConfig& copy = menu.configCopy;
    switch (cursor) {
    case 0:
        copy.menuBackgroundMoves = !copy.menuBackgroundMoves;
        break;
    case 1:
        copy.translucentWindows = !copy.translucentWindows;
        break;
    case 2:
        copy.darknessFades = !copy.darknessFades;
        break;
    case 3:
        copy.smoothFont = !copy.smoothFont;
        break;
    case 4:
        menu.doubleSizeCopy = !menu.doubleSizeCopy;
        break;
    case 5:
        menu.fullScreenCopy = !menu.fullScreenCopy;
        break;
    case 6:
        menu.SetConfigurationChanged();
        game.config = copy;
        SaveReplayConfig(game.config);
        // Both ways: turning the fade back on takes effect at once too, not only after the next load.
        game.map.displayFlag = game.config.darknessFades ? 0 : 1;
        if (g_app != nullptr) {
            g_app->SetFullScreenCopy(menu.fullScreenCopy);
            g_app->SetDoubleSizeCopy(menu.doubleSizeCopy);
        }
        menu.RequestFullRebuild();
        CloseScreen(menu);
        return true;
    default:
        CloseScreen(menu);
        return true;
    }
    RebuildGraphicOptionList(menu);
    return true;
}

bool HandleKeyConfig(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    CKeyThread& keys = menu.Keys();
    const bool pad = menu.GetState() == kPadState;
    if (menu.capturePause > 0) {
        --menu.capturePause;
        return true;
    }
    if (menu.captureTarget >= 0) {
        if (!keys.IsCapturing()) {
            menu.CloseTopWindow(); // the prompt
            RebuildKeyConfigList(menu, pad);
            // The directions are taken one after another: up, left, down, right.
            if (menu.captureTarget >= 8 && menu.captureTarget <= 10) {
                menu.StartKeyCapture(menu.captureTarget + 1, pad);
            } else {
                menu.captureTarget = -1;
            }
            menu.RedrawWindows();
        }
        menu.capturePause = kCapturePause;
        return true;
    }
    if (Cancelled(keyMask)) {
        menu.PlaySound(kSoundCancel);
        CloseScreen(menu);
        return true;
    }
    if (!Confirmed(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (cursor >= 0 && cursor <= 8) {
        menu.StartKeyCapture(cursor, pad);
        return true;
    }
    switch (cursor) {
    case 9:
        keys.SetDefaultBindings();
        RebuildKeyConfigList(menu, pad);
        return true;
    case 10:
        keys.SaveKeyConfig();
        keys.LoadKeyConfig();
        CloseScreen(menu);
        return true;
    case 11:
        keys.LoadKeyConfig();
        CloseScreen(menu);
        return true;
    default:
        return true;
    }
}

bool HandleScrollTextList(CSceneMenu& menu, std::uint32_t keyMask)
{
    const auto rebuild = [&menu] {
        menu.CloseTopWindow();
        menu.OpenScrollTextList(true);
    };
    if ((keyMask & kKeyUp) != 0 && menu.scrollStart > 0) {
        menu.PlaySound(kSoundCursor);
        --menu.scrollStart;
        rebuild();
        return true;
    }
    if ((keyMask & kKeyDown) != 0 && menu.scrollStart + kScrollLines < ScrollLineCount(menu)) {
        menu.PlaySound(kSoundCursor);
        ++menu.scrollStart;
        rebuild();
        return true;
    }
    if (Cancelled(keyMask)) {
        menu.PlaySound(kSoundCancel);
        CloseScreen(menu);
        return true;
    }
    return false;
}

bool HandleCloseOnCancel(CSceneMenu& menu, std::uint32_t keyMask)
{
    if (!Cancelled(keyMask)) return false;
    menu.PlaySound(kSoundCancel);
    CloseScreen(menu);
    return true;
}
