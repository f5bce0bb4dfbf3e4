#include "game/items/projectile_path.h"

#include "game/app/game_resource.h"
#include "game/core/directions.h"

namespace {

constexpr std::int32_t kCircleSealing = 271;
constexpr std::uint8_t kTerrainWater = 4;

// A monster the flight passes: one whose kind lets bullets through while nothing seals it, or a fish
// under water. The ability is asked of the kind itself, since a sealed monster loses it.
bool LetsFlightPass(SGameResource& game, CCharacterControl::SMonster& monster, const SMapCell& cell)
{
    if (monster.kindId == 0xFFFF) return false;
    const std::uint16_t abilities = game.characters.GetMonsterKind(monster.kindId).abilities;
    if ((abilities & kAbilityPassThrough) != 0 && monster.status.sealTurns == 0 &&
        monster.CountCircles(game, kCircleSealing) == 0)
        return true;
    return (abilities & kAbilityFish) != 0 && cell.terrain == kTerrainWater;
}

} // namespace

SCellPosition TraceProjectilePath(std::int32_t x0, std::int32_t y0, std::int32_t direction,
                                  SGameResource& game, std::int32_t& range, bool stopAtObjects,
                                  bool stopAtFire)
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    SCellPosition at{x0 + dx, y0 + dy};
    if (--range <= 0) return at;
    for (;;) {
        --range;
        if (at.x < 0 || at.x >= CMapControl::kWidth || at.y < 0 || at.y >= CMapControl::kHeight) return at;
        const SMapCell& cell = game.map.GetCell(std::uint32_t(at.x), std::uint32_t(at.y));
        if (cell.terrain <= 2) return at;
        const std::uint16_t slot = game.characters.FindMonsterIndexAt(at.x, at.y);
        if (slot != CCharacterControl::kNoSlot && !LetsFlightPass(game, game.characters.monsters[slot], cell))
            return at;
        const CCharacterControl::SPlayer& player = game.characters.player;
        if (player.x == at.x && player.y == at.y) return at;
        if (stopAtObjects && (cell.objectKind == kObjectItem || cell.objectKind == kObjectTrap ||
                              cell.objectKind == kObjectStairs))
            return at;
        if (stopAtFire && cell.objectKind == kObjectFire) return at;
        at.x += dx;
        at.y += dy;
        if (range <= 0) return at;
    }
}
