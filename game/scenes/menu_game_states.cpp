// The menu states that are no screen of their own: the game menu, every choice window, the messages
// that wait for a key, the description pages and the text entry's keys; and the texts they show.
#include "game/scenes/menu_scene.h"

#include "game/scenes/menu_keys.h"

#include "game/app/app.h"
#include "game/app/game_camp_services.h"
#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/app/replay.h"
#include "game/app/run_transitions.h"
#include "game/app/save_game.h"
#include "game/characters/adventure.h"
#include "game/characters/panel_rules.h"
#include "game/data/global_data.h"
#include "game/items/item_control.h"
#include "game/items/item_names.h"
#include "game/scenes/portraits.h"
#include "sdk/auxiliary/file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace MenuKeys;

constexpr std::int32_t kSoundCursor = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;

constexpr std::int32_t kFloorSlot = 20;
constexpr std::int32_t kSealingCircle = 271;
// The return code of a run that goes back to the camp from the menu.
constexpr std::int32_t kReturnToCampCode = 32;

void ReturnToCamp(CSceneMenu& menu)
{
    SGameResource& game = menu.Game();
    game.returnCode = kReturnToCampCode;
    CGameCampServices services(game);
    RequestReturnToCamp(game.returnToCamp, game.playMode, services);
    menu.PushState(0);
    ResetPortraitLayers(game);
}

// Queues the item command `code` for an inventory slot, or for what lies underfoot (slot 20).
void QueueItemCommand(CSceneMenu& menu, std::int32_t code, std::int32_t slot)
{
    SGameResource& game = menu.Game();
    std::int32_t item = CSceneMenu::kNoItem;
    if (slot == kFloorSlot) {
        const CCharacterControl::SPlayer& player = game.characters.player;
        const SMapCell& cell = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
        if (cell.objectKind == kObjectItem) item = cell.objectId;
    } else if (slot >= 0 && std::size_t(slot) < game.inventory.size()) {
        item = game.inventory[std::size_t(slot)];
    }
    SPlayerCommand command;
    command.kind = 8;
    command.arg1 = game.characters.player.direction;
    command.arg2 = item;
    command.arg3 = code;
    game.playerCommands.push_back(command);
}

bool IsPlayerStatusActive(SGameResource& game)
{
    CGamePanelRules rules;
    const CCharacterControl::SPlayer& p = game.characters.player;
    const SCharacterStatus& s = p.status;
    const bool bound = s.boundTurns == 0xFF || (s.boundTurns != 0 && p.x == s.boundX && p.y == s.boundY);
    return p.hasteTurns != 0 || p.invisibleTurns != 0 || rules.HasAbility(game, kAbilityInvisible) ||
           p.strongBodyTurns != 0 || p.inPotTurns != 0 || s.slowTurns != 0 || s.confusionTurns != 0 ||
           s.sealTurns != 0 || rules.CountCirclesAffecting(game, kSealingCircle) > 0 || s.blindTurns != 0 ||
           s.hallucinationTurns != 0 || bound || s.weakBodyTurns != 0;
}

std::int32_t UnderfootKind(SGameResource& game)
{
    const CCharacterControl::SPlayer& p = game.characters.player;
    if (p.x < 0 || p.y < 0 || p.x >= CMapControl::kWidth || p.y >= CMapControl::kHeight) return 0;
    return game.map.GetCell(std::uint32_t(p.x), std::uint32_t(p.y)).objectKind;
}

