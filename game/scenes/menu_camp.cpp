// The camp's menu states: the camp menu, the dungeon list with its records and carry-in limits, the
// confirmations that end the menu with a run to start, the training screen with its passwords (made
// for a dungeon, typed, chosen from the history or read from dropped replay files) and its target
// floor, and the number entry that the target floor shares with the replay's floor choice.
#include "game/scenes/menu_scene.h"

#include "game/scenes/menu_keys.h"

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/app/replay.h"
#include "game/asset_ids.h"
#include "game/data/error_box.h"
#include "game/data/password.h"
#include "game/items/item_control.h"
#include "game/scenes/camp_scene.h"
#include "game/ui/message_numbers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace MenuKeys;

constexpr std::int32_t kSoundCursor = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;

constexpr std::int32_t kFirstDungeon = 1;
constexpr std::int32_t kLastDungeon = 7;
constexpr std::int32_t kHistoryPage = 10;
// The least target floor of a training run.
constexpr std::int32_t kLeastTargetFloor = 5;

constexpr std::array<const char*, 8> kDungeonNames = {"倉庫",     "初心の道", "剣姫の道", "知識の道",
                                                      "勇気の道", "試練の道", "強者の道", "深遠の道"};
constexpr std::array<std::int32_t, 8> kCarryLimits = {0, 20, 10, 0, 0, 0, 7, 0};
// The colour of each dungeon's lines in the password history.
constexpr std::array<const char*, 8> kHistoryColours = {"", "#3", "", "#y", "#5", "#2", "#1", "#6"};

constexpr const char* kNotOpen = "このダンジョンには\nまだ入ることができません。";

using Slot = SGameResource::SDungeonSlot;

bool IsDecide(std::uint32_t keyMask)
{
    return (keyMask & (kKeyDecide | kKeyMenu)) != 0;
}

bool IsOpenDungeon(SGameResource& game, std::int32_t dungeon)
{
    return dungeon >= 0 && dungeon < std::int32_t(SGameResource::kDungeonSlots) &&
           game.dungeonSlots[std::size_t(dungeon)].open != 0;
}

// The dungeons the lists show: 1, 2, ... up to the first that is not open.
std::int32_t ListedDungeons(SGameResource& game)
{
    std::int32_t count = 0;
    while (count < kLastDungeon && IsOpenDungeon(game, kFirstDungeon + count))
        ++count;
    return count;
}

// The first history entry decoded: its dungeon and run values; false without one or when it fails.
bool DecodeRegistered(SGameResource& game, std::uint32_t& dungeon)
{
    if (game.passwordHistory.empty()) return false;
    std::uint32_t seed = 0;
    std::uint16_t value = 0;
    return DecodePassword(EncodePassword(game.passwordHistory.front()), seed, dungeon, value) ==
           kPasswordValid;
}

// A message that waits for a key and goes back to the screen below with its window group.
void ShowRefusal(CSceneMenu& menu, const ZTL::string& text)
{
    menu.PushState(46);
    menu.Game().selectWindow.Open(32, 78, true, -1, -1, -1, true, text);
}

ZTL::string NumberEntryText(std::int32_t number)
{
    ZTL::string text = number < 10 ? "　　" : number < 100 ? "　" : "";
    return text + FormatFullWidthNumber(number) + "階";
}

// The history's password text in three groups of three letters, each followed by a space.
ZTL::string GroupedPassword(const ZTL::string& text)
{
    const std::string plain(text.c_str(), text.size());
    std::string out;
    for (std::size_t i = 0; i < plain.size(); i += 6)
        out += plain.substr(i, 6) + " ";
    return ZTL::string(out.c_str(), out.size());
}

std::int32_t HistoryPages(const SGameResource& game)
{
    return std::int32_t((game.passwordHistory.size() + kHistoryPage - 1) / kHistoryPage);
}

} // namespace

