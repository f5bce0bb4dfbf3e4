#include "game/world/trap_control.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/characters/status_events.h"
#include "game/core/random.h"
#include "game/items/elemental_states.h"
#include "game/items/item_names.h"
#include "game/ui/image_list.h"
#include "game/world/cell_shuffle.h"
#include "game/world/map_control.h"
#include "game/world/trap_actions.h"

#include <array>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::uint16_t kNobody = 0xFFFE; // no character stands on the trap

// The trap ids the rules name.
enum : std::int32_t
{
    kTrapHallucination = 1,
    kTrapWarp = 2,
    kTrapBinding = 3,
    kTrapTrip = 4,
    kTrapBlownAway = 5,
    kTrapAlarm = 7,
    kTrapConfusion = 8,
    kTrapPoison = 9,
    kTrapRustWeapon = 10,
    kTrapRustShield = 11,
    kTrapWater = 12,
    kTrapLightDamage = 13,
    kTrapCurse = 14,
    kTrapFire = 16,
    kTrapCold = 17,
    kTrapSmallBlast = 18,
    kTrapSleep = 19,
    kTrapSeal = 20,
    kTrapSummon = 21,
    kTrapHunger = 22,
    kTrapSlowness = 23,
    kTrapLargeBlast = 25,
    kTrapHeavyDamage = 26,
    kTrapPit = 28,
    kTrapOpenPit = 29,
};

constexpr std::int32_t kMotionHurt = 10;
constexpr std::int32_t kSoundTrap = 42;
constexpr std::int32_t kSoundAlarm = 41;
constexpr std::int32_t kSoundCurse = 16;
constexpr std::int32_t kSoundHunger = 43;
constexpr std::int32_t kWaitNone = 0;
constexpr std::int32_t kWaitDefault = 1;
constexpr std::int32_t kHungerCost = 10000; // thousandths of a fullness point
constexpr std::int32_t kReportWait = 8;     // frames the next turn phase waits after a report
constexpr std::int32_t kGhostRate = 64;
constexpr std::int32_t kCurseTrapItems = 1;

// The first and last placeable id of each group; a group's gap id (0, 6, 15, 24, 27) is never placed.
struct SGroup
{
    std::int32_t first;
    std::int32_t last;
};
constexpr std::array<SGroup, 5> kGroups = {SGroup{1, 5}, SGroup{7, 14}, SGroup{16, 23}, SGroup{25, 26},
                                           SGroup{28, 28}};

// The pit keeps off floors a - 2 to a and b - 2 to b of each dungeon.
struct SPitPair
{
    std::int32_t a;
    std::int32_t b;
};
constexpr std::array<SPitPair, 8> kPitPairs = {SPitPair{99, 99}, SPitPair{10, 20}, SPitPair{30, 99},
                                               SPitPair{25, 70}, SPitPair{25, 70}, SPitPair{50, 50},
                                               SPitPair{50, 50}, SPitPair{99, 99}};

bool GroupOpen(std::int32_t group, std::int32_t d, std::int32_t f, bool noPits)
{
    switch (group) {
    case 0:
        return true;
    case 1:
        if (d < 4 && f <= 8) return false;
        return f >= 4;
    case 2:
        if (d < 4 && f < 15) return false;
        if (d == 6) return f > 4;
        return d < 4 || f > 8;
    case 3:
        if (d < 4 && f < 20) return false;
        if (d == 6) return f > 6;
        return d < 4 || f >= 12;
    default: {
        if (noPits || d == 6 || f < 10 || f > 50) return false;
        // A dungeon outside the table has no pit pair, and so no pit.
        if (d < 0 || std::size_t(d) >= kPitPairs.size()) return false;
        const SPitPair pair = kPitPairs[std::size_t(d)];
        if (pair.a - 3 < f && f <= pair.a) return false;
        if (f > pair.b - 3) return f > pair.b;
        return true;
    }
    }
}

void Say(SGameResource& game, std::int32_t sound, std::int32_t wait, const ZTL::string& text)
{
    game.messageWindow.AddMessage(sound, wait, text);
}

