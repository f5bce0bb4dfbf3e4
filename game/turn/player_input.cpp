// The heroine's keys on the dungeon screen become player commands, and the dispatcher applies the next
// command of the sequence: the same dispatcher runs the commands a resumed run or a replay reads from
// the action log, so a logged game plays out again exactly.

#include "game/turn/turn_phases.h"

#include "game/app/game_resource.h"
#include "game/app/key_thread.h"
#include "game/app/scene_control.h"
#include "game/characters/monster_movement.h"
#include "game/characters/room_events.h"
#include "game/core/play_mode.h"
#include "game/core/random.h"
#include "game/data/item_classes.h"
#include "game/data/player_command.h"
#include "game/turn/dungeon_keys.h"

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kMessageTimer = 300;
constexpr std::int32_t kAttackCooldown = 8;
constexpr std::int32_t kMenuOnItem = 6;

using namespace DungeonKeys;

bool Held(std::uint32_t keys, std::int32_t key)
{
    return (keys >> key & 1u) != 0;
}

void Append(SGameResource& game, std::int32_t kind, std::int32_t arg1, std::int32_t arg2 = -1,
            std::int32_t arg3 = -1)
{
    game.playerCommands.push_back(MakePlayerCommand(kind, arg1, arg2, arg3));
}

// The direction the keys give, -1 for none. A diagonal key counts first, then two cardinal keys that
// make a diagonal; with the diagonal lock a single cardinal key gives nothing. Of two opposite keys the
// first of up, left, down, right wins.
std::int32_t DirectionOfKeys(std::uint32_t keys)
{
    static constexpr std::int32_t kDiagonalKeys[4][2] = {
        {kKeyUpLeft, 3}, {kKeyUpRight, 5}, {kKeyDownLeft, 1}, {kKeyDownRight, 7}};
    for (const auto& [key, direction] : kDiagonalKeys)
        if (Held(keys, key)) return direction;
    const bool up = Held(keys, kKeyUp), left = Held(keys, kKeyLeft);
    const bool down = Held(keys, kKeyDown), right = Held(keys, kKeyRight);
    if (up && left) return 3;
    if (left && down) return 1;
    if (down && right) return 7;
    if (right && up) return 5;
    if (Held(keys, kKeyDiagonal)) return -1;
    if (up) return 4;
    if (left) return 2;
    if (down) return 0;
    if (right) return 6;
    return -1;
}

// The item a swap key works on: the spare when it is of the class, else the one worn.
std::int32_t SwapTarget(SGameResource& game, std::int32_t spare, std::int32_t worn, std::int32_t itemClass)
{
    if (spare != kNone && game.items.GetItem(std::uint16_t(spare)).itemClass == itemClass) return spare;
    return worn;
}

bool IsValidDirection(std::int32_t direction)
{
    return direction >= 0 && direction < 8;
}

} // namespace

void CSceneGameMain::OpenMenuScene(std::int32_t request)
{
    CSceneControl* control = GetSceneControl();
    if (control == nullptr) return;
    if (request >= 0 && control->GetFactory().get() != nullptr)
        control->GetFactory()->SetSceneParameter(request);
    control->RequestCall(kSceneMenu);
}