const char* CampDungeonName(std::int32_t dungeon)
{
    if (dungeon < 0 || dungeon >= std::int32_t(kDungeonNames.size())) return "";
    return kDungeonNames[std::size_t(dungeon)];
}

std::int32_t CampCarryLimit(std::int32_t dungeon)
{
    if (dungeon < 0 || dungeon >= std::int32_t(kCarryLimits.size())) return 0;
    return kCarryLimits[std::size_t(dungeon)];
}

ZTL::string BuildCampMenuText(const SGameResource& game)
{
    ZTL::string text = "　ダンジョンへ向かう\n　特訓ダンジョン\n　持ち物の確認\n　倉庫へ入る\n";
    text += game.flag.words[kFlagWordMetShopkeeper] != 0 ? "　榎戸の店へ行く\n" : "　店へ向かう\n";
    text += game.flag.words[kFlagWordMetCollector] != 0 ? "　宗真に会う\n" : "　辺りを調べてみる\n";
    text += "　設定\n　セーブ\n　セーブして中断\n";
    return text;
}

ZTL::string FormatClearRate(std::int32_t clears, std::int32_t attempts)
{
    if (attempts == 0) return "0";
    if (clears == attempts) return "100";
    const std::int64_t rate = std::int64_t(clears) * 10000 / attempts;
    char buffer[48];
    if (rate % 100 == 0)
        std::snprintf(buffer, sizeof buffer, "%2lld", static_cast<long long>(rate / 100));
    else
        std::snprintf(buffer, sizeof buffer, "%2lld.%02lld", static_cast<long long>(rate / 100),
                      static_cast<long long>(rate % 100));
    return buffer;
}

ZTL::string BuildDungeonInfoText(SGameResource& game, std::int32_t dungeon)
{
    const std::int32_t limit = CampCarryLimit(dungeon);
    ZTL::string text = limit > 0
                           ? ZTL::string("アイテム持ち込み制限　") + FormatFullWidthNumber(limit) + "個まで\n"
                           : ZTL::string("アイテムを持ち込めない\n");
    std::int32_t attempts = 0, clears = 0;
    if (const Slot* record = game.FindDungeonSlot(dungeon); record != nullptr) {
        attempts = record->values[Slot::kStarts];
        clears = record->values[Slot::kClears];
    }
    char counts[64];
    std::snprintf(counts, sizeof counts, "挑戦回数 %4d  クリア回数 %4d\n", attempts, clears);
    return text + counts + "クリア率　" + FormatClearRate(clears, attempts) + "％";
}

std::int32_t MoveDigitPosition(std::int32_t position, std::int32_t upper, bool left)
{
    const bool threePlaces = upper >= 100;
    if (left) {
        if (position == 0) return 1;
        if (position == 1) return threePlaces ? 2 : 0;
        return 0;
    }
    if (position == 0) return threePlaces ? 2 : 1;
    if (position == 1) return 0;
    return 1;
}

std::vector<ZTL::string>& CSceneMenu::DroppedFiles()
{
    if (droppedFiles != nullptr) return *droppedFiles;
    return g_app != nullptr ? g_app->GetDroppedFiles() : ownDroppedFiles;
}

void CSceneMenu::OpenCampMenu()
{
    Game().selectWindow.Open(16, 32, false, -1, -1, 0, true, BuildCampMenuText(Game()));
    listPosition = -1;
}

void CSceneMenu::OpenDungeonList(bool redrawOnly)
{
    SGameResource& game = Game();
    if (!redrawOnly) {
        ZTL::string text;
        const std::int32_t count = ListedDungeons(game);
        for (std::int32_t d = kFirstDungeon; d < kFirstDungeon + count; ++d) {
            const std::int32_t deepest = game.dungeonSlots[std::size_t(d)].values[Slot::kBestFloor];
            text += ZTL::string("　") + CampDungeonName(d) + "　";
            text += deepest != 0 ? FormatFullWidthNumber(deepest) + "階到達" : ZTL::string("　　初めて");
            text += "\n";
        }
        game.selectWindow.Open(32, 24, true, 192, -1, listPosition, true, text);
    }
    game.selectWindow.Open(32, 168, false, 256, -1, -1, true, BuildDungeonInfoText(game, listPosition + 1));
}