// The settings submenu's entries from 6 on, by the way the game is played.
void ChooseSettingsEntry(CSceneMenu& menu, std::int32_t entry)
{
    SGameResource& game = menu.Game();
    menu.configCopy = game.config;
    menu.fullScreenCopy = g_globalData.fullScreen;
    menu.doubleSizeCopy = g_globalData.doubleSize;
    switch (entry) {
    case 0:
        menu.PushState(14);
        menu.scrollStart = std::max<std::int32_t>(0, std::int32_t(game.messageWindow.log.size()) - 10);
        menu.OpenScrollTextList(false);
        return;
    case 1:
        menu.PushState(15);
        menu.OpenGraphicOptionList(false);
        return;
    case 2:
    case 3:
        menu.BeginKeyConfigScreen(entry == 2);
        return;
    case 4:
        menu.PushState(18);
        menu.OpenAutoTurnList();
        return;
    case 5:
        menu.PushState(19);
        menu.OpenMessageSpeedList();
        return;
    default:
        break;
    }

    if (game.playMode != kPlayReplay) {
        if (entry == 6) {
            menu.PushState(20);
            game.selectWindow.Open(
                24, 64, true, -1, -1, -1, false,
                "今回の冒険を諦めて、拠点に戻りますか？\n（倒されたときと同じ扱いになります）");
            game.selectWindow.OpenYesNo(24, 112, false);
        } else if (entry == 7) {
            menu.SuspendToTitle();
            menu.PushState(0);
        }
        return;
    }
    if (game.replayFromList == 0) {
        if (entry == 6) {
            EndReplay(game);
            menu.PushState(0);
        }
        return;
    }
    switch (entry) {
    case 6:
        menu.PushState(100);
        menu.OpenRankingRecord();
        break;
    case 7:
        game.replayTargetFloor = game.floor;
        menu.PushState(0);
        break;
    case 8:
        game.replayTargetFloor = NextReplayFloorOrEnd(game);
        menu.PushState(0);
        break;
    case 9:
        game.replayTargetFloor = PreviousReplayFloor(game, game.floor);
        menu.PushState(0);
        break;
    case 10:
        menu.enteredNumber = game.floor;
        menu.digitPosition = 0;
        menu.PushState(99);
        menu.OpenNumberEntry(false);
        break;
    case 11:
        EndReplay(game);
        menu.PushState(0);
        break;
    default:
        break;
    }
}

// States 69 and 70: the save, and what the player is told of it. A save that failed keeps the player in
// the menu's message state 71, so that returning to the title never follows a lost save.
void Save(CSceneMenu& menu, std::int32_t doneState)
{
    SGameResource& game = menu.Game();
    const bool saved = WriteSaveGame(game) == 0;
    menu.CloseWindowGroup();
    menu.PopState();
    menu.PushState(saved ? doneState : 71);
    game.selectWindow.Open(32, 100, true, -1, -1, -1, false,
                           saved ? "セーブしました。" : "ファイルの保存に失敗しました。");
}

// The decide path of a choice state; `entry` the cursor.
void Decide(CSceneMenu& menu, std::int32_t state, std::int32_t entry)
{
    SGameResource& game = menu.Game();
    switch (state) {
    case 4:
    case 9:
        game.actionTimer = 300;
        menu.ExecuteItemCommand();
        return;
    case 8:
        if (entry == 0) {
            menu.ConfirmDestroyChosen();
            return;
        }
        break; // as cancel
    case 10:
        if (entry == 0) QueueItemCommand(menu, 3, kFloorSlot);
        menu.PushState(0);
        return;
    case 13:
        ChooseSettingsEntry(menu, entry);
        return;
    case 20:
        if (entry == 0) {
            game.characters.player.hp = 0;
            game.deathCause = 2;
            if (menu.GetRankingTable() != nullptr) EndAdventure(game, *menu.GetRankingTable());
            menu.PushState(0);
            return;
        }
        menu.CloseTopWindow();
        menu.CloseWindowGroup();
        menu.PopState();
        return;
    case 23:
        if (entry == 0) {
            game.menuAnswer = 1;
            menu.PushState(0);
            return;
        }
        menu.CloseTopWindow();
        menu.PopState();
        return;
    case 25:
    case 36:
    case 61:
    case 67:
        if (entry == 0) {
            menu.QueueSellCommands();
            // No turn follows a sale to the warehouse keeper or at the camp shop, so the sale is settled
            // here; the dungeon shopkeeper settles his own after the menu.
            if (state == 36) SellSelectedWarehouseItems(game);
            if (state == 61 || state == 67) SettleShopTransaction(game, false);
            if (state == 36) game.messageWindow.AddMessage(-1, 0, "倉庫番「じゃあ、確かに売っておくよ」");
            if (state == 61) menu.SetSceneParameter(105);
            if (state == 67) menu.SetSceneParameter(121);
            menu.PushState(0);
            return;
        }
        menu.CloseWindowGroup();
        menu.PopState();
        return;
    case 26:
        game.chosenAbility = std::uint16_t(entry);
        menu.PushState(27);
        // The confirmation shows the ability in the chosen slot.
        menu.ConfirmAbilityRemoval(game.items.GetItem(menu.abilityItem).slots[std::size_t(entry % 10)]);
        return;
    case 27:
        if (entry == 0) {
            menu.PushState(0);
            return;
        }
        menu.CloseWindowGroup();
        menu.PopState();
        return;
    case 28:
        if (entry == 0) {
            game.chosenAbility = 0xFFFF;
            menu.PushState(0);
            return;
        }
        menu.CloseWindowGroup();
        menu.PopState();
        return;
    case 50: {
        std::uint32_t id32 = 0;
        std::uint16_t id16 = 0;
        MakeRunId(id32, id16, game.random.noRandom,
                  g_app != nullptr ? std::uint32_t(g_app->GetFrameCounter()) : 0u);
        AddRunPasswordToHistory(game.passwordHistory, id32, std::uint32_t(entry + 1), id16);
        menu.CloseTopWindow();
        menu.CloseTopWindow();
        menu.PopState();
        menu.OpenTrainingScreen(true);
        return;
    }
    case 69:
    case 70:
        if (entry == 0) {
            Save(menu, state == 69 ? 71 : 72);
            return;
        }
        menu.CloseWindowGroup();
        menu.PopState();
        return;
    case 78:
        if (entry == 0) {
            ZTL::string fileName;
            std::int32_t missing = 0;
            const int written = WriteReplay(game, fileName, &missing);
            menu.CloseTopWindow();
            menu.CloseTopWindow();
            menu.PushState(79);
            game.selectWindow.Open(48, 100, true, -1, -1, -1, false,
                                   ReplaySaveMessage(written, fileName, missing));
            return;
        }
        DeleteReplayFiles(game);
        ReturnToCamp(menu);
        return;
    case 80:
        // The run has ended and the game state is back at the camp: the record keeps its dungeon.
        if (entry == 0) menu.SetSceneParameter(game.trainingRun ? 10 : game.runRecord.category);
        menu.PushState(0);
        return;
    default:
        return;
    }
    // State 8's other entries take the cancel path.
    menu.CloseTopWindow();
    menu.CloseTopWindow();
    if (menu.itemList.chosenSlots.size() > 1) {
        menu.PopState();
        menu.OpenBulkCommandMenu();
    } else {
        menu.PopState();
    }
}

