// Monster movement: action energy, the turn of one monster, goals and steps.
#include "game/characters/monster_movement.h"

#include "game/app/game_resource.h"
#include "game/characters/status_queries.h"
#include "game/core/directions.h"
#include "game/core/random.h"
#include "game/data/item_classes.h"
#include "game/items/projectile_path.h"
#include "game/ui/effect_object.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using SCharacter = CCharacterControl::SCharacter;
using SMonster = CCharacterControl::SMonster;

constexpr std::int32_t kHalfEnergy = 36;
constexpr std::int32_t kStepFrames = 16;
constexpr std::int32_t kMotionStep = 1;
constexpr std::int32_t kMotionSlide = 3;
constexpr std::int32_t kMotionHop = 16;
constexpr std::int32_t kTerrainIce = 10;
constexpr std::int32_t kWalkable = 5;
constexpr std::int32_t kTrapBinding = 3;
constexpr std::int32_t kSoundTrapSnap = 51;

// Species with rules of their own here.
constexpr std::int32_t kSpeciesWakesToStrike = 4;
constexpr std::int32_t kSpeciesStatusChaser = 20;
constexpr std::int32_t kSpeciesLinkFleer = 17;
constexpr std::int32_t kSpeciesSplitter = 34;
constexpr std::int32_t kSpeciesHealer = 39;

// The turn orders around a direction d: d, d - 1, d + 1, d - 2, d + 2, d - 3, d + 3, d + 4.
constexpr std::array<std::int32_t, 8> kFanOffsets = {0, -1, 1, -2, 2, -3, 3, 4};

std::int32_t Wrap(std::int32_t direction)
{
    return direction & 7;
}

std::int32_t Species(const SCharacter& character)
{
    return character.kindId / 4;
}

std::int32_t Rank(const SCharacter& character)
{
    return character.kindId % 4;
}

SMapCell& CellAt(SGameResource& game, std::int32_t x, std::int32_t y)
{
    return game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
}

SCellPosition Neighbour(const SCharacter& character, std::int32_t direction)
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    DirectionToStep(direction, dx, dy);
    return {character.x + dx, character.y + dy};
}

std::int32_t Chebyshev(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    return std::max(std::abs(x1 - x2), std::abs(y1 - y2));
}

// Same column, row or diagonal.
bool InLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    const std::int32_t dx = std::abs(x1 - x2);
    const std::int32_t dy = std::abs(y1 - y2);
    return dx == 0 || dy == 0 || dx == dy;
}

bool IsNextTo(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    return Chebyshev(x1, y1, x2, y2) == 1;
}

bool WithinSquare(const SCharacter& character, std::int32_t tx, std::int32_t ty, std::int32_t halfWidth)
{
    return tx != -1 && Chebyshev(character.x, character.y, tx, ty) <= halfWidth;
}

bool HasGoal(const SMonster& monster)
{
    return monster.goalX != -1;
}

void ClearGoal(SMonster& monster)
{
    monster.goalX = monster.goalY = -1;
}

bool HoldsGold(SGameResource& game, std::int32_t x, std::int32_t y)
{
    const SMapCell& cell = CellAt(game, x, y);
    return cell.objectKind == kObjectItem && game.items.GetItem(cell.objectId).itemClass == kItemClassGold;
}

bool CannotThink(const SCharacter& character)
{
    return character.status.confusionTurns != 0 || character.status.blindTurns != 0 ||
           character.status.decoyTurns != 0 || character.status.hallucinationTurns != 0;
}

// The direction toward the sign of (dx, dy); `unchanged` when both are 0.
std::int32_t DirectionOfSigns(std::int32_t dx, std::int32_t dy, std::int32_t unchanged)
{
    const std::int32_t sx = (dx > 0) - (dx < 0);
    const std::int32_t sy = (dy > 0) - (dy < 0);
    static constexpr std::int32_t kBySigns[3][3] = {
        // sx = -1, 0, 1
        {3, 4, 5},  // sy = -1
        {2, -1, 6}, // sy = 0
        {1, 0, 7},  // sy = 1
    };
    const std::int32_t direction = kBySigns[sy + 1][sx + 1];
    return direction == -1 ? unchanged : direction;
}

// The direction the character would face toward a cell, leaving its own direction as it was.
std::int32_t DirectionToward(SCharacter& character, std::int32_t tx, std::int32_t ty)
{
    const std::int32_t kept = character.direction;
    character.FaceToward(tx, ty);
    const std::int32_t toward = character.direction;
    character.direction = kept;
    return toward;
}

// The target within one cell, the monster turned to it, and a strike reaching it.
bool StrikesTarget(SMonster& monster, SGameResource& game, std::int32_t tx, std::int32_t ty)
{
    if (!WithinSquare(monster, tx, ty, 1)) return false;
    monster.FaceToward(tx, ty);
    return CanAttackInDirection(monster, monster.direction, game, false);
}