// What trap 14 does to a monster: one of five statuses.
void CurseMonster(SGameResource& game, std::uint16_t monster)
{
    switch (RandomBelow(game.random, 5)) {
    case 0:
        CauseBlindness(game, monster, 50);
        break;
    case 1:
        CauseWeakness(game, monster, 20);
        break;
    case 2:
        CauseConfusion(game, monster, 30);
        break;
    case 3:
        CauseHallucination(game, monster, 50);
        break;
    default:
        CauseSleep(game, monster, 5);
        break;
    }
}

// Everybody on the floor wakes.
void WakeEverybody(SGameResource& game)
{
    game.characters.player.status.sleepTurns = 0;
    for (CCharacterControl::SMonster& monster : game.characters.monsters) {
        if (monster.kindId == 0xFFFF) continue;
        monster.status.sleepTurns = 0;
        monster.sleepState = 0;
    }
}

} // namespace

bool RollTrapRemoval(Math::CRand& generator, std::int32_t trapId)
{
    if (trapId == kTrapBinding) return false;
    if (trapId == kTrapSummon) return true;
    return RandomChance(generator, trapId == kTrapTrip ? 80 : 30, 100);
}

Draw::RECT GetTrapIconRect(std::int32_t t)
{
    std::int32_t left = 0, top = 0;
    if (t >= 1 && t <= 5) {
        left = (t - 1) * 32;
    } else if (t >= 7 && t <= 14) {
        left = (t - 7) * 32, top = 32;
    } else if (t >= 16 && t <= 23) {
        left = (t - 16) * 32, top = 64;
    } else if (t == 25 || t == 26) {
        left = (t - 25) * 32, top = 96;
    } else if (t == 27 || t == 28) {
        left = 64, top = 96;
    } else if (t == 29) {
        left = 96, top = 96;
    } else {
        return {0, 0, 0, 0};
    }
    return {left, top, left + CTrapControl::kIconSize, top + CTrapControl::kIconSize};
}

void CTrapControl::BuildTrapKindList(std::int32_t dungeon, std::int32_t floor, bool noPits)
{
    trapKinds.clear();
    if (dungeon == 6 && floor >= 28 && floor <= 30) {
        trapKinds = {kTrapSmallBlast, kTrapLargeBlast, kTrapHeavyDamage};
        return;
    }
    for (std::size_t group = 0; group < kGroups.size(); ++group) {
        if (!GroupOpen(std::int32_t(group), dungeon, floor, noPits)) continue;
        for (std::int32_t id = kGroups[group].first; id <= kGroups[group].last; ++id)
            trapKinds.push_back(id);
    }
}

std::int32_t CTrapControl::PlaceRandomTrap(std::int32_t x, std::int32_t y, SGameResource& game)
{
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.terrain < 5 || cell.terrain > 10) return kPlaceBadTerrain;
    if (cell.objectKind != 0) return kPlaceCellTaken;
    if (trapKinds.empty()) return kPlaceNoKinds;
    const std::int32_t id = trapKinds[std::size_t(RandomBelow(game.random, std::int32_t(trapKinds.size())))];
    cell.objectKind = kObjectTrap;
    cell.objectId = std::uint16_t(id);
    cell.objectShown = 0;
    return kPlaced;
}

std::int32_t CTrapControl::RemoveAt(std::int32_t x, std::int32_t y, SGameResource& game)
{
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.objectKind != kObjectTrap) return 1;
    CMapControl::ClearObject(cell);
    return 0;
}