void Cancel(CSceneMenu& menu, std::int32_t state)
{
    SGameResource& game = menu.Game();
    switch (state) {
    case 4: {
        menu.CloseTopWindow();
        const std::int32_t slot = menu.itemList.page * 10 + menu.itemList.row;
        bool weaponOrShield = false;
        if (slot >= 0 && std::size_t(slot) < game.inventory.size() &&
            game.inventory[std::size_t(slot)] != CSceneMenu::kNoItem) {
            const std::int32_t itemClass = game.items.GetItem(game.inventory[std::size_t(slot)]).itemClass;
            weaponOrShield = itemClass == 1 || itemClass == 2;
        }
        if (menu.itemList.chosenSlots.size() <= 1 && menu.itemList.openPot == CSceneMenu::kNoItem &&
            weaponOrShield)
            menu.CloseTopWindow();
        menu.PopState();
        return;
    }
    case 9:
        menu.CloseTopWindow();
        menu.CloseWindowGroup();
        menu.itemList.page = 0;
        menu.itemList.row = 0;
        menu.PopState();
        return;
    case 8:
        Decide(menu, 8, -1);
        return;
    case 10:
        menu.PushState(0);
        return;
    case 13:
    case 23:
    case 80:
        menu.CloseTopWindow();
        menu.PopState();
        return;
    case 20:
        menu.CloseTopWindow();
        menu.CloseWindowGroup();
        menu.PopState();
        return;
    case 26:
        menu.PushState(28);
        menu.ConfirmScrollCancel();
        return;
    case 50:
        menu.CloseTopWindow();
        menu.PopState();
        return;
    case 78:
        menu.CloseTopWindow();
        menu.CloseTopWindow();
        menu.PopState();
        return;
    default: // 25, 27, 28, 36, 61, 67, 69, 70
        menu.CloseWindowGroup();
        menu.PopState();
        return;
    }
}

// The text with the first whole-letter occurrence of `from` replaced by `to`; a double-byte letter is
// stepped over whole so that its trail byte never starts a match.
ZTL::string ReplaceFirst(const ZTL::string& text, std::string_view from, std::string_view to)
{
    const std::string_view s(text.c_str(), text.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s.substr(i, from.size()) == from) {
            const std::string out =
                std::string(s.substr(0, i)) + std::string(to) + std::string(s.substr(i + from.size()));
            return ZTL::string(out.c_str(), out.size());
        }
        const unsigned char c = static_cast<unsigned char>(s[i]);
        i += ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
    }
    return text;
}

} // namespace

