// What a staff's magic bullet does where it ends.
#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/level_changes.h"
#include "game/characters/room_events.h"
#include "game/characters/status_events.h"
#include "game/core/directions.h"
#include "game/items/projectile_path.h"
#include "game/items/staff_actions.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"
#include "game/world/trap_actions.h"

#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kSoundFrozen = 18;
constexpr std::int32_t kSoundParalysed = 85;
constexpr std::uint16_t kSealMagicProof = 39;
constexpr std::int32_t kFullRange = 0xFFFF;
constexpr std::int32_t kCauseMagic = 3;
constexpr std::int32_t kKnockBackCells = 10;
constexpr std::int32_t kFloorTypeIce = 21;
constexpr std::int32_t kNoLimit = -1;

SMapCell& Cell(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

bool HasCharacter(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.characters.FindCharacterAt(x, y) != nullptr;
}

// The trap of (x, y) slides along the direction, shown, at most `limit` cells (kNoLimit: until stopped),
// stopping before a character or a cell that may not hold a trap.
void SlideTrap(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t direction,
               std::int32_t limit)
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    if (dx == 0 && dy == 0) return;
    for (std::int32_t moved = 0; limit == kNoLimit || moved < limit; ++moved) {
        SMapCell& from = Cell(game, x, y);
        from.objectShown = 1;
        const std::int32_t nx = x + dx;
        const std::int32_t ny = y + dy;
        if (HasCharacter(game, nx, ny) || !CMapControl::IsOnMap(nx, ny) ||
            !game.map.CanPlaceObject(nx, ny, kObjectTrap))
            return;
        SMapCell& to = Cell(game, nx, ny);
        to.objectKind = from.objectKind;
        if (to.objectKind == kObjectFire) game.map.NoteFireAt(nx, ny);
        if (to.objectKind == kObjectItem) game.map.NoteItemAt(nx);
        to.objectId = from.objectId;
        to.objectShown = 1;
        to.redraw = 1;
        CMapControl::ClearObject(from);
        x = nx;
        y = ny;
    }
}

// The stairs of (x, y) slide likewise onto plain empty floor. A cell where stairs may not stand stops
// them before they leave their cell, so that a floor never loses its way down.
void SlideStairs(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t direction,
                 std::int32_t limit)
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    if (dx == 0 && dy == 0) return;
    for (std::int32_t moved = 0; limit == kNoLimit || moved < limit; ++moved) {
        SMapCell& from = Cell(game, x, y);
        from.objectShown = 1;
        const std::int32_t nx = x + dx;
        const std::int32_t ny = y + dy;
        if (HasCharacter(game, nx, ny) || !CMapControl::IsOnMap(nx, ny)) return;
        const SMapCell& to = Cell(game, nx, ny);
        if (to.terrain >= 18 || to.terrain <= 4 || to.objectKind != 0) return;
        const std::uint16_t id = from.objectId;
        if (game.map.PlaceStairs(nx, ny, id) != 0) return;
        CMapControl::ClearObject(from);
        x = nx;
        y = ny;
    }
}

// The knock-back and pulling staffs on a cell without a character: what lies there is moved.
void MoveObjectOnCell(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t direction,
                      std::int32_t cells, std::int32_t limit)
{
    switch (Cell(game, x, y).objectKind) {
    case kObjectItem:
        PushActionThrow(game.reactionQueue, game, x, y, direction, cells);
        break;
    case kObjectTrap:
        SlideTrap(game, x, y, direction, limit);
        break;
    case kObjectStairs:
        if (game.dungeon != 0) SlideStairs(game, x, y, direction, limit);
        break;
    default:
        break;
    }
}

void KnockBack(SGameResource& game, std::int32_t target, std::int32_t x, std::int32_t y,
               std::int32_t direction, std::int32_t attacker)
{
    if (target >= 0)
        PushKnockbackAction(game.reactionQueue, target, direction, kKnockBackCells, attacker, true);
    else
        MoveObjectOnCell(game, x, y, direction, kKnockBackCells, kKnockBackCells);
}