void CTrapControl::Trigger(std::int32_t x, std::int32_t y, SGameResource& game)
{
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    std::int32_t trap = 0;
    // The second case is the treasure spot (object kind 10), which the trigger treats as trap 2, not a
    // cell of terrain 10: that is ice, and a report of a trap on plain ice would name a trap the cell
    // does not hold.
    if (cell.objectKind == kObjectTrap)
        trap = cell.objectId;
    else if (cell.objectKind == kObjectTreasureSpot)
        trap = kTrapWarp;
    else
        return;
    cell.objectShown = 1;
    cell.redraw = 1;
    const std::uint32_t key = PositionKey(x, y);
    if (!triggered.insert(key).second) return;

    CCharacterControl::SCharacter* character = game.characters.FindCharacterAt(x, y);
    const bool onHeroine = character != nullptr && character->GetType() == kCharacterPlayer;
    ZTL::string line = GetColoredTrapName(game.items, trap);
    if (onHeroine)
        line += trap == kTrapBinding ? "にかかった！" : "を踏んだ！";
    else
        line += "が作動した！";
    // Whom the character-only effects reach. A character that is only a dying body on the cell is
    // nobody: its slot is not the heroine's, whatever the lookup's "none" says.
    std::uint16_t victim = kNobody;
    if (onHeroine) {
        victim = kHeroine;
    } else if (character != nullptr) {
        const std::uint16_t monster = game.characters.FindMonsterIndexAt(x, y);
        if (monster != CCharacterControl::kNoSlot) victim = monster;
    }
    if (victim == kNobody) character = nullptr;
    Say(game, -1, kWaitNone, line);

    SGameResource::SThrowItem& flying = game.throwItem;
    const bool itemHere = flying.itemIndex != 0xFFFF && flying.x == x && flying.y == y;
    PlaySoundEffect(game, kSoundTrap);

    CActionQueue& turnQueue = game.commandQueue;
    switch (trap) {
    case kTrapHallucination:
        PushHallucinationGasAction(turnQueue, x, y);
        break;
    case kTrapWarp:
        if (character != nullptr) PushWarpAction(turnQueue, victim);
        if (itemHere) {
            std::vector<SCellPosition> cells = game.map.candidateCells;
            SCellPosition found;
            FindRandomFreeCell(found, cells, game.characters, game.map, 0x7FFFFFFF, game);
            if (found.x != -1) {
                flying.x = found.x;
                flying.y = found.y;
            }
        }
        break;
    case kTrapBinding:
        if (character != nullptr) character->SetMotion(kMotionHurt, -1);
        PushBindingTrapAction(turnQueue, x, y);
        break;
    case kTrapTrip:
        if (character != nullptr) PushTripAction(turnQueue, victim);
        break;
    case kTrapBlownAway:
        PushBlownAwayAction(turnQueue, x, y);
        break;
    case kTrapAlarm:
        if (character != nullptr) character->SetMotion(kMotionHurt, -1);
        PlaySoundEffect(game, kSoundAlarm);
        WakeEverybody(game);
        break;
    case kTrapConfusion:
        if (character != nullptr) PushConfusionTrapAction(turnQueue, victim);
        break;
    case kTrapPoison:
        PushPoisonGasAction(turnQueue, x, y);
        break;
    case kTrapRustWeapon:
        PushRustTrapAction(turnQueue, x, y, 1);
        break;
    case kTrapRustShield:
        PushRustTrapAction(turnQueue, x, y, 2);
        break;
    case kTrapWater:
        PushWaterTrapAction(turnQueue, x, y);
        break;
    case kTrapLightDamage:
        PushLightDamageTrapAction(turnQueue, x, y);
        break;
    case kTrapCurse:
        PlaySoundEffect(game, kSoundCurse);
        if (victim == kHeroine)
            CurseItem(game, kCurseTrapItems);
        else if (character != nullptr)
            CurseMonster(game, victim);
        if (itemHere) {
            CItemControl::SItem& item = game.items.GetItem(flying.itemIndex);
            if (item.itemClass != kItemClassPot && (item.flags & CItemControl::kCursed) == 0) {
                item.flags |= CItemControl::kCursed;
                Say(game, -1, kWaitDefault,
                    GetColoredItemNameByIndex(game.items, flying.itemIndex) + "は呪われた！");
            }
        }
        break;
    case kTrapFire:
        PushFireTrapAction(turnQueue, x, y);
        break;
    case kTrapCold:
        PushColdTrapAction(turnQueue, x, y);
        break;
    case kTrapSmallBlast:
        PushExplosionAction(turnQueue, x, y, false, -1, -1);
        break;
    case kTrapSleep:
        PushSleepGasAction(turnQueue, x, y);
        break;
    case kTrapSeal:
        PushSealGasAction(turnQueue, x, y);
        break;
    case kTrapSummon:
        PushSummonAction(game.reactionQueue, x, y);
        break;
    case kTrapHunger:
        if (character == nullptr) break;
        character->SetMotion(kMotionHurt, -1);
        if (victim == kHeroine) {
            game.characters.player.AddFullness(-kHungerCost);
            Say(game, kSoundHunger, kWaitDefault, "お腹が少し減ってしまった。");
        } else {
            character->AddHp(-(character->hp / 2));
            PlaySoundEffect(game, kSoundHunger);
        }
        break;
    case kTrapSlowness:
        if (character != nullptr) CauseSlowness(game, victim, 10);
        break;
    case kTrapLargeBlast:
        PushExplosionAction(turnQueue, x, y, true, -2, -1);
        break;
    case kTrapHeavyDamage:
        PushHeavyDamageTrapAction(turnQueue, x, y);
        break;
    case kTrapPit:
    case kTrapOpenPit:
        // The pit opens: it shows as the open pit until the end of the turn takes it away.
        cell.objectId = kTrapOpenPit;
        cell.redraw = 1;
        PushPitAction(turnQueue, x, y);
        break;
    default:
        break;
    }

    if (trap >= kTrapPit || RollTrapRemoval(game.random, trap)) removals.insert(key);
}