void OpenGameMenu(CSceneMenu& menu)
{
    SGameResource& game = menu.Game();
    std::int32_t underfoot = UnderfootKind(game);
    if (game.playMode == kPlayReplay && underfoot == kObjectStairs) underfoot = -1;
    menu.circleLines = BuildCircleList(game);
    game.selectWindow.OpenCommandMenu(menu.itemList.carriedCount > 0, underfoot, !menu.circleLines.empty(),
                                      IsPlayerStatusActive(game), game.characters.player.inPotTurns != 0);
}

bool HandleGameMenuRoot(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.PushState(0);
        return true;
    }
    if ((keyMask & (kKeyDecide | kKeyMenu)) == 0 || !game.selectWindow.IsSelectionEnabled()) return false;
    menu.PlaySound(kSoundDecide);
    switch (game.selectWindow.GetCursor()) {
    case 0:
        menu.PushState(2);
        menu.itemList.chosenSlots.clear();
        menu.itemList.openPot = CSceneMenu::kNoItem;
        menu.OpenItemList(CSceneMenu::kNoItem);
        return true;
    case 1:
        if (UnderfootKind(game) == kObjectStairs) {
            menu.PushState(10);
            menu.OpenStairsPrompt();
        } else {
            menu.PushState(9);
            menu.OpenFootItem();
        }
        return true;
    case 2:
        menu.PushState(11);
        menu.scrollStart = 0;
        menu.circleLines = BuildCircleList(game);
        menu.OpenScrollTextList(false);
        return false;
    case 3:
        game.config.showMap = !game.config.showMap;
        SaveReplayConfig(game.config);
        game.refreshRequest = 1;
        game.messageWindow.AddMessage(-1, 0,
                                      game.config.showMap ? "マップを表示する設定に変更しました。"
                                                          : "マップを表示しない設定に変更しました。");
        menu.PushState(0);
        return true;
    case 4: {
        CGamePanelRules rules;
        game.selectWindow.OpenStatusTurns(game, rules);
        menu.PushState(12);
        return true;
    }
    case 5:
        game.selectWindow.Open(-1, -1, true, -1, -1, 0, true, BuildSettingsMenuText(game));
        menu.PushState(13);
        return true;
    default:
        return true;
    }
}

bool HandleChoice(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    const std::int32_t state = menu.GetState();
    if ((keyMask & (kKeyDecide | kKeyMenu)) != 0) {
        if (game.selectWindow.GetCursor() < 0 || !game.selectWindow.IsSelectionEnabled()) return false;
        menu.PlaySound(kSoundDecide);
        Decide(menu, state, game.selectWindow.GetCursor());
        return true;
    }
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        Cancel(menu, state);
        return true;
    }
    return false;
}

bool HandleMessage(CSceneMenu& menu, std::uint32_t keyMask)
{
    if ((keyMask & (kKeyDecide | kKeySort | kKeyMenu | kKeyMulti | kKeyUp)) != 0) {
        menu.PlaySound(kSoundDecide);
    } else if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
    } else {
        return false;
    }
    switch (menu.GetState()) {
    case 72:
        menu.PushState(0);
        menu.SetSceneParameter(-1);
        break;
    case 42:
    case 46:
        menu.CloseWindowGroup();
        menu.PopState();
        break;
    case 79:
        ReturnToCamp(menu);
        break;
    case 98:
        menu.PushState(0);
        break;
    default:
        menu.CloseTopWindow();
        menu.PopState();
        menu.FillPriceColumn();
        break;
    }
    return true;
}

bool HandleDescriptionPages(CSceneMenu& menu, std::uint32_t keyMask)
{
    const auto leave = [&menu] {
        menu.CloseWindowGroup();
        menu.PopState();
        menu.FillPriceColumn();
    };
    const auto show = [&menu](std::int32_t page) {
        menu.descriptionPage = page;
        menu.CloseWindowGroup();
        menu.ComposeItemDescription();
    };
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        leave();
        return true;
    }
    if ((keyMask & (kKeyDecide | kKeyMenu)) != 0) {
        menu.PlaySound(kSoundDecide);
        if (menu.descriptionPage >= menu.lastDescriptionPage) {
            leave();
        } else {
            show(menu.descriptionPage + 1);
        }
        return true;
    }
    const std::int32_t step = (keyMask & kKeyLeft) != 0 ? -1 : (keyMask & kKeyRight) != 0 ? 1 : 0;
    if (step != 0 && menu.lastDescriptionPage > 0) {
        const std::int32_t pages = menu.lastDescriptionPage + 1;
        menu.PlaySound(kSoundCursor);
        show((menu.descriptionPage + step + pages) % pages);
        return true;
    }
    return false;
}

