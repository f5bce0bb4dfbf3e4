// The character table: finding characters, making and removing monsters, chests and ice pillars,
// placing them on free cells, the floor's reset, and where monsters look.
#include "game/app/game_resource.h"
#include "game/characters/character_control.h"
#include "game/core/random.h"
#include "game/world/cell_shuffle.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr std::int32_t kCircleFixedLevel = 275;
constexpr std::int32_t kMotionDying = 13;
constexpr std::int32_t kMotionAppear = 35;
constexpr std::int32_t kPeacefulKind = 164;
constexpr std::int32_t kSpeciesFrozen = 38; // never made while the floor keeps fire kinds out
constexpr std::int32_t kDungeonOfTrials = 6;
constexpr std::int32_t kItemListFloor = 0; // floors, traps, monsters and thieves
constexpr std::int32_t kItemListChest = 2;
constexpr std::int32_t kWalkerTerrain = 5;
constexpr std::int32_t kFlyerTerrain = 3;
constexpr std::int32_t kWallPasserTerrain = 2;
constexpr std::int32_t kRandomCellSearchRadius = 2;
constexpr std::int32_t kPlacementTries = 1024;
constexpr std::int32_t kAvoidingTries = 17;
constexpr std::int32_t kDecoyTurns = 50;
constexpr std::int32_t kSoundSplit = 74;
// An avoided room no cell has.
constexpr std::int32_t kAvoidNoRoom = 0x7FFFFFFF;

std::int32_t Species(std::int32_t kindId)
{
    return kindId / 4;
}

bool IsShopkeeper(std::int32_t type)
{
    return type == kCharacterShopkeeper || type == kCharacterShopkeeper2;
}

// An item of one of the floor's item lists; 0xFFFF when nothing is made.
std::uint16_t CreateFloorItem(SGameResource& game, std::size_t list)
{
    const CMapControl::SItemAppearance& table = game.map.itemAppearance[list];
    return game.items.CreateItemFromTable(game.random, table.weights, table.kinds, table.total, game.dungeon);
}

// Hidden from monsters' eyes: the heroine when invisible, a monster when invisible and the game does not
// see through invisibility.
bool IsHiddenForAttention(CCharacterControl::SCharacter& character, SGameResource& game)
{
    if (character.GetType() != kCharacterPlayer && game.seeInvisible != 0) return false;
    return character.HasAbility(game, kAbilityInvisible) || character.invisibleTurns != 0;
}

} // namespace

CCharacterControl::~CCharacterControl()
{
    GetScratchPlane(0, true);
}

std::uint16_t CCharacterControl::FindMonsterIndexAt(std::int32_t x, std::int32_t y)
{
    for (std::uint16_t i = 0; i < monsterCount && i < kSlots; ++i) {
        const SMonster& monster = monsters[i];
        // The cell first: nearly every slot differs there.
        if (monster.x == x && monster.y == y && monster.type != kCharacterEmpty &&
            monster.motion != kMotionDying && monster.hp >= 1 && monster.GetType() != kCharacterEmpty)
            return i;
    }
    return kNoSlot;
}

// ---- Creation and removal.

std::int32_t CCharacterControl::InitMonster(SMonster& monster, std::int32_t kindId, SGameResource& game)
{
    monster.Reset();
    monster.kindId = kindId;
    monster.type = kCharacterHostile;
    monster.SetLevel(1, game, true);
    monster.speedCopy = monster.GetCharacterSpeed(game);

    const std::int32_t species = Species(kindId);
    if (species == 2 || species == 4 || species == 17) {
        monster.sleepState = 4;
    } else {
        const std::int32_t r = RandomBelow(game.random, 6);
        monster.sleepState = r > 3 ? 0 : r;
    }
    if (species == 30 || species == 22 || kindId == 96)
        monster.sleepState = std::min(monster.sleepState + 1, 3);

    const SMonsterKind& kind = GetMonsterKind(kindId);
    const std::int32_t r = std::int32_t(RandomMask(game.random, 255));
    if (r < kind.dropChance) {
        std::uint16_t item = CItemControl::kNone;
        if (kind.dropItem == 0)
            item = game.items.CreateGold(game.random, game.floor, 0);
        else if (kind.dropItem == 0xFFFF)
            item = CreateFloorItem(game, kItemListFloor);
        else if (kind.dropItem > 0)
            item = game.items.CreateItem(kind.dropItem, game.random, game.dungeon);
        if (item != CItemControl::kNone) monster.heldItem = item;
    }

    // New monsters start their animation a few frames apart and face different ways.
    monster.animPhase = std::int32_t(phaseCounter);
    monster.direction = std::int32_t(phaseCounter & 7);
    const std::uint32_t modulus = std::uint32_t(monster.phaseModulus);
    phaseCounter = modulus == 0 ? 0 : (phaseCounter + 3) % modulus;
    return 0;
}

