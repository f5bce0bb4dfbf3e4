// The step and strike tests shared by the heroine and the monsters. Their limits come from the
// character's own GetTerrainLimits, so walking, knockback and relocation agree on where anyone may be.
#include "game/app/game_resource.h"
#include "game/characters/monster_movement.h"
#include "game/core/directions.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kSealSureHit = 12;
constexpr std::int32_t kStrikeLimit = 2;
constexpr std::int32_t kSpeciesStrikesFromWater = 40;

std::int32_t TerrainAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain;
}

// Both cells beside a diagonal step (sharing a side with the start and the target) above the limit;
// a straight step has none.
bool CornersOpen(SGameResource& game, const CCharacterControl::SCharacter& character, std::int32_t dx,
                 std::int32_t dy, std::int32_t cornerLimit)
{
    if (dx == 0 || dy == 0) return true;
    return TerrainAt(game, character.x + dx, character.y) > cornerLimit &&
           TerrainAt(game, character.x, character.y + dy) > cornerLimit;
}

// The bit of the neighbour (dx, dy), each in -1 .. 1, in a mask of the cells around a character.
std::uint16_t NeighbourBit(std::int32_t dx, std::int32_t dy)
{
    return std::uint16_t(1u << ((dy + 1) * 3 + dx + 1));
}

bool IsPlayer(const CCharacterControl::SCharacter& character)
{
    return character.GetType() == kCharacterPlayer;
}

bool StepTest(CCharacterControl::SCharacter& character, std::int32_t direction, SGameResource& game,
              bool checkOccupants, const CCharacterControl::SCharacter* leaving);

} // namespace

bool CanStepInDirection(CCharacterControl::SCharacter& character, std::int32_t direction, SGameResource& game,
                        bool checkOccupants)
{
    return StepTest(character, direction, game, checkOccupants, nullptr);
}

namespace {

// `leaving` is a character whose cell counts as free: the heroine, when the one she would change places
// with tests its step back onto her cell.
bool StepTest(CCharacterControl::SCharacter& character, std::int32_t direction, SGameResource& game,
              bool checkOccupants, const CCharacterControl::SCharacter* leaving)
{
    game.swapPartner = CCharacterControl::kNoSlot;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    const std::int32_t tx = character.x + dx;
    const std::int32_t ty = character.y + dy;

    std::int32_t cornerLimit = 2;
    std::int32_t terrainLimit = 4;
    character.GetTerrainLimits(game, cornerLimit, terrainLimit);
    if (TerrainAt(game, tx, ty) <= terrainLimit) return false;

    if (checkOccupants) {
        CCharacterControl& control = game.characters;
        if (IsPlayer(character)) {
            for (std::uint16_t slot = 0; slot < control.monsterCount && slot < CCharacterControl::kSlots;
                 ++slot) {
                CCharacterControl::SMonster& other = control.monsters[slot];
                if (other.type == kCharacterEmpty || other.x != tx || other.y != ty) continue;
                if (other.IsAsleep() || other.status.sleepTurns != 0 || other.status.paralysisTurns != 0 ||
                    other.status.frozenTurns != 0)
                    return false;
                const std::int32_t otherType = other.GetType();
                if (otherType != kCharacterShopkeeper && otherType != kCharacterPeaceful) return false;
                // The way back onto her cell must be open to it; its own test clears the swap slot, so the
                // slot is recorded after it.
                if (!StepTest(other, (direction + 4) & 7, game, true, &character)) {
                    game.swapPartner = CCharacterControl::kNoSlot;
                    return false;
                }
                game.swapPartner = slot;
                break;
            }
        } else {
            // A monster's step fails the same way on closed corners as on an occupied cell, and the
            // corners are the cheaper question.
            if (!CornersOpen(game, character, dx, dy, cornerLimit)) return false;
            CCharacterControl::SCharacter* occupant = control.FindCharacterAt(tx, ty);
            if (occupant == leaving && occupant != nullptr) {
                // The heroine leaves the cell; a slot standing there with her still blocks it.
                occupant = nullptr;
                for (CCharacterControl::SMonster& other : control.monsters)
                    if (other.type != kCharacterEmpty && other.x == tx && other.y == ty &&
                        &other != &character)
                        occupant = &other;
            }
            if (occupant != nullptr) return false;
        }
    }

    if (!CornersOpen(game, character, dx, dy, cornerLimit)) {
        game.swapPartner = CCharacterControl::kNoSlot;
        return false;
    }
    return true;
}

} // namespace