bool CSceneGameMain::UpdatePlayerInput()
{
    const std::uint32_t keys = inputKeys;
    auto& player = game.characters.GetPlayer();
    CKeyThread* keyObject = GetKeys();

    // Latches and counters start over once their keys are let go.
    if (!Held(keys, kKeyTurn)) turnKeyLatch = 0;
    if (!Held(keys, kKeyDiagonal) && !Held(keys, kKeyRight)) weaponSwapLatch = 0;
    if (!Held(keys, kKeyLeft) && !Held(keys, kKeyShoot)) shieldSwapLatch = 0;
    if (!Held(keys, kKeyUp) && !Held(keys, kKeyLeft) && !Held(keys, kKeyDown) && !Held(keys, kKeyRight))
        mapCursorDelay = 0;

    if (game.itemAwaitingMenu != kNone) {
        PlaySoundEffect(game, kSoundDecide);
        // Handed over once: the menu must not open again on the same item when it closes.
        game.itemToShow = game.itemAwaitingMenu;
        game.itemAwaitingMenu = kNone;
        OpenMenuScene(kMenuOnItem);
        game.actionTimer = kMessageTimer;
        return false;
    }

    if (Held(keys, kKeyMap)) {
        mapViewOpen = mapViewOpen != 0 ? 0 : 1;
        game.map.SetMinimapCursor(player.x, player.y);
        if (keyObject != nullptr) {
            for (std::int32_t key = kKeyUp; key <= kKeyDownRight; ++key)
                keyObject->SetRepeatValue(key, 0);
            keyObject->SetRepeatValue(kKeyAct, mapViewOpen != 0 ? 8 : 0);
        }
        return false;
    }

    if (mapViewOpen != 0) {
        if (Held(keys, kKeyAct)) game.guideMode = (game.guideMode + 1) % 3;
        if (Held(keys, kKeyTurn)) game.map.SetMinimapCursor(player.x, player.y);
        if (Held(keys, kKeyDash)) mapCursorDelay = 0;
        mapViewDiagonal = Held(keys, kKeyDiagonal) ? 1 : 0;
        if (game.guideMode > 0) {
            if (mapCursorDelay > 1) {
                --mapCursorDelay;
            } else {
                std::int32_t dx = 0, dy = 0;
                if (Held(keys, kKeyUp)) dy = -1;
                if (Held(keys, kKeyDown)) dy = 1;
                if (Held(keys, kKeyLeft)) dx = -1;
                if (Held(keys, kKeyRight)) dx = 1;
                if (dx != 0 || dy != 0) {
                    game.map.MoveMinimapCursor(dx, dy);
                    // A held key moves on faster once the first delay has run down.
                    mapCursorDelay = mapCursorDelay == 1 ? 3 : 8;
                }
            }
        }
        return false;
    }

    if (Held(keys, kKeySwap)) {
        if ((Held(keys, kKeyDiagonal) || Held(keys, kKeyRight)) && weaponSwapLatch == 0) {
            weaponSwapLatch = 1;
            const std::int32_t item =
                SwapTarget(game, game.spareWeapon, game.equippedWeapon, kItemClassWeapon);
            if (item != kNone) Append(game, 8, player.direction, item, 1);
        }
        if ((Held(keys, kKeyLeft) || Held(keys, kKeyShoot)) && shieldSwapLatch == 0) {
            shieldSwapLatch = 1;
            const std::int32_t item =
                SwapTarget(game, game.spareShield, game.equippedShield, kItemClassShield);
            if (item != kNone) Append(game, 8, player.direction, item, 1);
        }
        return false;
    }

    if (Held(keys, kKeyMenu) || game.menuKeyPressed != 0) {
        game.menuKeyPressed = 0;
        PlaySoundEffect(game, kSoundDecide);
        OpenMenuScene(-1);
        game.actionTimer = kMessageTimer;
        return true;
    }

    if (Held(keys, kKeyAct) && Held(keys, kKeyDash)) {
        Append(game, 9, player.direction);
        attackCooldown = kAttackCooldown;
        return false;
    }

    if (!Held(keys, kKeyAct) || attackCooldown != 0) {
        attackRepeatCount = 0;
    } else if (player.inPotTurns == 0) {
        if (attackRepeatCount++ % 3 == 0) {
            Append(game, 7, player.direction);
            return false;
        }
    }

    if (Held(keys, kKeyShoot) && player.inPotTurns == 0) {
        if (game.equippedArrows != kNone) {
            Append(game, 8, player.direction, game.equippedArrows, 2);
        } else {
            game.messageWindow.AddMessage(-1, kWaitDefault, "矢を装備していない。");
            game.refreshRequest = 1;
        }
        return false;
    }

    if (Held(keys, kKeyTurn)) {
        showDirectionArrow = 1;
        if (turnKeyLatch == 0) {
            turnKeyLatch = 1;
            if (player.status.blindTurns == 0)
                game.characters.TurnToNextAdjacentMonster(game, guideStepCount > 0);
            ++guideStepCount;
            Append(game, 2, player.direction);
            return false;
        }
    }

    if (Held(keys, kKeyDiagonal)) showDiagonalGuide = 1;

    if (game.messageHold > 0) return false;

    std::int32_t direction = DirectionOfKeys(keys);
    if (direction != lastDirectionKey) lastDirectionKey = -1;
    if (direction < 0) return false;

    guideStepCount = 0;
    const bool turnOnly = Held(keys, kKeyTurn);
    bool canStep = CanStepInDirection(player, direction, game, true);
    if (canStep && !turnOnly && player.status.confusionTurns != 0) {
        const std::int32_t r = RandomBelow(confusionRandom, 12);
        if (r < 8) direction = r;
        canStep = CanStepInDirection(player, direction, game, true);
    }

    if (canStep && !turnOnly) {
        directionWait = 0;
        if (Held(keys, kKeyDash)) {
            if (lastDirectionKey != -1) return false;
            lastDirectionKey = direction;
            Append(game, 6, direction);
        } else {
            Append(game, 5, direction);
        }
        player.direction = direction;
        return false;
    }

    if (directionWait == 1) {
        directionWait = 2;
        Append(game, 2, direction);
    } else {
        directionWait = (directionWait + 1) % 8;
    }
    return false;
}