std::uint16_t CCharacterControl::CreateMonster(std::int32_t kindId, SGameResource& game)
{
    if (kindId < 0 || kindId >= kindCount) return kNoSlot;
    if (game.excludeFireKinds != 0 &&
        (Species(kindId) == kSpeciesFrozen || (GetMonsterKind(kindId).typeFlags & kKindFire) != 0))
        return kNoSlot;
    if (kindId == game.excludedKind) return kNoSlot;
    std::uint16_t slot = 0;
    while (slot < kSlots && monsters[slot].type != kCharacterEmpty)
        ++slot;
    if (slot == kSlots) return kNoSlot;

    SMonster& monster = monsters[slot];
    InitMonster(monster, kindId, game);
    // Deeper floors make monsters a rank higher, or four levels higher once the rank is the top one.
    const std::int32_t depth = game.floor;
    if (Species(kindId) == 0) {
        monster.SetLevel(depth, game, false);
    } else {
        const std::int32_t steps = game.dungeon == kDungeonOfTrials ? (depth - 1) / 50 : depth / 100;
        for (std::int32_t i = 0; i < steps; ++i) {
            const std::int32_t next = monster.kindId + 1;
            if (monster.kindId % 4 < 3 && !GetMonsterKind(next).name.empty()) {
                monster.kindId = next;
                monster.SetLevel(1, game, true);
            } else {
                monster.SetLevel(monster.level + 4, game, false);
            }
        }
    }
    monsterCount = std::max<std::uint16_t>(monsterCount, std::uint16_t(slot + 1));
    return slot;
}

std::uint16_t CCharacterControl::CreateRandomMonster(SGameResource& game)
{
    if (game.thief != 0) {
        const std::uint16_t slot = CreateMonster(1 + RandomBelow(game.random, 3), game);
        if (slot != kNoSlot) return slot;
        if (monsterCount >= kSlots) return kNoSlot;
    }
    const std::vector<std::int32_t>& list = game.map.monsterAppearance;
    for (std::int32_t i = 0; i < 100; ++i) {
        if (list.empty()) return kNoSlot;
        const std::uint16_t slot =
            CreateMonster(list[std::size_t(RandomBelow(game.random, std::int32_t(list.size())))], game);
        if (slot != kNoSlot) return slot;
        if (monsterCount >= kSlots) return kNoSlot;
    }
    return kNoSlot;
}

std::uint16_t CCharacterControl::CreatePeacefulCharacter(SGameResource& game)
{
    const std::uint16_t slot = CreateMonster(kPeacefulKind, game);
    if (slot == kNoSlot) return kNoSlot;
    SMonster& character = monsters[slot];
    character.type = kCharacterPeaceful;
    character.spriteMode = 4;
    character.sleepState = 0;
    return slot;
}

std::uint16_t CCharacterControl::AddTreasureChest(SGameResource& game)
{
    std::uint16_t slot = 0;
    while (slot < kSlots && monsters[slot].type != kCharacterEmpty)
        ++slot;
    if (slot == kSlots) return kNoSlot;
    const std::uint16_t item = CreateFloorItem(game, kItemListChest);
    if (item == CItemControl::kNone) return kNoSlot;
    game.items.EnhanceItem(game.items.GetItem(item), game.random);
    SMonster& chest = monsters[slot];
    chest.Reset();
    chest.type = kCharacterChest;
    chest.heldItem = item;
    chest.spriteMode = 0;
    monsterCount = std::max<std::uint16_t>(monsterCount, std::uint16_t(slot + 1));
    return slot;
}