void CTrapControl::ReportNotTriggered(std::int32_t x, std::int32_t y, SGameResource& game)
{
    const SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    std::int32_t trap = 0;
    // The second case is the treasure spot (object kind 10), which the trigger treats as trap 2, not a
    // cell of terrain 10: that is ice, and a report of a trap on plain ice would name a trap the cell
    // does not hold.
    if (cell.objectKind == kObjectTrap)
        trap = cell.objectId;
    else if (cell.objectKind == kObjectTreasureSpot)
        trap = kTrapWarp;
    else
        return;
    const ZTL::string name = GetColoredTrapName(game.items, trap);
    Say(game, -1, kWaitDefault,
        name + (trap == kTrapBinding ? "にかかった！" : "を踏んだ！") + "\n" +
            (trap == kTrapPit ? "しかし　落ちずに済んだ。" : "しかし　罠にはかからなかった。"));
    PlaySoundEffect(game, kSoundTrap);
    game.waitCounter = kReportWait;
}

void CTrapControl::RemoveMarkedTraps(SGameResource& game)
{
    triggered.clear();
    for (const std::uint32_t key : removals) {
        const std::int32_t x = std::int32_t(key & 0xFFFF), y = std::int32_t(key >> 16);
        SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
        if (cell.objectKind != kObjectTrap) continue;
        const Draw::RECT icon = GetTrapIconRect(cell.objectId);
        game.vanishingObjects.push_back(
            {x, y, kVanishingKind, icon.left, icon.top, icon.right, icon.bottom, kVanishingLife});
        CMapControl::ClearObject(cell);
    }
    removals.clear();
}

int CTrapControl::DrawTrapIcon(std::int32_t trapId, Draw::ISurface& target, std::int32_t x, std::int32_t y,
                               bool dim, bool ghost)
{
    const Draw::RECT icon = GetTrapIconRect(trapId);
    if (icon.right == icon.left) return 1;
    Draw::CFastPlane& sheet = AccessImageList(kImageListGet, kImageTraps);
    if (dim) return BltColorKeyHalfBright(target, sheet, x, y, &icon);
    if (!ghost) return BltColorKey(target, sheet, x, y, nullptr, &icon);
    // The ghost: the icon alone on black in the work plane, then added at a quarter of its light, so the
    // black around it adds nothing.
    Draw::CFastPlane& work = GetPlane();
    std::int32_t width = 0, height = 0;
    if (work.GetSize(&width, &height) != 0 || width != kIconSize || height != kIconSize)
        work.CreateSurface(kIconSize, kIconSize, false);
    work.SetFillColor(0);
    work.Clear(nullptr);
    BltColorKey(work, sheet, 0, 0, nullptr, &icon);
    return BltAddRate(target, work, x, y, kGhostRate);
}