void Pull(SGameResource& game, std::int32_t target, std::int32_t x, std::int32_t y, std::int32_t direction,
          std::int32_t attacker)
{
    const std::int32_t back = (direction - 4) & 7;
    std::int32_t range = kFullRange;
    const SCellPosition end = TraceProjectilePath(x, y, back, game, range, false, false);
    const std::int32_t cells = GetTileDistance(x, y, end.x, end.y) - 1;
    if (cells <= 0) return;
    CActionQueue& queue = game.reactionQueue;
    if (target >= 0) {
        // An unmovable target draws the wielder to itself instead.
        if (game.characters.GetCharacterOrPlayer(std::uint16_t(target)).HasAbility(game, kAbilityUnmovable))
            PushKnockbackAction(queue, attacker, direction, cells, attacker, false);
        else
            PushKnockbackAction(queue, target, back, cells, attacker, false);
    } else if (Cell(game, x, y).terrain <= 2) {
        PushKnockbackAction(queue, attacker, direction, cells, attacker, false);
    } else {
        MoveObjectOnCell(game, x, y, back, cells, kNoLimit);
    }
}

// The beam from the target's cell on: the cells from the one before it, each struck beyond itself.
void BeamFrom(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t direction,
              std::int32_t attacker)
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    if (dx == 0 && dy == 0) return;
    std::vector<SCellPosition> cells;
    for (std::int32_t cx = x - dx, cy = y - dy; Cell(game, cx, cy).terrain > 2; cx += dx, cy += dy)
        cells.push_back({cx, cy});
    for (auto cell = cells.rbegin(); cell != cells.rend(); ++cell)
        PushStaffBeamAction(game.reactionQueue, cell->x, cell->y, direction, attacker);
}

void SwapPlaces(SGameResource& game, CCharacterControl::SCharacter& target, std::uint16_t targetIndex,
                std::int32_t x, std::int32_t y, std::int32_t attacker)
{
    if (target.GetType() == kCharacterChest || attacker < 0) return;
    CCharacterControl::SCharacter& wielder = game.characters.GetCharacterOrPlayer(std::uint16_t(attacker));
    target.SetPosition(wielder.x, wielder.y);
    wielder.SetPosition(x, y);
    RelocateCharacter(game, targetIndex, 2, false);
    RelocateCharacter(game, std::uint16_t(attacker), 2, false);
    game.map.MarkExplored(game.characters.player.x, game.characters.player.y);
}

void Freeze(SGameResource& game, std::uint16_t targetIndex)
{
    if (targetIndex == kHeroine) {
        CauseFreeze(game, kHeroine, 2);
    } else {
        CCharacterControl::SMonster& monster = game.characters.monsters[targetIndex];
        if (monster.heldItem != 0xFFFF && monster.heldItem != 0xFFFFFFFFu)
            game.items.DeleteItem(monster.heldItem);
        monster.TurnIntoIcePillar();
    }
    PlaySoundEffect(game, kSoundFrozen);
}

void Kill(SGameResource& game, CCharacterControl::SCharacter& target, std::uint16_t targetIndex,
          std::int32_t attacker)
{
    if (targetIndex == kHeroine) {
        const std::int32_t damage = ComputeFixedDamage(game, kHeroine, target.hp / 2, false);
        DealDamage(game, kHeroine, damage, attacker, kCauseMagic, false, true);
    } else if (target.HasKindFlag(game, kKindUndead)) {
        target.AddHp(65535);
    } else {
        target.hp = 0;
        DefeatCharacter(game, targetIndex, false, attacker);
    }
}