bool CSceneGameMain::DispatchCommand()
{
    if (game.playerCommands.empty()) return false;
    const SPlayerCommand taken = game.playerCommands.front();
    game.playerCommands.pop_front();
    if (taken.kind == -1) return false;
    if (game.playMode == kPlayNormal) game.actionLog.WriteCommand(taken);

    auto& player = game.characters.GetPlayer();
    const bool rerun = game.playMode == kPlaySilentRerun || game.playMode == kPlayReplay;
    const auto face = [&](std::int32_t direction) {
        if (IsValidDirection(direction)) player.direction = direction;
    };
    bool takesTurn = false;
    switch (taken.kind) {
    case 2:
        face(taken.arg1);
        break;
    case 3:
        // The menu sorted the bag itself when the command was given.
        if (rerun) game.items.SortInventory(game);
        break;
    case 4:
        if (rerun && taken.arg2 >= 0 && taken.arg2 != kNone)
            game.items.SetKindNickname(game.items.GetItem(std::uint32_t(taken.arg2)).kind, taken.text);
        break;
    case 5:
    case 6:
    case 7:
    case 9:
    case 11:
    case 15:
        face(taken.arg1);
        takesTurn = true;
        break;
    case 8: {
        const auto item = static_cast<std::uint16_t>(taken.arg2);
        if (item != kNone) {
            IdentifyItemKind(game, item);
            const auto target = static_cast<std::uint16_t>(taken.arg1);
            if (taken.arg3 == 3 && target != kNone && game.items.UseNeedsTargetItem(game.items.GetItem(item)))
                IdentifyItemKind(game, target);
        }
        takesTurn = RunItemCommand(taken);
        break;
    }
    case 10:
        if (rerun) game.autoTurn = taken.arg2;
        break;
    case 14:
        takesTurn = RunGroupCommand();
        break;
    default:
        // Kinds 12 and 13 are answers that only the dialogues read; anything else is consumed unused.
        break;
    }
    if (!takesTurn) return true;

    if (game.playMode == kPlayNormal && game.dungeon != 0)
        game.actionLog.AppendToFile();
    else
        game.actionLog.ClearWordBuffer();
    if (descending != 0) return true;
    turnState = 1;
    command = taken;
    game.turnStarted = 1;
    game.refreshRequest = 1;
    return true;
}