std::uint16_t CCharacterControl::AddIcePillar()
{
    std::uint16_t slot = 0;
    while (slot < kSlots && monsters[slot].type != kCharacterEmpty)
        ++slot;
    if (slot == kSlots) return kNoSlot;
    monsters[slot].TurnIntoIcePillar();
    monsterCount = std::max<std::uint16_t>(monsterCount, std::uint16_t(slot + 1));
    return slot;
}

void CCharacterControl::RemoveMonster(std::uint16_t index, CItemControl* items)
{
    if (index >= kSlots) return;
    SMonster& monster = monsters[index];
    if (items != nullptr && monster.heldItem != 0xFFFF && monster.heldItem != 0xFFFFFFFF)
        items->DeleteItem(monster.heldItem);
    monster.Reset();
    for (std::int32_t i = monsterCount; i >= index; --i) {
        if (i < kSlots && monsters[std::size_t(i)].type != kCharacterEmpty) break;
        monsterCount = std::uint16_t(i);
    }
    for (std::uint16_t i = 0; i < monsterCount; ++i)
        if (IsShopkeeper(monsters[i].GetType()) && monsters[i].link == index) monsters[i].link = 0xFFFF;
}

std::int32_t CCharacterControl::DemoteMonster(SMonster& monster, SGameResource& game)
{
    if (monster.CountCircles(game, kCircleFixedLevel) > 0) return -1;
    if (monster.kindId == 0xFFFF || monster.kindId % 4 == 0) return 1;
    const SMonster kept = monster;
    InitMonster(monster, kept.kindId - 1, game);
    // The rebuild rolls for a dropped item as a new monster does; the demoted one keeps what it held, so
    // the item that roll made is deleted rather than left in the table with no owner.
    if (monster.heldItem != 0xFFFF) game.items.DeleteItem(monster.heldItem);
    monster.direction = kept.direction;
    monster.x = kept.x;
    monster.y = kept.y;
    monster.prevX = kept.prevX;
    monster.prevY = kept.prevY;
    monster.heldItem = kept.heldItem;
    monster.sleepState = kept.sleepState;
    monster.viewFlags[0] = kept.viewFlags[0];
    monster.link = kept.link;
    return 0;
}

void CCharacterControl::AlarmShopkeepers()
{
    for (std::uint16_t i = 0; i < monsterCount; ++i)
        if (IsShopkeeper(monsters[i].type)) monsters[i].type = kCharacterHostile;
}

void CCharacterControl::ClearSleepState5()
{
    for (std::uint16_t i = 0; i < monsterCount; ++i)
        if (monsters[i].sleepState == 5) monsters[i].sleepState = 0;
}

// ---- Floor changes and the heroine.

void CCharacterControl::ResetForNewFloor()
{
    const SPlayer& p = player;
    const std::array<std::int32_t, 10> numbers = {p.level,           p.hp,          p.maxHp,    p.experience,
                                                  p.strength,        p.maxStrength, p.fullness, p.maxFullness,
                                                  p.hpRegenFraction, p.direction};
    const std::array<std::uint8_t, 5> bytes = {p.hasteTurns, p.hasteLevel, p.invisibleTurns,
                                               p.strongBodyTurns, p.inPotTurns};
    const SCharacterStatus status = p.status;

    for (SMonster& monster : monsters)
        monster.Reset();
    monsterCount = 0;
    player.Reset();

    player.level = numbers[0];
    player.hp = numbers[1];
    player.maxHp = numbers[2];
    player.experience = numbers[3];
    player.strength = numbers[4];
    player.maxStrength = numbers[5];
    player.fullness = numbers[6];
    player.maxFullness = numbers[7];
    player.hpRegenFraction = numbers[8];
    player.direction = numbers[9];
    player.hasteTurns = bytes[0];
    player.hasteLevel = bytes[1];
    player.invisibleTurns = bytes[2];
    player.strongBodyTurns = bytes[3];
    player.inPotTurns = bytes[4];
    player.status = status;
    // A binding holds to a cell or a monster of the floor left behind.
    player.status.boundTurns = 0;
    player.status.boundX = player.status.boundY = 0xFF;
    phaseCounter = 0;
}