// The share of the splitter: fewer splits the fuller the floor.
bool SplitterRule(SMonster& monster, SGameResource& game, bool seen)
{
    const std::int32_t free = 64 - std::int32_t(game.characters.monsterCount);
    const std::int32_t refusal = free < 8 ? 4 : free / 2;
    if (RandomBelow(game.random, 64) < refusal) return false;
    if (Rank(monster) == 3) return true;
    return Rank(monster) == 2 && seen;
}

// Whether the character the status chaser aims at already suffers what its rank inflicts.
bool SuffersRankStatus(SMonster& monster, SGameResource& game)
{
    SCharacter& target = monster.link != CCharacterControl::kNoSlot
                             ? game.characters.GetCharacter(monster.link)
                             : game.characters.player;
    switch (Rank(monster)) {
    case 0:
        return target.status.paralysisTurns != 0;
    case 1:
        return target.IsAbilitySealed(game); // a sealing circle under the target counts as well
    case 2:
        return target.status.weakBodyTurns != 0;
    default:
        return target.status.sleepTurns != 0;
    }
}

// Whether a cell of the 3 x 3 block around (x, y) belongs to the room.
bool BlockTouchesRoom(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t room)
{
    if (room < 0) return false;
    for (std::int32_t dy = -1; dy <= 1; ++dy)
        for (std::int32_t dx = -1; dx <= 1; ++dx)
            if (CellAt(game, x + dx, y + dy).room == room) return true;
    return false;
}

// Whether (x, y) shares a side with an entrance of the room.
bool BesideEntrance(SGameResource& game, std::int32_t x, std::int32_t y, std::int32_t room)
{
    std::vector<SCellPosition> entrances;
    game.map.GetRoomEntrances(room, entrances);
    for (const SCellPosition& entrance : entrances)
        if (std::abs(entrance.x - x) + std::abs(entrance.y - y) == 1) return true;
    return false;
}

// The nearest of the cells (the larger of |dx| and |dy|), the first on ties; (-1, -1) for none.
SCellPosition Nearest(const std::vector<SCellPosition>& cells, std::int32_t x, std::int32_t y)
{
    SCellPosition best{-1, -1};
    std::int32_t bestDistance = INT_MAX;
    for (const SCellPosition& cell : cells) {
        const std::int32_t distance = Chebyshev(cell.x, cell.y, x, y);
        if (distance < bestDistance) {
            best = cell;
            bestDistance = distance;
        }
    }
    return best;
}

// Whether (x, y) lies on the side of the direction as seen from (x0, y0).
bool OnSide(std::int32_t direction, std::int32_t x, std::int32_t y, std::int32_t x0, std::int32_t y0)
{
    switch (Wrap(direction)) {
    case 0:
        return y > y0;
    case 1:
        return y - x > y0 - x0;
    case 2:
        return x < x0;
    case 3:
        return x + y < x0 + y0;
    case 4:
        return y < y0;
    case 5:
        return y - x < y0 - x0;
    case 6:
        return x > x0;
    default:
        return x + y > x0 + y0;
    }
}

// The corridor goal: the neighbours around the direction, a room cell taken at once, else a pick.
void ChooseCorridorGoal(SMonster& monster, SGameResource& game)
{
    std::int32_t cornerLimit = 2;
    std::int32_t terrainLimit = 4;
    monster.GetTerrainLimits(game, cornerLimit, terrainLimit);
    std::vector<std::int32_t> candidates;
    for (std::size_t i = 0; i < kFanOffsets.size(); ++i) {
        if ((i == 3 || i == 5) && !candidates.empty()) break;
        const std::int32_t direction = Wrap(monster.direction + kFanOffsets[i]);
        const SCellPosition cell = Neighbour(monster, direction);
        const SMapCell& mapCell = CellAt(game, cell.x, cell.y);
        if (mapCell.terrain < terrainLimit + 1) continue;
        if (mapCell.room >= 0) {
            monster.goalX = cell.x;
            monster.goalY = cell.y;
            return;
        }
        candidates.push_back(direction);
    }
    if (candidates.empty()) return;
    const std::int32_t pick = RandomBelow(game.random, std::int32_t(candidates.size()));
    const SCellPosition cell = Neighbour(monster, candidates[std::size_t(pick)]);
    monster.goalX = cell.x;
    monster.goalY = cell.y;
}

// A monster that ends its turn on a binding trap springs it: the trap snaps shut, hidden while it plays.
void SpringBindingTrap(SMonster& monster, SGameResource& game)
{
    SMapCell& cell = CellAt(game, monster.x, monster.y);
    if (cell.objectKind != kObjectTrap || cell.objectId != kTrapBinding) return;
    if (monster.status.boundTurns != 0 && !IsAtMarkedCell(monster.status, monster.x, monster.y)) return;
    cell.objectShown = 0;
    SEffectObject snap;
    snap.Start(game, monster.x, monster.y, kEffectBindingSnap);
    game.effects.push_back(snap);
    PlaySoundEffect(game, kSoundTrapSnap);
}