void CSceneMenu::DecideDungeon(std::int32_t dungeon, bool training)
{
    SGameResource& game = Game();
    if (training) {
        if (game.passwordHistory.empty()) {
            ShowRefusal(*this, "パスワードが登録されていません。");
            return;
        }
        std::uint32_t decoded = 0;
        if (!DecodeRegistered(game, decoded)) {
            ShowErrorBox(CSceneCamp::kUnreadablePassword);
            return;
        }
        if (decoded == 0 || decoded > std::uint32_t(kLastDungeon) ||
            !IsOpenDungeon(game, std::int32_t(decoded))) {
            ShowRefusal(*this, kNotOpen);
            return;
        }
        dungeon = std::int32_t(decoded);
    }
    const std::int32_t limit = CampCarryLimit(dungeon);
    if (CountCarriedItems(game) > limit) {
        ZTL::string text = "このダンジョンには";
        text += limit == 0 ? ZTL::string("\nアイテムを持ち込めません。")
                           : FormatFullWidthNumber(limit) + "個までしか\nアイテムを持ち込めません。";
        ShowRefusal(*this, text);
        return;
    }
    PushState(training ? 56 : 45);
    ZTL::string text = CampDungeonName(dungeon);
    if (training) text += ZTL::string("　") + FormatFullWidthNumber(game.trainingTargetFloor) + "階";
    text += "に挑戦します。";
    if (game.gold != 0 && limit == 0) text += "\n持っているお金は自動的に預けられます。";
    text += "\nよろしいですか？";
    game.selectWindow.Open(32, 60, true, -1, -1, -1, true, text);
    game.selectWindow.OpenYesNo(32, 126, false);
}

void CSceneMenu::OpenTrainingScreen(bool redrawOnly)
{
    SGameResource& game = Game();
    if (!redrawOnly)
        game.selectWindow.Open(
            32, 24, true, 256, -1, 0, true,
            "　現在のパスワードで特訓を始める\n　ダンジョンを選択してパスワードを得る\n"
            "　パスワードを入力する\n　パスワードを履歴から選択\n　目標階数を変更する\n　戻る");
    ZTL::string text = "#g登録中のパスワード：";
    text += game.passwordHistory.empty() ? ZTL::string("なし") : EncodePassword(game.passwordHistory.front());
    text += ZTL::string("\n#3目標階数：") + FormatFullWidthNumber(game.trainingTargetFloor) + "階";
    std::uint32_t dungeon = 0;
    if (DecodeRegistered(game, dungeon)) text += ZTL::string("　") + CampDungeonName(std::int32_t(dungeon));
    text += "\n(リプレイデータをドラッグ＆ドロップすると\nパスワードを読み込みます)";
    game.selectWindow.Open(32, 144, false, 288, -1, -1, true, text);
}

void CSceneMenu::OpenPasswordDungeonList()
{
    SGameResource& game = Game();
    ZTL::string text;
    const std::int32_t count = ListedDungeons(game);
    for (std::int32_t d = kFirstDungeon; d < kFirstDungeon + count; ++d)
        text += ZTL::string("　") + CampDungeonName(d) + "\n";
    game.selectWindow.Open(40, 32, true, 128, -1, 0, true, text);
}