void CCharacterControl::GetAttentionPoint(SGameResource& game, std::int32_t& outX, std::int32_t& outY)
{
    outX = outY = -1;
    if (decoyPossible) {
        bool anyDecoy = false;
        for (std::uint16_t i = 0; i < monsterCount; ++i) {
            SMonster& monster = monsters[i];
            if (monster.status.decoyTurns == 0) continue;
            anyDecoy = true;
            if (IsHiddenForAttention(monster, game) || monster.inPotTurns != 0) continue;
            outX = monster.x;
            outY = monster.y;
            return;
        }
        decoyPossible = anyDecoy;
    }
    if (IsHiddenForAttention(player, game) || player.inPotTurns != 0) return;
    outX = player.x;
    outY = player.y;
}

void CCharacterControl::TurnToNextAdjacentMonster(SGameResource& game, bool repeat)
{
    if (player.status.blindTurns != 0) return;
    const std::int32_t start = player.direction;
    std::array<bool, 8> marked{};
    for (std::uint16_t i = 0; i < monsterCount; ++i) {
        SMonster& monster = monsters[i];
        const std::int32_t type = monster.GetType();
        if (type == kCharacterEmpty) continue;
        if ((type == kCharacterChest || type == kCharacterIcePillar) && player.status.hallucinationTurns == 0)
            continue;
        if (IsHiddenForAttention(monster, game)) continue;
        if (std::abs(monster.x - player.x) > 1 || std::abs(monster.y - player.y) > 1) continue;
        player.FaceToward(monster.x, monster.y);
        marked[std::size_t(player.direction & 7)] = true;
    }
    std::int32_t passOver = repeat ? 1 : 0;
    for (std::int32_t k = 0; k < 8; ++k) {
        const std::int32_t d = (start + k) & 7;
        if (!marked[std::size_t(d)]) continue;
        if (passOver-- == 0) {
            player.direction = d;
            return;
        }
    }
}

Draw::CFastPlane* CCharacterControl::GetScratchPlane(std::int32_t sizeIndex, bool release)
{
    static std::array<std::unique_ptr<Draw::CFastPlane>, 4> planes;
    static constexpr std::array<std::int32_t, 4> kSizes = {32, 24, 40, 48};
    if (release) {
        for (std::unique_ptr<Draw::CFastPlane>& plane : planes)
            plane.reset();
        return nullptr;
    }
    if (sizeIndex < 0 || sizeIndex >= 4) return nullptr;
    std::unique_ptr<Draw::CFastPlane>& plane = planes[std::size_t(sizeIndex)];
    if (!plane) {
        plane = std::make_unique<Draw::CFastPlane>();
        const std::int32_t size = kSizes[std::size_t(sizeIndex)];
        plane->CreateSurface(size, size, false);
    }
    return plane.get();
}

// ---- Placement.

void FindFreeCellNear(CCharacterControl& control, SCellPosition& out, std::int32_t ignore, CMapControl& map,
                      std::int32_t x, std::int32_t y, std::int32_t minTerrain, std::int32_t radius)
{
    out = {-1, -1};
    std::vector<SCellPosition> candidates;
    if (radius > 0)
        map.CollectCellsAround(candidates, x, y, minTerrain, radius);
    else if (map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain >= minTerrain)
        candidates.push_back({x, y});
    for (const SCellPosition& cell : candidates) {
        bool taken = false;
        for (std::int32_t i = 0; i < control.monsterCount && !taken; ++i) {
            const CCharacterControl::SMonster& monster = control.monsters[std::size_t(i)];
            taken = i != ignore && monster.x == cell.x && monster.y == cell.y;
        }
        if (!taken && ignore != 0xFFFF) taken = control.player.x == cell.x && control.player.y == cell.y;
        if (!taken) {
            out = cell;
            return;
        }
    }
}

void FindRandomFreeCell(SCellPosition& out, std::vector<SCellPosition>& cells, CCharacterControl& control,
                        CMapControl& map, std::int32_t avoidRoom, SGameResource& game)
{
    out = {-1, -1};
    if (cells.size() > 100) {
        for (std::int32_t i = 0; i < 64; ++i) {
            const SCellPosition cell =
                cells[std::size_t(RandomBelow(game.random, std::int32_t(cells.size())))];
            if (map.GetCell(std::uint32_t(cell.x), std::uint32_t(cell.y)).room == avoidRoom) continue;
            FindFreeCellNear(control, out, -1, map, cell.x, cell.y, kWalkerTerrain, kRandomCellSearchRadius);
            if (out.x != -1) return;
        }
    }
    ShuffleVector(cells, game.random);
    for (const SCellPosition& cell : cells) {
        FindFreeCellNear(control, out, -1, map, cell.x, cell.y, kWalkerTerrain, kRandomCellSearchRadius);
        if (out.x != -1) return;
    }
}