SStepSurroundings LookAround(CCharacterControl::SCharacter& character, SGameResource& game)
{
    SStepSurroundings around;
    character.GetTerrainLimits(game, around.cornerLimit, around.terrainLimit);
    const CCharacterControl& control = game.characters;
    const auto note = [&](std::int32_t x, std::int32_t y) {
        const std::int32_t dx = x - character.x;
        const std::int32_t dy = y - character.y;
        if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) around.occupied |= NeighbourBit(dx, dy);
    };
    note(control.player.x, control.player.y);
    const std::size_t count = std::min<std::size_t>(control.monsterCount, CCharacterControl::kSlots);
    for (std::size_t i = 0; i < count; ++i) {
        const CCharacterControl::SMonster& other = control.monsters[i];
        if (other.type != kCharacterEmpty) note(other.x, other.y);
    }
    return around;
}

bool CanStepInDirection(CCharacterControl::SCharacter& character, std::int32_t direction, SGameResource& game,
                        const SStepSurroundings& around)
{
    // The same questions as the full test asks of a monster, answered from what was looked at.
    game.swapPartner = CCharacterControl::kNoSlot;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    if (TerrainAt(game, character.x + dx, character.y + dy) <= around.terrainLimit) return false;
    if (!CornersOpen(game, character, dx, dy, around.cornerLimit)) return false;
    return (around.occupied & NeighbourBit(dx, dy)) == 0;
}

bool CanAttackInDirection(CCharacterControl::SCharacter& character, std::int32_t direction,
                          SGameResource& game, bool ignoreCorners)
{
    if (IsPlayer(character) && CountWeaponSeal(game, kSealSureHit) > 0) return true;

    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    const std::int32_t tx = character.x + dx;
    const std::int32_t ty = character.y + dy;
    CCharacterControl& control = game.characters;

    // Strikes reach over water and pits alike: only a wall-passer, whose own limits are 1, reaches into
    // the walls it passes through.
    std::int32_t cornerLimit = 2;
    std::int32_t terrainLimit = 4;
    character.GetTerrainLimits(game, cornerLimit, terrainLimit);
    terrainLimit = std::min(terrainLimit, kStrikeLimit);
    cornerLimit = std::min(cornerLimit, kStrikeLimit);

    const std::uint16_t targetSlot = control.FindMonsterIndexAt(tx, ty);
    if (IsPlayer(character)) {
        if (targetSlot != CCharacterControl::kNoSlot) {
            CCharacterControl::SMonster& target = control.monsters[targetSlot];
            if (target.kindId != 0xFFFF && (target.IsSubmerged(game) || target.IsInsideWall(game)))
                return false;
        }
    } else {
        CCharacterControl::SCharacter* target = control.FindCharacterAt(tx, ty);
        const bool wallPasser = terrainLimit < kStrikeLimit;
        if (!wallPasser && target != nullptr && target->IsInsideWall(game)) return false;
        const bool targetSubmerged = target != nullptr && target->IsSubmerged(game);
        if (character.IsSubmerged(game)) {
            if (character.kindId / 4 != kSpeciesStrikesFromWater && target != nullptr && !targetSubmerged)
                return false;
        } else if (targetSubmerged) {
            return false;
        }
    }

    if (TerrainAt(game, tx, ty) <= terrainLimit) return false;
    return ignoreCorners || CornersOpen(game, character, dx, dy, cornerLimit);
}