void CSceneMenu::OpenPasswordHistory()
{
    SGameResource& game = Game();
    PasswordHistory& history = game.passwordHistory;
    // Entries that no longer decode leave the history before the page is laid out, so that the page and
    // the list position count only entries that are listed.
    std::erase_if(history, [](const PasswordPair& pair) {
        std::uint32_t a = 0, b = 0;
        std::uint16_t c = 0;
        return DecodePassword(EncodePassword(pair), a, b, c) != kPasswordValid;
    });
    if (history.empty()) {
        PopState();
        game.selectWindow.Open(32, 100, true, -1, -1, -1, true, "パスワードの履歴がありません");
        PushState(54);
        return;
    }
    listPosition = std::clamp(listPosition, 0, std::int32_t(history.size()) - 1);
    const std::int32_t first = listPosition / kHistoryPage * kHistoryPage;
    const std::int32_t last = std::min<std::int32_t>(first + kHistoryPage, std::int32_t(history.size()));
    ZTL::string text;
    for (std::int32_t i = first; i < last; ++i) {
        const ZTL::string password = EncodePassword(history[std::size_t(i)]);
        std::uint32_t a = 0, dungeon = 0;
        std::uint16_t c = 0;
        DecodePassword(password, a, dungeon, c);
        const std::size_t colour = dungeon < kHistoryColours.size() ? dungeon : 0;
        text += ZTL::string(kHistoryColours[colour]) + "　" + GroupedPassword(password) + "　" +
                CampDungeonName(std::int32_t(dungeon)) + "\n";
    }
    // Ten rows: every page takes the size of a full one.
    game.selectWindow.Open(32, 32, true, 252, kHistoryPage, listPosition % kHistoryPage, true, text);
}

void CSceneMenu::GetNumberEntryBounds(std::int32_t& low, std::int32_t& high)
{
    SGameResource& game = Game();
    if (m_state == 99) {
        // The replay's first and last floors; a replay holds at least one.
        const auto& floors = game.runStartValues;
        low = floors.empty() ? 1 : floors.begin()->first;
        high = floors.empty() ? 1 : floors.rbegin()->first;
        return;
    }
    low = kLeastTargetFloor;
    high = kLeastTargetFloor;
    for (const Slot& record : game.dungeonSlots)
        high = std::max(high, record.values[Slot::kBestFloor]);
}

void CSceneMenu::OpenNumberEntry(bool redrawOnly)
{
    SGameResource& game = Game();
    const ZTL::string text = NumberEntryText(enteredNumber);
    if (!redrawOnly || game.selectWindow.windows.empty()) {
        game.selectWindow.Open(144, 100, true, 72, -1, -1, true, text);
        // One cell a digit, under which the digit cursor stands.
        game.selectWindow.UseMonospaceFont();
        return;
    }
    CSelectWindow::SWindow& window = game.selectWindow.windows.back();
    if (window.items.empty()) window.items.emplace_back();
    window.items.front().text = text;
    window.dirty = 1;
}

void CSceneMenu::DrawDigitCursor(Draw::ISurface& plane)
{
    const std::int32_t x = (m_state == 48 ? 180 : 212) - 14 * digitPosition;
    constexpr std::int32_t y = 116;
    const Draw::RECT underline{112, 40, 128, 48};
    BltImage(plane, kImageInterface, x, y, &underline);
    m_dirty.AddRect(x, y, x + 16, y + 8);
}

void CSceneMenu::DrawHistoryPages(Draw::ISurface& plane)
{
    const std::int32_t pages = HistoryPages(Game());
    if (pages <= 1) return;
    DrawSmallNumbers(plane, listPosition / kHistoryPage + 1, pages, 284, 32);
    m_dirty.AddRect(272, 32, 312, 46);
}