// A step of the monster's own when the test allows it; false when it did not step.
bool TryStep(SMonster& monster, SGameResource& game, bool instantSteps, std::int32_t tx, std::int32_t ty,
             std::int32_t behaviour)
{
    if (!CanStepInDirection(monster, monster.direction, game, true)) return false;
    MonsterStep(instantSteps, game, monster, tx, ty, behaviour);
    return true;
}

// One step forward. The first step of a turn remembers where the monster stood, so that the spread steps
// replay from that cell; later steps of the same turn leave it.
void AdvanceOneCell(SMonster& monster)
{
    if (monster.queuedSteps.empty())
        monster.StepForward(true);
    else
        monster.AdvanceInDirection();
}

} // namespace

void GainActionEnergy(SMonster& monster, SGameResource& game)
{
    const std::int32_t speed = monster.GetCharacterSpeed(game);
    if (speed != monster.speedCopy) {
        monster.actionEnergy = 0;
        monster.speedCopy = speed;
    }
    monster.actionEnergy += speed >= 0 ? kActionEnergy : kHalfEnergy;
}

bool CanSeeTarget(SGameResource& game, SMonster& monster, std::int32_t tx, std::int32_t ty)
{
    if (tx == -1) return false;
    const SCharacterStatus& status = monster.status;
    if (status.sleepTurns != 0 || status.confusionTurns != 0 || status.blindTurns != 0 ||
        status.decoyTurns != 0 || status.frozenTurns != 0 || status.paralysisTurns != 0)
        return false;
    const std::int32_t type = monster.GetType();
    if ((type == kCharacterShopkeeper || type == kCharacterShopkeeper2 || type == kCharacterPeaceful) &&
        monster.link == CCharacterControl::kNoSlot)
        return false;
    if (monster.HasAbility(game, kAbilityWallPass)) return true;
    const std::int32_t room = CellAt(game, monster.x, monster.y).room;
    if (room < 0) return Chebyshev(monster.x, monster.y, tx, ty) <= 1;
    return BlockTouchesRoom(game, tx, ty, room);
}

bool WantsToUseSpecial(SMonster& monster, SGameResource& game, std::int32_t tx, std::int32_t ty)
{
    const SCharacterStatus& status = monster.status;
    if (status.confusionTurns != 0 || status.decoyTurns != 0 || monster.IsAbilitySealed(game) ||
        status.blindTurns != 0 || status.hallucinationTurns != 0)
        return false;
    std::int32_t chance = game.characters.GetMonsterKind(monster.kindId).specialChance;
    if (chance == 0) return false;
    if (tx != -1) chance = std::max(chance - 4 * GetTileDistance(monster.x, monster.y, tx, ty), 8);
    return std::int32_t(RandomMask(game.random, 255)) < chance;
}

bool CanUseSpecial(std::int32_t tx, std::int32_t ty, SMonster& monster, SGameResource& game)
{
    const std::int32_t rank = Rank(monster);
    const bool seen = monster.viewFlags[0] != 0;
    const bool inLine = tx != -1 && InLine(monster.x, monster.y, tx, ty);
    switch (Species(monster)) {
    case 0:
        return rank == 2 ? seen && inLine : rank == 3 ? seen : false;
    case 3:
    case 10:
    case 11:
    case 14:
    case 15:
    case 17:
    case 21:
    case 22:
    case 23:
    case 25:
    case 26:
    case 29:
    case 31:
    case 36:
    case 38:
        return StrikesTarget(monster, game, tx, ty);
    case 5: {
        static constexpr std::int32_t kReach[4] = {2, 5, 10, 20};
        if (!WithinSquare(monster, tx, ty, kReach[rank])) return false;
        if (!IsNextTo(monster.x, monster.y, tx, ty)) return true;
        return !CanAttackInDirection(monster, DirectionToward(monster, tx, ty), game, false);
    }
    case 6: {
        static constexpr std::int32_t kReach[4] = {2, 2, 3, 255};
        return seen && !WithinSquare(monster, tx, ty, 1) && WithinSquare(monster, tx, ty, kReach[rank]);
    }
    case 7: {
        static constexpr std::int32_t kReach[4] = {2, 3, 5, 10};
        return WithinSquare(monster, tx, ty, kReach[rank]);
    }
    case 8:
        return seen;
    case 9:
    case 20:
        return seen && inLine;
    case 13:
        if (HoldsGold(game, monster.x, monster.y) && seen && inLine) return true;
        return StrikesTarget(monster, game, tx, ty);
    case 24:
        for (std::int32_t i = 0; i < 8; ++i) {
            const std::int32_t direction = Wrap(monster.direction + i);
            const SCellPosition cell = Neighbour(monster, direction);
            if (CellAt(game, cell.x, cell.y).objectKind == kObjectCircle &&
                CanAttackInDirection(monster, direction, game, false)) {
                monster.direction = direction;
                return true;
            }
        }
        return StrikesTarget(monster, game, tx, ty);
    case 28: {
        static constexpr std::int32_t kReach[4] = {1, 2, 3, 5};
        return seen && WithinSquare(monster, tx, ty, kReach[rank]);
    }
    case 30:
        switch (rank) {
        case 0:
            return WithinSquare(monster, tx, ty, 1);
        case 1:
            return seen && inLine;
        case 2:
            return seen;
        default:
            return true;
        }
    case 33: {
        if (!seen || !inLine) return false;
        std::int32_t range = 0xFFFF;
        const SCellPosition end =
            TraceProjectilePath(monster.x, monster.y, monster.direction, game, range, false, false);
        return end.x == tx && end.y == ty;
    }
    case kSpeciesSplitter:
        return SplitterRule(monster, game, seen);
    case kSpeciesHealer:
        for (std::uint16_t slot = 0; slot < game.characters.monsterCount && slot < CCharacterControl::kSlots;
             ++slot) {
            SMonster& other = game.characters.monsters[slot];
            if (&other == &monster || other.GetType() != kCharacterHostile) continue;
            if (other.x == monster.x && other.y == monster.y) continue;
            if (Chebyshev(other.x, other.y, monster.x, monster.y) > 1) continue;
            if (!other.IsCharacterInvisible(game)) return true;
        }
        return SplitterRule(monster, game, seen);
    default:
        return false;
    }
}

