// Waving staffs: the wave action, the beam and the terrain operations along a bullet's path.
#include "game/items/staff_actions.h"

#include "game/app/game_resource.h"
#include "game/characters/combat.h"
#include "game/characters/monster_movement.h"
#include "game/core/directions.h"
#include "game/items/projectile_path.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kNoSound = -1;
constexpr std::int32_t kSoundRefused = 16;
constexpr std::int32_t kSoundBeam = 19;
constexpr std::int32_t kSoundDigOrDry = 24;
constexpr std::int32_t kSoundBullet = 72;
constexpr std::int32_t kSoundReflected = 73;
constexpr std::int32_t kSoundWave = 207;
constexpr std::int32_t kMotionWaveStep = 8;
constexpr std::int32_t kMotionWaveInPlace = 9;
constexpr std::int32_t kFullRange = 0xFFFF;
constexpr std::int32_t kBeamDamage = 20;
constexpr std::int32_t kCauseMagic = 3;
constexpr std::uint8_t kTerrainWall = 2;
constexpr std::uint8_t kTerrainWater = 4;
constexpr std::uint8_t kTerrainDugFloor = 9;

constexpr std::uint16_t kStaffPulling = 232;
constexpr std::uint16_t kStaffKnockBack = 233;
constexpr std::uint16_t kStaffDigging = 236;
constexpr std::uint16_t kStaffDrying = 237;
constexpr std::uint16_t kStaffFire = 238;
constexpr std::uint16_t kStaffBeam = 239;
constexpr std::uint16_t kStaffBlast = 246;

bool IsOnMap(std::int32_t x, std::int32_t y)
{
    return x >= 0 && x < CMapControl::kWidth && y >= 0 && y < CMapControl::kHeight;
}