std::int32_t PlaceCharacterRandomly(CCharacterControl::SCharacter& character,
                                    std::vector<SCellPosition>& cells, CMapControl& map, SGameResource& game,
                                    std::int32_t avoidRoom)
{
    ShuffleVector(cells, game.random);
    for (std::int32_t attempt = 0; attempt < kPlacementTries; ++attempt) {
        const bool avoiding = attempt < kAvoidingTries;
        SCellPosition found;
        FindRandomFreeCell(found, cells, game.characters, map, avoiding ? avoidRoom : kAvoidNoRoom, game);
        if (found.x == -1) return 1;
        if (avoiding && map.GetCell(std::uint32_t(found.x), std::uint32_t(found.y)).room == avoidRoom)
            continue;
        character.x = found.x;
        character.y = found.y;
        return 0;
    }
    return 2;
}

std::int32_t SpawnRandomMonster(CCharacterControl& control, SGameResource& game, std::int32_t x,
                                std::int32_t y, bool keepSleep, std::int32_t levelOffset)
{
    const std::uint16_t slot = control.CreateRandomMonster(game);
    if (slot == CCharacterControl::kNoSlot) return 1;
    CCharacterControl::SMonster& monster = control.monsters[slot];
    std::int32_t minTerrain = kWalkerTerrain;
    if (monster.HasKindFlag(game, kKindFlying)) minTerrain = kFlyerTerrain;
    if (monster.HasAbility(game, kAbilityWallPass)) minTerrain = kWallPasserTerrain;

    SCellPosition cell;
    FindFreeCellNear(control, cell, -1, game.map, x, y, minTerrain, 0);
    if (cell.x == -1) {
        std::vector<SCellPosition> around;
        for (std::int32_t dy = -1; dy <= 1; ++dy)
            for (std::int32_t dx = -1; dx <= 1; ++dx)
                around.push_back({x + dx, y + dy});
        ShuffleVector(around, game.random);
        for (const SCellPosition& c : around) {
            FindFreeCellNear(control, cell, -1, game.map, c.x, c.y, minTerrain, 0);
            if (cell.x != -1) break;
        }
        if (cell.x == -1) {
            control.RemoveMonster(slot, &game.items);
            return 2;
        }
    }
    // The monster stands on its cell before its level is settled, so that a level-fixing circle there
    // keeps it at its level.
    monster.x = cell.x;
    monster.y = cell.y;
    if (levelOffset > 1 && monster.kindId != 0xFFFF && monster.type != kCharacterIcePillar &&
        monster.type != kCharacterChest && monster.CountCircles(game, kCircleFixedLevel) == 0)
        monster.SetLevel(monster.level + levelOffset - 1, game, false);
    if (!keepSleep) monster.sleepState = 0;
    monster.SetMotion(kMotionAppear, -1);
    return 0;
}

std::int32_t SpawnMonsterBeside(SGameResource& game, std::int32_t sourceIndex)
{
    CCharacterControl& control = game.characters;
    std::uint16_t slot = CCharacterControl::kNoSlot;
    SCellPosition source;
    if (sourceIndex == 0xFFFF) {
        slot = control.CreateRandomMonster(game);
        if (slot != CCharacterControl::kNoSlot) control.monsters[slot].ApplyDecoyStatus(kDecoyTurns, game);
        source = {control.player.x, control.player.y};
    } else {
        const CCharacterControl::SCharacter& original =
            sourceIndex >= 0 && sourceIndex < CCharacterControl::kSlots
                ? control.monsters[std::size_t(sourceIndex)]
                : control.GetCharacter(0xFFFF);
        if (original.kindId == 0xFFFF) return 2;
        source = {original.x, original.y};
        slot = control.CreateMonster(original.kindId, game);
    }
    if (slot == CCharacterControl::kNoSlot) return 1;
    CCharacterControl::SMonster& monster = control.monsters[slot];
    monster.x = source.x;
    monster.y = source.y;
    monster.sleepState = 0;
    RelocateCharacter(game, slot, 0, false);
    PlaySoundEffect(game, kSoundSplit);
    return 0;
}