void FindGoldGoal(SMonster& monster, SGameResource& game)
{
    const std::int32_t room = CellAt(game, monster.x, monster.y).room;
    if (room < 0) {
        for (std::int32_t dy = -1; dy <= 1; ++dy)
            for (std::int32_t dx = -1; dx <= 1; ++dx)
                if (HoldsGold(game, monster.x + dx, monster.y + dy)) {
                    monster.goalX = monster.x + dx;
                    monster.goalY = monster.y + dy;
                    return;
                }
        return;
    }
    // The whole playing field is searched, so that gold in a room's far columns and rows is found too.
    for (std::int32_t y = CMapControl::kFieldTop; y < CMapControl::kFieldTop + CMapControl::kFieldHeight; ++y)
        for (std::int32_t x = CMapControl::kFieldLeft; x < CMapControl::kFieldLeft + CMapControl::kFieldWidth;
             ++x)
            if (CellAt(game, x, y).room == room && HoldsGold(game, x, y)) {
                monster.goalX = x;
                monster.goalY = y;
                return;
            }
}

void FindHealGoal(SMonster& monster, SGameResource& game)
{
    const std::int32_t room = CellAt(game, monster.x, monster.y).room;
    const SMonster* best = nullptr;
    std::int32_t bestDistance = INT_MAX;
    for (std::uint16_t slot = 0; slot < game.characters.monsterCount && slot < CCharacterControl::kSlots;
         ++slot) {
        SMonster& other = game.characters.monsters[slot];
        if (&other == &monster || other.GetType() != kCharacterHostile || Species(other) == kSpeciesHealer)
            continue;
        if (other.IsCharacterInvisible(game)) continue;
        const std::int32_t distance = Chebyshev(other.x, other.y, monster.x, monster.y);
        if (room < 0 ? distance > 1 : CellAt(game, other.x, other.y).room != room) continue;
        if (distance < bestDistance) {
            best = &other;
            bestDistance = distance;
        }
    }
    if (best == nullptr) return;
    monster.goalX = best->x;
    monster.goalY = best->y;
}

void FindCircleGoal(SMonster& monster, SGameResource& game)
{
    for (std::int32_t i = 0; i < 8; ++i) {
        const std::int32_t direction = Wrap(monster.direction + i);
        const SCellPosition cell = Neighbour(monster, direction);
        if (CellAt(game, cell.x, cell.y).objectKind == kObjectCircle &&
            CanAttackInDirection(monster, direction, game, false)) {
            monster.goalReached = 1;
            return;
        }
    }
    if (monster.viewFlags[0] != 0) return;
    const std::int32_t reach = Rank(monster) + 1;
    std::int32_t bestDistance = INT_MAX;
    for (std::int32_t dy = -reach; dy <= reach; ++dy)
        for (std::int32_t dx = -reach; dx <= reach; ++dx) {
            if (CellAt(game, monster.x + dx, monster.y + dy).objectKind != kObjectCircle) continue;
            const std::int32_t distance = dx * dx + dy * dy;
            if (distance < bestDistance) {
                bestDistance = distance;
                monster.goalX = monster.x + dx;
                monster.goalY = monster.y + dy;
            }
        }
}

void NoteItemGoal(SMonster& monster, SGameResource& game, std::int32_t x, std::int32_t y,
                  std::int32_t behaviour)
{
    if (behaviour == kBehaviourGold && HoldsGold(game, monster.x, monster.y)) {
        monster.goalReached = 1;
        return;
    }
    if (monster.viewFlags[0] != 0 && behaviour != kBehaviourFlee) {
        monster.goalX = x;
        monster.goalY = y;
    }
}