// The staff kind's effect on the character found on the bullet's cell.
void AffectTarget(SGameResource& game, std::uint16_t kind, bool temporaryStaff, std::uint16_t targetIndex,
                  std::int32_t x, std::int32_t y, std::int32_t direction, std::int32_t attacker)
{
    CCharacterControl::SCharacter& target = game.characters.GetCharacterOrPlayer(targetIndex);
    const std::int32_t type = target.GetType();
    // Monsters' magic, made for one wave, acts more weakly on the heroine.
    const bool weak = temporaryStaff && type == kCharacterPlayer;
    const bool lifeless = type == kCharacterIcePillar || type == kCharacterChest;
    switch (kind) {
    case 230:
        CauseConfusion(game, targetIndex, 30);
        break;
    case 231:
        SwapPlaces(game, target, targetIndex, x, y, attacker);
        break;
    case 234:
        target.ApplyParalysisStatus(game, weak ? 10 : 50);
        PlaySoundEffect(game, kSoundParalysed);
        break;
    case 235:
        CauseItemSeal(game, targetIndex, weak ? 10 : 30);
        break;
    case 236:
    case 237:
        DealDamage(game, targetIndex, ComputeFixedDamage(game, targetIndex, kind == 236 ? 10 : 15, false),
                   attacker, kCauseMagic, false, true);
        break;
    case 239:
        BeamFrom(game, x, y, direction, attacker);
        break;
    case 240:
        CauseSlowness(game, targetIndex, 10);
        break;
    case 241:
        CauseSleep(game, targetIndex, 5);
        break;
    case 242:
        CauseWeakness(game, targetIndex, weak ? 10 : 30);
        break;
    case 243:
        CauseStrongBody(game, targetIndex, 30);
        break;
    case 244:
        SpawnMonsterBeside(game, targetIndex);
        break;
    case 245:
        PushTripAction(game.reactionQueue, targetIndex);
        break;
    case 247: {
        if (lifeless) break;
        if (targetIndex == kHeroine)
            game.pendingExperience += game.floor * 10;
        else
            ChangeCharacterRank(game, targetIndex, 3);
        SEffectObject sparkles;
        sparkles.StartKind38(game, target.x, target.y, 1, 32, 0, 0);
        AddEffectNearPlayer(game, sparkles);
        break;
    }
    case 248:
        if (lifeless) break;
        if (targetIndex == kHeroine)
            ShiftPlayerLevel(game, -1);
        else
            ChangeCharacterRank(game, targetIndex, -65535);
        break;
    case 249:
        CauseHaste(game, targetIndex, 10);
        break;
    case 250:
        CauseInvisibility(game, targetIndex);
        break;
    case 251:
        if (game.map.floorType == kFloorTypeIce || lifeless) break;
        Freeze(game, targetIndex);
        break;
    case 252:
        target.ApplyDecoyStatus(20, game);
        break;
    case 253:
        if (lifeless) break;
        Kill(game, target, targetIndex, attacker);
        break;
    default: // 232, 233, 238 and 246 acted on the cell; other kinds do nothing
        break;
    }
}

} // namespace

void ApplyMagicBulletHit(SGameResource& game, std::uint16_t staff, std::int32_t x, std::int32_t y,
                         std::int32_t direction, std::int32_t attacker, bool thrown)
{
    const CItemControl::SItem& item = game.items.GetItem(staff);
    const std::uint16_t kind = item.kind;
    const bool temporaryStaff = (item.flags & CItemControl::kUsedUp) != 0;
    // -1: nobody on the cell; else the monster's slot or 0xFFFF for the heroine.
    std::int32_t target = -1;
    const std::uint16_t monster = game.characters.FindMonsterIndexAt(x, y);
    const CCharacterControl::SPlayer& player = game.characters.player;
    if (monster == CCharacterControl::kNoSlot) {
        if (player.x == x && player.y == y) {
            if (CountShieldSeal(game, kSealMagicProof) > 0) {
                game.messageWindow.AddMessage(kNoSound, 1, "しかし　魔法は効かなかった。");
                return;
            }
            target = kHeroine;
            SetLastEngagedCharacter(game, std::uint16_t(attacker));
        }
    } else {
        if (!thrown && game.characters.monsters[monster].HasAbility(game, kAbilityMagicProof)) {
            game.messageWindow.AddMessage(kNoSound, 1, "しかし　魔法は効かなかった。");
            return;
        }
        target = monster;
    }

    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    switch (kind) {
    case 246:
        // With nobody there the bullet struck a wall: the blast goes off in front of it.
        if (target < 0) x -= dx, y -= dy;
        // A small blast taking half of each victim's HP, credited to the heroine.
        PushExplosionAction(game.reactionQueue, x, y, false, 0xFFFF, kHeroine);
        break;
    case 238: {
        if (target < 0) x -= dx, y -= dy;
        static constexpr std::int32_t kFireCells[13][2] = {
            {+2, 0},  {-2, 0}, {0, +2}, {0, -2}, {+1, -1}, {-1, +1}, {+1, +1},
            {-1, -1}, {+1, 0}, {-1, 0}, {0, +1}, {0, -1},  {0, 0},
        };
        for (const auto& offset : kFireCells)
            PushActionItemBurn(game.reactionQueue, attacker, x + offset[0], y + offset[1]);
        break;
    }
    case 233:
        KnockBack(game, target, x, y, direction, attacker);
        break;
    case 232:
        Pull(game, target, x, y, direction, attacker);
        break;
    default:
        break;
    }
    if (target < 0) return;
    AffectTarget(game, kind, temporaryStaff, std::uint16_t(target), x, y, direction, attacker);
}