ETextEntryKey RouteTextEntryKey(std::uint32_t keyMask, std::int32_t state, std::int32_t& sound)
{
    sound = -1;
    if ((keyMask & (kKeyDecide | kKeyMenu)) != 0) {
        sound = kSoundDecide;
        return kEntryChoose;
    }
    if ((keyMask & kKeyMulti) != 0 && state == 6) {
        sound = kSoundDecide;
        return kEntryComplete;
    }
    if ((keyMask & (1u << 5)) != 0) {
        sound = kSoundDecide;
        return kEntryCycleMark;
    }
    if ((keyMask & (1u << 6)) != 0) {
        sound = kSoundDecide;
        return kEntryNextSet;
    }
    if ((keyMask & (1u << 7)) != 0) {
        sound = kSoundDecide;
        return kEntryCursorToEnd;
    }
    if ((keyMask & kKeyCancel) != 0) {
        sound = kSoundCancel;
        return kEntryCancel;
    }
    if ((keyMask & (kKeyUp | kKeyDown)) != 0) {
        sound = kSoundCursor;
        return kEntryMoveRow;
    }
    if ((keyMask & (kKeyLeft | kKeyRight)) != 0) {
        sound = kSoundCursor;
        return kEntryMoveColumn;
    }
    return kEntryNone;
}

bool HandleTextEntry(CSceneMenu& menu, std::uint32_t keyMask)
{
    std::int32_t sound = -1;
    const ETextEntryKey key = RouteTextEntryKey(keyMask, menu.GetState(), sound);
    if (key == kEntryNone) return false;
    // The decide sound stays silent during a silent re-run; PlaySound sees to that.
    menu.PlaySound(sound);
    switch (key) {
    case kEntryChoose:
        menu.ChooseTextEntryCell();
        break;
    case kEntryComplete:
        menu.CompleteEntryName();
        menu.RefreshEntryLine(true);
        break;
    case kEntryCycleMark:
        menu.CycleEntryMark(-1);
        menu.RefreshEntryLine(true);
        break;
    case kEntryNextSet:
        menu.tableSet = (menu.tableSet + 1) % 3;
        menu.ReopenCharacterTable(true, menu.GetState() == CSceneMenu::kNamingEntryState);
        break;
    case kEntryCursorToEnd:
        menu.tableColumn = 4;
        menu.tableRow = 0;
        break;
    case kEntryCancel:
        if (menu.entryCursor > 0) {
            menu.EraseEntryCharacter();
            menu.RefreshEntryLine(true);
        } else if (menu.completionIndex >= 0) {
            menu.completionIndex = -1;
            menu.completionList.clear();
            menu.RefreshEntryLine(true);
        } else {
            menu.LeaveTextEntry();
        }
        break;
    case kEntryMoveRow:
        menu.MoveTableRow((keyMask & kKeyUp) != 0);
        break;
    case kEntryMoveColumn:
        menu.MoveTableColumn((keyMask & kKeyLeft) != 0);
        break;
    default:
        break;
    }
    return true;
}

ZTL::string BuildSettingsMenuText(const SGameResource& game)
{
    ZTL::string text = game.messageWindow.log.empty() ? "#n  メッセージ履歴表示\n" : "  メッセージ履歴表示\n";
    text += "  描画設定\n  パッド設定\n  キーボード設定\n";
    text += game.playMode == kPlayReplay ? "#n  自動振り向き設定\n" : "  自動振り向き設定\n";
    text += "  メッセージ速度設定\n";
    if (game.playMode != kPlayReplay) {
        if (game.dungeon > 0) text += "#g  冒険を諦める\n#g  中断";
        return text;
    }
    if (game.replayFromList == 0) {
        text += "#g  リプレイを終了する\n";
        return text;
    }
    text += game.replayHasScore != 0 ? "#g" : "#n";
    text += "  スコアを表示する\n";
    text += "#g  このフロアを頭から再生する\n";
    text += NextReplayFloorOrEnd(game) != -1 ? "#g" : "#n";
    text += "  次のフロアを再生する\n";
    text += PreviousReplayFloor(game, game.floor) != -1 ? "#g" : "#n";
    text += "  前のフロアを再生する\n";
    text += "#g  フロアを選択して再生する\n";
    text += "#g  リプレイを終了する\n";
    return text;
}