void StepAndQueue(std::int32_t direction, SMonster& monster)
{
    monster.actionEnergy = 0;
    monster.direction = direction;
    AdvanceOneCell(monster);
    monster.QueueStep({kMotionStep, 0, monster.x, monster.y, -1});
}

void MonsterStep(bool instant, SGameResource& game, SMonster& monster, std::int32_t tx, std::int32_t ty,
                 std::int32_t behaviour)
{
    const std::int32_t length = instant ? -1 : 0;
    const bool wasSubmerged = monster.IsSubmerged(game);
    AdvanceOneCell(monster);
    CCharacterControl::SQueuedStep step{kMotionStep, length, monster.x, monster.y, -1};
    if (monster.IsSubmerged(game) != wasSubmerged) step.motion = kMotionHop;
    if (behaviour == kBehaviourKeepGap && monster.viewFlags[0] != 0 && tx != -1)
        step.direction = DirectionToward(monster, tx, ty);
    monster.QueueStep(step);

    const bool walker = !monster.HasKindFlag(game, kKindFlying) && !monster.HasKindFlag(game, kKindIce) &&
                        (monster.kindId == 0xFFFF ||
                         (game.characters.GetMonsterKind(monster.kindId).abilities & kAbilityWallPass) == 0);
    if (walker && CellAt(game, monster.x, monster.y).terrain == kTerrainIce &&
        CanStepInDirection(monster, monster.direction, game, true)) {
        monster.AdvanceInDirection();
        monster.QueueStep({kMotionSlide, length, monster.x, monster.y, step.direction});
    }
}

void SpreadQueuedSteps(SMonster& monster)
{
    const std::int32_t n = std::int32_t(monster.queuedSteps.size());
    // Without steps there is nothing to replay, and the previous cell may be a turn old.
    if (n == 0) return;
    for (CCharacterControl::SQueuedStep& step : monster.queuedSteps)
        step.length = step.length >= 0 ? kStepFrames / n : 1;
    monster.x = monster.prevX;
    monster.y = monster.prevY;
    monster.SetMotion(0, -1);
}

bool ChooseStepTowardGoal(SGameResource& game, std::int32_t tx, std::int32_t ty, std::int32_t behaviour,
                          SMonster& monster)
{
    const std::int32_t goalDirection =
        DirectionOfSigns(monster.goalX - monster.x, monster.goalY - monster.y, monster.direction);
    monster.direction = goalDirection;

    std::array<std::int32_t, 8> offsets = {0, 1, -1, 2, -2, 3, -3, 4};
    for (std::size_t pair = 1; pair < 7; pair += 2)
        if (RandomMask(game.random, 1) != 0) std::swap(offsets[pair], offsets[pair + 1]);

    const bool seen = monster.viewFlags[0] != 0;
    const bool hasTarget = tx != -1;
    // Nothing moves while the monster chooses: its surroundings are looked at once, when first asked.
    // A slot typed as the heroine takes her test, which may record a swap partner.
    const bool heroineTyped = monster.GetType() == kCharacterPlayer;
    std::optional<SStepSurroundings> around;
    const auto canStep = [&](std::int32_t direction) {
        if (heroineTyped) return CanStepInDirection(monster, direction, game, true);
        if (!around) around = LookAround(monster, game);
        return CanStepInDirection(monster, direction, game, *around);
    };
    for (const std::int32_t offset : offsets) {
        const std::int32_t direction = Wrap(goalDirection + offset);
        const SCellPosition cell = Neighbour(monster, direction);
        if (hasTarget && cell.x == tx && cell.y == ty && behaviour != kBehaviourFlee &&
            CanAttackInDirection(monster, direction, game, false)) {
            monster.direction = direction;
            monster.acted = 1;
            return false;
        }
        if (behaviour == kBehaviourClever || !seen || !hasTarget) continue;
        const bool besideTarget = IsNextTo(cell.x, cell.y, tx, ty);
        if (behaviour == kBehaviourKeepGap || behaviour == kBehaviourHealer) {
            if (besideTarget && InLine(monster.x, monster.y, tx, ty)) {
                monster.acted = 1;
                return false;
            }
            continue;
        }
        if (behaviour != kBehaviourFlee && besideTarget && canStep(direction)) {
            monster.direction = direction;
            return true;
        }
    }

    const std::size_t looked = CellAt(game, monster.x, monster.y).room >= 0 ? 8 : 5;
    std::int32_t best = -1;
    std::int32_t bestScore = INT_MAX;
    for (std::size_t i = 0; i < looked; ++i) {
        const std::int32_t direction = Wrap(goalDirection + offsets[i]);
        const SCellPosition cell = Neighbour(monster, direction);
        if ((behaviour == kBehaviourKeepGap || behaviour == kBehaviourClever) && seen && hasTarget &&
            IsNextTo(cell.x, cell.y, tx, ty))
            continue;
        if (behaviour == kBehaviourClever && (CellAt(game, cell.x, cell.y).objectKind == kObjectFire ||
                                              (seen && hasTarget && InLine(cell.x, cell.y, tx, ty))))
            continue;
        // A direction that cannot beat the best so far is not tested: the test only answers, and a
        // monster's test leaves no swap partner behind (a slot typed as the heroine is tested as before).
        const std::int32_t score = Chebyshev(cell.x, cell.y, monster.goalX, monster.goalY);
        if (score >= bestScore && !heroineTyped) continue;
        if (!canStep(direction)) continue;
        if (score < bestScore) {
            best = direction;
            bestScore = score;
        }
    }
    if (best == -1) return false;
    monster.direction = best;
    return true;
}