SMapCell& Cell(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

// Rock, the two unbreakable kinds and walls; a cell off the map reads as rock.
bool IsSolid(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return Cell(game, x, y).terrain <= kTerrainWall;
}

CCharacterControl::SCharacter& Wielder(SGameResource& game, std::int32_t index)
{
    return game.characters.GetCharacterOrPlayer(std::uint16_t(index));
}

void Say(SGameResource& game, std::int32_t waitRule, const ZTL::string& text)
{
    game.messageWindow.AddMessage(kNoSound, waitRule, text);
}

// The direction a bullet flies on after striking a wall diagonally: off the side that is solid when
// only one of the two side cells is; -1 when both or neither are (a corner or a lone pillar).
std::int32_t BounceDirection(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t direction)
{
    struct SRow
    {
        std::int32_t ax, ay, bx, by, whenA, whenB;
    };
    static constexpr SRow kRows[4] = {
        {+1, 0, 0, -1, 3, 7}, // direction 1
        {+1, 0, 0, +1, 1, 5}, // direction 3
        {-1, 0, 0, +1, 7, 3}, // direction 5
        {-1, 0, 0, -1, 5, 1}, // direction 7
    };
    if (direction < 0 || direction > 7 || direction % 2 == 0) return -1;
    const SRow& row = kRows[direction / 2];
    const bool a = IsSolid(game, x + row.ax, y + row.ay);
    const bool b = IsSolid(game, x + row.bx, y + row.by);
    if (a == b) return -1;
    return a ? row.whenA : row.whenB;
}

bool StopsAtObjects(std::uint16_t kind)
{
    return kind == kStaffPulling || kind == kStaffKnockBack;
}

// The bullet flies on from its end cell in the new direction: a new flight effect, the new end, the
// old end as its start.
void SendOn(SActionRecord& record, SGameResource& game, std::uint16_t kind, std::int32_t direction)
{
    const std::int32_t x = record.param3;
    const std::int32_t y = record.param4;
    std::int32_t range = kFullRange;
    const SCellPosition end = TraceProjectilePath(x, y, direction, game, range, StopsAtObjects(kind), false);
    SEffectObject bullet;
    bullet.StartKind39(game, x, y, end.x, end.y, direction);
    game.effects.push_back(bullet);
    record.param3 = end.x;
    record.param4 = end.y;
    record.flag = y * 65536 + x;
    record.values.resize(1);
    record.values[0] = direction;
}

std::int32_t StartCellX(const SActionRecord& record)
{
    return record.flag & 0xFFFF;
}

std::int32_t StartCellY(const SActionRecord& record)
{
    return record.flag >> 16;
}

std::int32_t BulletDirection(const SActionRecord& record)
{
    return record.values.empty() ? -1 : record.values[0];
}

std::int32_t WavePhase0(SActionRecord& record, SGameResource& game, std::uint16_t staff)
{
    if (record.param2 != kHeroine) return 1;
    const ZTL::string name = GetColoredItemNameByIndex(game.items, staff);
    if ((game.items.GetItem(staff).flags & CItemControl::kCursed) != 0) {
        PlaySoundEffect(game, kSoundRefused);
        Say(game, 1, name + "は\n呪われていて　使えなかった");
        FinishItemUse(staff, game);
        return 0;
    }
    Say(game, 0, name + "を振った。");
    CCharacterControl::SPlayer& player = game.characters.GetPlayer();
    const bool canStep = CanStepInDirection(player, player.direction, game, false);
    player.SetMotion(canStep ? kMotionWaveStep : kMotionWaveInPlace, -1);
    PlaySoundEffect(game, kSoundWave);
    return 1;
}

std::int32_t WavePhase1(CActionQueue& queue, SGameResource& game, std::uint16_t staff)
{
    SActionRecord& record = queue.current;
    CItemControl::SItem& item = game.items.GetItem(staff);
    if (item.value == 0) {
        Say(game, 1, "しかし　何も起こらなかった。");
        FinishItemUse(staff, game);
        return 0;
    }
    PlaySoundEffect(game, kSoundBullet);
    item.AddValue(-1);
    item.extra[0] = std::uint8_t(std::int8_t(item.extra[0]) - 1);

    CCharacterControl::SCharacter& wielder = Wielder(game, record.param2);
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(wielder.direction, dx, dy);
    if (item.kind == kStaffBeam) {
        // The beam strikes the cell beyond each one collected, so the wielder's own cell starts the line.
        std::vector<SCellPosition> cells;
        std::int32_t x = wielder.x;
        std::int32_t y = wielder.y;
        while (!IsSolid(game, x, y) && (dx != 0 || dy != 0)) {
            cells.push_back({x, y});
            x += dx;
            y += dy;
        }
        // A monster's beam counts as its own, so that what it defeats is not credited to the heroine.
        for (auto cell = cells.rbegin(); cell != cells.rend(); ++cell)
            PushStaffBeamAction(game.reactionQueue, cell->x, cell->y, wielder.direction, record.param2);
        queue.step = 4;
        return 1;
    }
    std::int32_t range = kFullRange;
    const SCellPosition end = TraceProjectilePath(wielder.x, wielder.y, wielder.direction, game, range,
                                                  StopsAtObjects(item.kind), false);
    record.param3 = end.x;
    record.param4 = end.y;
    record.flag = wielder.y * 65536 + wielder.x;
    record.values.push_back(wielder.direction);
    SEffectObject bullet;
    bullet.StartKind39(game, wielder.x + dx, wielder.y + dy, end.x, end.y, wielder.direction);
    game.effects.push_back(bullet);
    return 1;
}

std::int32_t WavePhase2(SActionRecord& record, SGameResource& game, std::uint16_t staff)
{
    const std::uint16_t kind = game.items.GetItem(staff).kind;
    const CCharacterControl::SPlayer& player = game.characters.player;
    if (kind == kStaffDrying) {
        const bool stopped =
            DryWaterAlongPath(game, StartCellX(record), StartCellY(record), record.param3, record.param4);
        if (stopped) PlaySoundEffect(game, kSoundDigOrDry);
        game.map.MarkExplored(player.x, player.y);
        if (stopped) return 1;
    }
    if (kind == kStaffDigging && Cell(game, record.param3, record.param4).terrain == kTerrainWall) {
        PlaySoundEffect(game, kSoundDigOrDry);
        const bool found = DigThroughWalls(record.param3, record.param4, BulletDirection(record), game);
        game.map.MarkExplored(player.x, player.y);
        if (found) return 1;
        FinishItemUse(staff, game);
        return 0;
    }
    if (kind == kStaffBlast || kind == kStaffPulling || kind == kStaffFire) return 1;
    if (!IsSolid(game, record.param3, record.param4)) return 1;
    const std::int32_t bounced = BounceDirection(game, record.param3, record.param4, BulletDirection(record));
    if (bounced >= 0) SendOn(record, game, kind, bounced);
    return 1;
}

std::int32_t WavePhase3(SActionRecord& record, SGameResource& game, std::uint16_t staff)
{
    const std::uint16_t kind = game.items.GetItem(staff).kind;
    if (kind == kStaffDrying)
        DryWaterAlongPath(game, StartCellX(record), StartCellY(record), record.param3, record.param4);
    CCharacterControl::SCharacter* struck = game.characters.FindCharacterAt(record.param3, record.param4);
    if (struck == nullptr) return 1;
    if (!struck->HasAbility(game, kAbilityReflect) && struck->GetType() != kCharacterIcePillar) return 1;
    const std::uint16_t reflector = game.characters.FindMonsterIndexAt(record.param3, record.param4);
    SendOn(record, game, kind, (BulletDirection(record) - 4) & 7);
    record.param2 = reflector;
    PlaySoundEffect(game, kSoundReflected);
    return 1;
}

} // namespace