bool HandleCampMenu(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if (!IsDecide(keyMask) || !game.selectWindow.IsSelectionEnabled()) return false;
    menu.PlaySound(kSoundDecide);
    switch (game.selectWindow.GetCursor()) {
    case 0:
        menu.PushState(44);
        menu.listPosition = 0;
        menu.OpenDungeonList(false);
        break;
    case 1:
        menu.PushState(47);
        menu.OpenTrainingScreen(false);
        break;
    case 2:
        menu.PushState(2);
        menu.lookAndDiscard = true;
        menu.itemList.page = 0;
        menu.itemList.row = 0;
        menu.itemList.chosenSlots.clear();
        menu.itemList.openPot = CSceneMenu::kNoItem;
        menu.OpenItemList(CSceneMenu::kNoItem);
        break;
    case 3:
        menu.SetSceneParameter(0);
        menu.PushState(0);
        break;
    case 4:
        menu.SetSceneParameter(101);
        menu.PushState(0);
        break;
    case 5:
        menu.SetSceneParameter(117);
        menu.PushState(0);
        break;
    case 6:
        menu.PushState(13);
        game.selectWindow.Open(-1, -1, true, -1, -1, 0, true, BuildSettingsMenuText(game));
        break;
    case 7:
        menu.PushState(69);
        game.selectWindow.Open(32, 78, true, -1, -1, -1, true,
                               "現在の状況を\nファイルに保存してよろしいですか？");
        game.selectWindow.OpenYesNo(32, 126, false);
        break;
    case 8:
        menu.PushState(70);
        game.selectWindow.Open(32, 60, true, -1, -1, -1, true,
                               "現在の状況をファイルに保存して\nタイトル画面に戻ります。\nよろしいですか？");
        game.selectWindow.OpenYesNo(32, 126, false);
        break;
    default:
        break;
    }
    return true;
}

bool HandleDungeonList(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    // The cursor moved on the last frame: the information follows it.
    if (const std::int32_t cursor = game.selectWindow.GetCursor();
        cursor >= 0 && cursor != menu.listPosition) {
        menu.listPosition = cursor;
        menu.CloseTopWindow();
        menu.OpenDungeonList(true);
    }
    if (IsDecide(keyMask)) {
        menu.PlaySound(kSoundDecide);
        menu.DecideDungeon(menu.listPosition + 1, false);
        return true;
    }
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.PopState();
        menu.CloseWindowGroup();
        return true;
    }
    return false;
}

bool HandleDungeonConfirm(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if (IsDecide(keyMask)) {
        if (game.selectWindow.GetCursor() < 0 || !game.selectWindow.IsSelectionEnabled()) return false;
        menu.PlaySound(kSoundDecide);
        if (game.selectWindow.GetCursor() == 0) {
            menu.SetSceneParameter(menu.GetState() == 56 ? CSceneCamp::kResultTraining
                                                         : menu.listPosition + 1);
            menu.PushState(0);
            return true;
        }
        menu.PopState();
        menu.CloseWindowGroup();
        return true;
    }
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.PopState();
        menu.CloseWindowGroup();
        return true;
    }
    return false;
}

bool HandleTrainingScreen(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    std::vector<ZTL::string>& dropped = menu.DroppedFiles();
    if (!dropped.empty()) {
        std::int32_t added = 0;
        for (const ZTL::string& name : dropped)
            if (ReadPasswordFromFile(game, name)) ++added;
        dropped.clear();
        if (added > 0) {
            menu.CloseTopWindow();
            menu.OpenTrainingScreen(true);
        }
        game.selectWindow.Open(-1, -1, true, -1, -1, -1, true,
                               added > 0 ? "ファイルからパスワードを追加しました。"
                                         : "パスワードの追加に失敗しました。");
        menu.PushState(55);
        return true;
    }
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.PopState();
        menu.CloseWindowGroup();
        return true;
    }
    if (!IsDecide(keyMask) || !game.selectWindow.IsSelectionEnabled()) return false;
    menu.PlaySound(kSoundDecide);
    switch (game.selectWindow.GetCursor()) {
    case 0:
        game.lastFloor = game.trainingTargetFloor;
        menu.DecideDungeon(0, true);
        break;
    case 1:
        menu.PushState(50);
        menu.OpenPasswordDungeonList();
        break;
    case 2:
        menu.PushState(CSceneMenu::kPasswordEntryState);
        menu.OpenTextEntry();
        break;
    case 3:
        menu.listPosition = 0;
        menu.PushState(53);
        menu.OpenPasswordHistory();
        break;
    case 4:
        menu.digitPosition = 0;
        menu.enteredNumber = game.trainingTargetFloor;
        menu.PushState(48);
        menu.OpenNumberEntry(false);
        break;
    case 5:
        menu.PopState();
        menu.CloseWindowGroup();
        break;
    default:
        break;
    }
    return true;
}