void ChooseNewGoal(std::int32_t tx, std::int32_t ty, SMonster& monster, SGameResource& game,
                   std::int32_t behaviour)
{
    const bool seen = monster.viewFlags[0] != 0;
    if (behaviour == kBehaviourFlee && seen && tx != -1) {
        monster.FaceToward(tx, ty);
        monster.direction = Wrap(monster.direction - 4);
    }
    const std::int32_t room = CellAt(game, monster.x, monster.y).room;
    if (room < 0) {
        ChooseCorridorGoal(monster, game);
        return;
    }
    if (behaviour == kBehaviourHealer) {
        if (RandomMask(game.random, 255) >= 4) {
            ClearGoal(monster);
            return;
        }
    } else if (behaviour == kBehaviourFlee && seen) {
        std::vector<SCellPosition> entrances;
        game.map.GetRoomEntrances(room, entrances);
        std::stable_sort(
            entrances.begin(), entrances.end(), [&](const SCellPosition& a, const SCellPosition& b) {
                return Chebyshev(a.x, a.y, monster.x, monster.y) < Chebyshev(b.x, b.y, monster.x, monster.y);
            });
        for (const std::int32_t offset : {0, -1, 1})
            for (const SCellPosition& entrance : entrances)
                if (OnSide(monster.direction + offset, entrance.x, entrance.y, monster.x, monster.y)) {
                    monster.goalX = entrance.x;
                    monster.goalY = entrance.y;
                    return;
                }
        ChooseCorridorGoal(monster, game);
        return;
    }
    std::vector<SCellPosition> candidates;
    game.map.GetUsableRoomEntrances(candidates, room, monster.x, monster.y, game);
    if (candidates.empty()) {
        ClearGoal(monster);
        game.map.GetRoomEntrances(room, candidates);
    }
    // A room without entrances leaves the goal cleared: there is nothing to pick from.
    if (candidates.empty()) return;
    const SCellPosition pick =
        candidates[std::size_t(RandomBelow(game.random, std::int32_t(candidates.size())))];
    monster.goalX = pick.x;
    monster.goalY = pick.y;
}

bool ShopDoorStep(SMonster& monster, SGameResource& game)
{
    if (!HasGoal(monster)) return true;
    const SCellPosition entryGoal{monster.goalX, monster.goalY};
    const SCellPosition door = game.shopDoorCell;
    const std::int32_t type = monster.GetType();
    static constexpr std::array<std::int32_t, 4> kStraight = {0, 2, 4, 6};
    static constexpr std::array<std::int32_t, 4> kDiagonal = {1, 3, 5, 7};
    const std::array<std::int32_t, 4>* directions = nullptr;
    if (entryGoal == door) {
        const SCharacter* onDoor = game.characters.FindCharacterAt(door.x, door.y);
        const bool offDoor = monster.x != door.x || monster.y != door.y;
        if (type == kCharacterShopkeeper || (offDoor && onDoor != nullptr && onDoor != &monster))
            directions = &kStraight;
    } else {
        directions = type == kCharacterShopkeeper ? &kDiagonal : &kStraight;
    }

    if (directions != nullptr) {
        const std::int32_t shopRoom = game.map.specialRoom;
        for (const std::int32_t direction : *directions) {
            std::int32_t dx = 0;
            std::int32_t dy = 0;
            DirectionToStep(direction, dx, dy);
            const SCellPosition cell{entryGoal.x + dx, entryGoal.y + dy};
            const bool own = cell.x == monster.x && cell.y == monster.y;
            if (!own && game.characters.FindCharacterAt(cell.x, cell.y) != nullptr) continue;
            const SMapCell& mapCell = CellAt(game, cell.x, cell.y);
            if (type == kCharacterShopkeeper && mapCell.room >= 0 &&
                BesideEntrance(game, cell.x, cell.y, mapCell.room)) {
                monster.goalX = cell.x;
                monster.goalY = cell.y;
            } else if (mapCell.terrain >= kWalkable && mapCell.room >= 0 && mapCell.room == shopRoom) {
                monster.goalX = cell.x;
                monster.goalY = cell.y;
                break;
            }
        }
    }

    if (monster.x == monster.goalX && monster.y == monster.goalY) {
        monster.goalX = entryGoal.x;
        monster.goalY = entryGoal.y;
        if (monster.hasteTurns != 0) monster.hasteTurns = 1;
        return true;
    }
    ChooseStepTowardGoal(game, -1, -1, kBehaviourChase, monster);
    monster.goalX = entryGoal.x;
    monster.goalY = entryGoal.y;
    return false;
}