std::vector<ZTL::string> BuildCircleList(SGameResource& game)
{
    std::vector<ZTL::string> lines;
    for (const CSpellCircleControl::SCircle& circle : game.circles.circles) {
        ZTL::string line;
        if (circle.id >= 0 && std::size_t(circle.id) < game.items.kindState.size() &&
            game.items.kindState[std::size_t(circle.id)] == 2) {
            const bool covers = game.circles.CountCirclesAffecting(game.characters.player, game.characters,
                                                                   circle.id, game.map, true) > 0;
            if (covers && circle.range >= 1 && circle.range <= 4) {
                const char code[] = {'#', char('0' + circle.range), '\0'};
                line = code;
            } else {
                line = "#n";
            }
            line += ReplaceFirst(game.items.GetKindName(circle.id), "ペン", "魔法陣");
        } else {
            line = "#y";
            line += game.items.GetMagicCircleName(circle.id);
        }
        line += " [";
        line += CSpellCircleControl::GetRangeName(circle.range);
        line += "]";
        lines.push_back(line);
    }
    if (!lines.empty()) lines.insert(lines.begin(), ZTL::string("現存する魔法陣のリスト"));
    return lines;
}

ZTL::string BuildItemLineText(SGameResource& game, std::uint16_t item, bool greyWhenFlagged,
                              std::int32_t state)
{
    const CItemControl::SItem& record = game.items.GetItem(item);
    ZTL::string text;
    if (greyWhenFlagged && (record.flags & 0x20) != 0) {
        text = "#n";
    } else if (state == 39 && record.itemClass != 1 && record.itemClass != 2) {
        text = "#n";
    } else {
        text = GetItemColorMark(game.items.GetMarkFacts(item));
    }
    return text + game.items.GetDisplayName(item);
}

ZTL::string BuildFootLineText(SGameResource& game)
{
    const CCharacterControl::SPlayer& p = game.characters.player;
    if (p.x < 0 || p.y < 0 || p.x >= CMapControl::kWidth || p.y >= CMapControl::kHeight)
        return "何も落ちていない";
    const SMapCell& cell = game.map.GetCell(std::uint32_t(p.x), std::uint32_t(p.y));
    if (cell.objectKind == kObjectItem) return game.items.GetDisplayName(cell.objectId);
    if (cell.objectKind == kObjectCircle) {
        if (game.items.IsKindIdentified(cell.objectId, false)) return game.items.GetKindName(cell.objectId);
        return ZTL::string("#y") + game.items.GetMagicCircleName(cell.objectId);
    }
    return "何も落ちていない";
}

ZTL::string PreparePasswordText(const ZTL::string& text)
{
    static constexpr char kFullWidthSpace[] = "　";
    const char* s = text.c_str();
    const std::size_t n = text.size();
    std::string out;
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            ++i;
        } else if (i + 1 < n && std::memcmp(s + i, kFullWidthSpace, 2) == 0) {
            i += 2;
        } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            // A double-byte letter is kept whole, so that its trail byte is never taken for a space.
            out.append(s + i, std::min<std::size_t>(2, n - i));
            i += 2;
        } else {
            out += char(c);
            ++i;
        }
    }
    return ZTL::string(out.c_str(), out.size());
}

bool ReadPasswordFromFile(SGameResource& game, const ZTL::string& fileName)
{
    Auxiliary::CFile file;
    if (file.Open(fileName, "rb") != 0 || file.GetStream() == nullptr) return false;
    std::uint8_t bytes[12] = {};
    const std::size_t read = std::fread(bytes, 1, sizeof bytes, file.GetStream());
    file.Close();
    if (read < sizeof bytes) return false;
    const auto word = [&bytes](int i) {
        return std::uint32_t(bytes[4 * i]) | std::uint32_t(bytes[4 * i + 1]) << 8 |
               std::uint32_t(bytes[4 * i + 2]) << 16 | std::uint32_t(bytes[4 * i + 3]) << 24;
    };
    const PasswordPair pair{word(1), word(2)};
    std::uint32_t a = 0, b = 0;
    std::uint16_t c = 0;
    if (DecodePassword(EncodePassword(pair), a, b, c) != kPasswordValid) return false;
    if (b < 1 || b > 7) return false;
    // The history always takes a pair: it moves to the front or enters there, the oldest making room.
    return AddPasswordHistory(game.passwordHistory, pair) == 0;
}