bool HandlePasswordHistory(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    PasswordHistory& history = game.passwordHistory;
    if (const std::int32_t row = game.selectWindow.GetCursor(); row >= 0)
        menu.listPosition = menu.listPosition / kHistoryPage * kHistoryPage + row;
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.PopState();
        menu.CloseTopWindow();
        return true;
    }
    if ((keyMask & (kKeyLeft | kKeyRight)) != 0) {
        const std::int32_t pages = HistoryPages(game);
        if (pages <= 1) return true;
        const std::int32_t row = menu.listPosition % kHistoryPage;
        std::int32_t page = menu.listPosition / kHistoryPage + ((keyMask & kKeyLeft) != 0 ? -1 : 1);
        page = (page + pages) % pages;
        menu.listPosition = std::min(page * kHistoryPage + row, std::int32_t(history.size()) - 1);
        menu.PlaySound(kSoundCursor);
        menu.CloseTopWindow();
        menu.OpenPasswordHistory();
        return true;
    }
    if (!IsDecide(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    if (menu.listPosition >= 0 && std::size_t(menu.listPosition) < history.size()) {
        const PasswordPair chosen = history[std::size_t(menu.listPosition)];
        AddPasswordHistory(history, chosen);
    }
    menu.CloseTopWindow();
    menu.PopState();
    // The training screen's information shows the newly registered password.
    menu.CloseTopWindow();
    menu.OpenTrainingScreen(true);
    return true;
}

bool HandleNumberEntry(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    const std::int32_t state = menu.GetState();
    std::int32_t low = 1, high = 1;
    menu.GetNumberEntryBounds(low, high);
    if ((keyMask & (kKeyUp | kKeyDown | kKeyLeft | kKeyRight)) != 0) {
        static constexpr std::array<std::int32_t, 3> kSteps = {1, 10, 100};
        const std::int32_t step = kSteps[std::size_t(std::clamp(menu.digitPosition, 0, 2))];
        if ((keyMask & kKeyUp) != 0) {
            menu.enteredNumber = std::clamp(menu.enteredNumber + step, low, high);
        } else if ((keyMask & kKeyDown) != 0) {
            menu.enteredNumber = std::clamp(menu.enteredNumber - step, low, high);
        } else {
            menu.digitPosition = MoveDigitPosition(menu.digitPosition, high, (keyMask & kKeyLeft) != 0);
        }
        menu.PlaySound(kSoundCursor);
        menu.OpenNumberEntry(true);
        return true;
    }
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.CloseWindowGroup();
        menu.PopState();
        return true;
    }
    if (!IsDecide(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    if (state == 99) {
        // A floor the replay lacks gives the nearest one it holds.
        game.replayTargetFloor = NearestReplayFloor(game, menu.enteredNumber);
        menu.PushState(0);
        return true;
    }
    if (menu.enteredNumber < kLeastTargetFloor) {
        game.selectWindow.Open(32, 108, true, -1, -1, -1, true, "目標階数は５階以上を指定して下さい");
        menu.PushState(49);
        return true;
    }
    game.trainingTargetFloor = menu.enteredNumber;
    menu.CloseWindowGroup();
    menu.PopState();
    menu.CloseTopWindow();
    menu.OpenTrainingScreen(true);
    return true;
}