void ThinkMonster(SMonster& monster, SGameResource& game, bool instantSteps)
{
    GainActionEnergy(monster, game);
    monster.actionCounter = 0;
    monster.acted = 0;
    monster.goalReached = 0;

    SCharacterStatus& status = monster.status;
    // A binding of a cell no longer holds once the monster is off it; a permanent one holds everywhere.
    if (status.boundTurns != 0 && !IsAtMarkedCell(status, monster.x, monster.y)) {
        status.boundTurns = 0;
        status.boundX = status.boundY = 0xFF;
    }

    CCharacterControl& control = game.characters;
    std::int32_t tx = -1;
    std::int32_t ty = -1;
    bool pillarMode = false;
    if (monster.link != CCharacterControl::kNoSlot &&
        control.GetCharacter(monster.link).GetType() == kCharacterIcePillar) {
        const SCharacter& pillar = control.GetCharacter(monster.link);
        tx = pillar.x;
        ty = pillar.y;
        pillarMode = true;
    } else {
        control.GetAttentionPoint(game, tx, ty);
    }

    bool specialTested = false;
    bool wokenByChance = false;
    while (monster.actionEnergy >= kActionEnergy) {
        monster.actionEnergy -= kActionEnergy;
        ++monster.actionCounter;

        if (status.paralysisTurns != 0 || status.frozenTurns != 0 || status.sleepTurns != 0 ||
            monster.inPotTurns != 0) {
            --monster.actionCounter;
            continue;
        }

        const std::int32_t type = monster.GetType();
        if (type == kCharacterPeaceful) {
            --monster.actionCounter;
            // Without a goal it has nowhere to go; it does not head for the cell (-1, -1).
            if (!HasGoal(monster) || (monster.x == monster.goalX && monster.y == monster.goalY)) continue;
            ChooseStepTowardGoal(game, -1, -1, kBehaviourChase, monster);
            TryStep(monster, game, instantSteps, -1, -1, kBehaviourChase);
            break;
        }

        if ((type == kCharacterShopkeeper || type == kCharacterShopkeeper2) && !CannotThink(monster)) {
            if (monster.link != CCharacterControl::kNoSlot && control.GetCharacter(monster.link).IsGone())
                monster.link = CCharacterControl::kNoSlot;
            if (monster.link == CCharacterControl::kNoSlot) {
                tx = ty = -1;
                const std::int32_t shopRoom = game.map.specialRoom;
                if (BlockTouchesRoom(game, monster.x, monster.y, shopRoom)) {
                    const SCellPosition guard = game.shopGuardCell;
                    const std::int32_t guardRoom = CellAt(game, guard.x, guard.y).room;
                    const std::int32_t ownRoom = CellAt(game, monster.x, monster.y).room;
                    if (guard.x != -1 && ((ownRoom >= 0 && ownRoom == guardRoom) ||
                                          Chebyshev(monster.x, monster.y, guard.x, guard.y) <= 1)) {
                        monster.goalX = guard.x;
                        monster.goalY = guard.y;
                    } else {
                        std::vector<SCellPosition> entrances;
                        game.map.GetRoomEntrances(shopRoom, entrances);
                        const SCellPosition nearest = Nearest(entrances, monster.x, monster.y);
                        monster.goalX = nearest.x;
                        monster.goalY = nearest.y;
                    }
                    if (!ShopDoorStep(monster, game))
                        TryStep(monster, game, instantSteps, -1, -1, kBehaviourChase);
                    continue;
                }
            } else {
                const SCharacter& linked = control.GetCharacter(monster.link);
                tx = linked.x;
                ty = linked.y;
            }
        }

        if (!pillarMode && monster.stuckCounter >= 2 && monster.viewFlags[0] == 0) {
            bool found = false;
            for (const std::int32_t offset : kFanOffsets) {
                const std::int32_t direction = Wrap(monster.direction + offset);
                const SCellPosition cell = Neighbour(monster, direction);
                const std::uint16_t slot = control.FindMonsterIndexAt(cell.x, cell.y);
                if (slot == CCharacterControl::kNoSlot ||
                    control.monsters[slot].GetType() != kCharacterIcePillar)
                    continue;
                tx = cell.x;
                ty = cell.y;
                pillarMode = true;
                monster.direction = direction;
                monster.link = slot;
                monster.stuckCounter = 0;
                found = true;
                break;
            }
            if (found) continue;
        }

        const SMonsterKind& kind = control.GetMonsterKind(monster.kindId);
        std::int32_t behaviour = kind.behaviour;
        bool skipSpecial = false;
        if (Species(monster) == kSpeciesStatusChaser && SuffersRankStatus(monster, game))
            behaviour = kBehaviourChase;
        if (Species(monster) == kSpeciesLinkFleer && monster.link != CCharacterControl::kNoSlot &&
            control.FindMonsterIndexAt(monster.x, monster.y) == monster.link) {
            behaviour = kBehaviourFlee;
            skipSpecial = true;
        }
        if (behaviour != kBehaviourStill) {
            if (monster.IsAbilitySealed(game)) behaviour = kBehaviourChase;
            if (status.hallucinationTurns != 0) behaviour = kBehaviourFlee;
            if (status.confusionTurns != 0 || status.blindTurns != 0) behaviour = kBehaviourChase;
        }

        const std::uint8_t knewBefore = monster.viewFlags[0];
        monster.viewFlags[0] = CanSeeTarget(game, monster, tx, ty) ? 1 : 0;
        if (monster.viewFlags[0] != 0) monster.stuckCounter = 0;

        if (monster.sleepState < 1) {
            if (!specialTested && !skipSpecial) {
                specialTested = true;
                if (WantsToUseSpecial(monster, game, tx, ty)) {
                    monster.goalReached = CanUseSpecial(tx, ty, monster, game) ? 1 : 0;
                    if (monster.goalReached != 0) continue;
                }
            }
            NoteItemGoal(monster, game, tx, ty, behaviour);
            if (monster.goalReached != 0) continue;
            if (behaviour == kBehaviourGold && !HasGoal(monster)) {
                FindGoldGoal(monster, game);
                if (HoldsGold(game, monster.x, monster.y)) continue;
            }
            if (behaviour == kBehaviourHealer) FindHealGoal(monster, game);
            if (behaviour == kBehaviourCircle) {
                FindCircleGoal(monster, game);
                if (monster.goalReached != 0) continue;
            }
            if (monster.stuckCounter > 3) {
                const std::int32_t before = monster.direction;
                if (status.blindTurns != 0)
                    monster.PickRandomDirection(game);
                else
                    monster.direction = Wrap(monster.direction - 4);
                if (monster.direction != before) {
                    ClearGoal(monster);
                    monster.stuckCounter = 0;
                }
            }
            if (!HasGoal(monster) || (monster.x == monster.goalX && monster.y == monster.goalY)) {
                ChooseNewGoal(tx, ty, monster, game, behaviour);
                monster.stuckCounter = 0;
            }
            bool stepped = false;
            if (status.confusionTurns != 0 || status.decoyTurns != 0 || behaviour == kBehaviourRandom) {
                monster.PickRandomDirection(game);
                stepped = TryStep(monster, game, instantSteps, tx, ty, behaviour);
            } else if (HasGoal(monster) && ChooseStepTowardGoal(game, tx, ty, behaviour, monster)) {
                // The choice has just passed the step test in that direction, and a monster's test leaves
                // nothing behind; only a slot typed as the heroine, whose test records a swap partner, is
                // tested again.
                if (monster.GetType() == kCharacterPlayer) {
                    stepped = TryStep(monster, game, instantSteps, tx, ty, behaviour);
                } else {
                    MonsterStep(instantSteps, game, monster, tx, ty, behaviour);
                    stepped = true;
                }
            }
            if (!stepped && monster.acted == 0) ++monster.stuckCounter;
            continue;
        }

        if (game.wakeLock == 0) {
            if (monster.viewFlags[0] != knewBefore) {
                monster.WakeUpByChance(game);
                wokenByChance = wokenByChance || monster.sleepState == 0;
            }
            if (tx != -1 && Chebyshev(monster.x, monster.y, tx, ty) <= 1) {
                monster.WakeUpByChance(game);
                if (monster.sleepState == 5) monster.sleepState = 0;
                wokenByChance = wokenByChance || monster.sleepState == 0;
            }
        }
        if (Species(monster) == kSpeciesWakesToStrike && !monster.IsAbilitySealed(game) && tx != -1 &&
            IsNextTo(monster.x, monster.y, tx, ty)) {
            const std::int32_t toward = DirectionToward(monster, tx, ty);
            if (CanAttackInDirection(monster, toward, game, false)) {
                monster.direction = toward;
                monster.sleepState = 0;
                wokenByChance = false;
                const std::int32_t rank = Rank(monster);
                if (rank == 1 || rank == 2) {
                    monster.actionCounter += rank;
                    monster.acted = 1;
                }
            }
        }
    }
    if (wokenByChance) monster.actionCounter = 0;

    if (status.decoyTurns != 0 || status.hallucinationTurns != 0) {
        ClearGoal(monster);
        monster.acted = 0;
        monster.goalReached = 0;
        monster.stuckCounter = 0;
    }

    SpringBindingTrap(monster, game);
}