std::int32_t HandleWaveStaff(CActionQueue& queue, SGameResource& game)
{
    SActionRecord& record = queue.current;
    const auto staff = std::uint16_t(record.param1);
    switch (queue.step) {
    case 0:
        return WavePhase0(record, game, staff);
    case 1:
        return WavePhase1(queue, game, staff);
    case 2:
        return WavePhase2(record, game, staff);
    case 3:
        return WavePhase3(record, game, staff);
    case 4:
        if (game.items.GetItem(staff).kind == kStaffDrying)
            DryWaterAlongPath(game, StartCellX(record), StartCellY(record), record.param3, record.param4);
        ApplyMagicBulletHit(game, staff, record.param3, record.param4, BulletDirection(record), record.param2,
                            false);
        return 1;
    default:
        FinishItemUse(staff, game);
        return 0;
    }
}

std::int32_t HandleStaffBeamCell(CActionQueue& queue, SGameResource& game)
{
    if (queue.step != 0) return 0;
    SActionRecord& record = queue.current;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(record.flag, dx, dy);
    record.param3 += dx;
    record.param4 += dy;
    const std::int32_t x = record.param3;
    const std::int32_t y = record.param4;
    if (IsSolid(game, x, y)) return 1;
    SEffectObject strike;
    strike.Start(game, x, y, kEffectStrike);
    PlaySoundEffect(game, kSoundBeam);
    const std::uint16_t monster = game.characters.FindMonsterIndexAt(x, y);
    if (monster != CCharacterControl::kNoSlot && !game.characters.monsters[monster].IsSubmerged(game)) {
        DealDamage(game, monster, ComputeSeal37ResistedDamage(game, kBeamDamage, false, monster),
                   record.param1, kCauseMagic, false, true);
        game.effects.push_back(strike);
    } else {
        game.overlayEffects.push_back(strike);
    }
    return 1;
}

std::int32_t HandleUnusedStaffAction(CActionQueue&, SGameResource&)
{
    return 0;
}

std::int32_t PushStaffBeamAction(CActionQueue& queue, std::int32_t x, std::int32_t y, std::int32_t direction,
                                 std::int32_t attacker)
{
    SActionRecord record;
    record.kind = kActionStaffBeamCell;
    record.param1 = attacker;
    record.param3 = x;
    record.param4 = y;
    record.flag = direction;
    queue.Push(record);
    return 0;
}

bool DigThroughWalls(std::int32_t x, std::int32_t y, std::int32_t direction, SGameResource& game)
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    while (IsOnMap(x, y) && Cell(game, x, y).terrain == kTerrainWall) {
        SMapCell& cell = Cell(game, x, y);
        cell.terrain = kTerrainDugFloor;
        cell.redraw = 1;
        game.map.UpdateRoomMarksAt(x, y);
        if (game.characters.FindCharacterAt(x, y) != nullptr) {
            game.map.InvalidateViewCache();
            return true;
        }
        x += dx;
        y += dy;
    }
    game.map.InvalidateViewCache();
    return false;
}

bool DryWaterAlongPath(SGameResource& game, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                       std::int32_t y1)
{
    const std::int32_t dx = (x1 > x0) - (x1 < x0);
    const std::int32_t dy = (y1 > y0) - (y1 < y0);
    std::int32_t x = x0 + dx;
    std::int32_t y = y0 + dy;
    while (IsOnMap(x, y) && !(x == x1 && y == y1)) {
        SMapCell& cell = Cell(game, x, y);
        if (cell.terrain >= 11 && cell.terrain <= 15) {
            cell.terrain = std::uint8_t(cell.terrain - 6);
            cell.redraw = 1;
        } else if (cell.terrain == kTerrainWater) {
            cell.terrain = kTerrainDugFloor;
            cell.redraw = 1;
            game.map.UpdateRoomMarksAt(x, y);
        }
        if (game.characters.FindCharacterAt(x, y) != nullptr) {
            game.map.InvalidateViewCache();
            return true;
        }
        x += dx;
        y += dy;
    }
    game.map.InvalidateViewCache();
    return false;
}

void RegisterStaffActionHandlers()
{
    RegisterActionHandler(kActionWave, HandleWaveStaff);
    RegisterActionHandler(kActionStaffBeamCell, HandleStaffBeamCell);
    RegisterActionHandler(kActionUnused37, HandleUnusedStaffAction);
}
