#include "e2e/state_hash.h"

#include "game/data/check_value.h"
#include "sdk/auxiliary/serialize.h"

#include <type_traits>
#include <vector>

// What the hash reads, field by field. Left out, because only the screen reads them or the drawing
// sets them (a run whose motions end at once, a silent re-run and a watched replay differ in them):
// - every character: offsetX, offsetY, lift, animPhase, phaseModulus and spriteMode (the sprite's
//   place, depth, frame and size); motion, motionFrame, motionLength, animSpeed and the queued steps
//   (the motion playing out); tileShown and shown (set by the drawing);
// - monsters: viewFlags 1 to 3 (seen, view tile, submerged: the per-frame sight of the drawing);
// - the heroine: weaponSprite, weaponVariant, shieldSprite, viewOffsetX and viewOffsetY;
// - map cells: minimapMark and redraw (the minimap's symbols and the view cache's dirty flag).
// Everything else of those records is read, and of the game state the generator (its 624 words, its
// index, seed and fixed-random flag), the map cells, the heroine and the 64 slots with their count and
// the phase counter that turns new monsters, the item table and its mark, the warehouse with its list,
// marks and count, the identification state, the kept copies of the own equipment, the inventory, the
// equipment and spare slots, gold and banked gold, the run's score and the progress record, dungeon,
// floor and floor time.

namespace e2e {
namespace {

class CHashInput
{
public:
    template <class T> void Add(T value)
    {
        static_assert(std::is_integral_v<T>);
        using U = std::make_unsigned_t<T>;
        const U bits = static_cast<U>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    template <class T, std::size_t N> void AddAll(const std::array<T, N>& values)
    {
        for (const T& v : values)
            Add(v);
    }
    template <class T> void AddAll(const std::vector<T>& values)
    {
        Add(static_cast<std::uint32_t>(values.size()));
        for (const T& v : values)
            Add(v);
    }
    void AddBytes(const std::vector<std::uint8_t>& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

void AddGenerator(CHashInput& in, const Math::CRand& generator)
{
    // The words and index are private: a copy stores them as the save sets do.
    Math::CRand copy = generator;
    Auxiliary::CSerialize stream;
    stream.SetStoring(true);
    copy.Serialize(stream);
    in.AddBytes(stream.GetBuffer());
    in.Add(generator.seed);
    in.Add(static_cast<std::uint8_t>(generator.noRandom));
}

void AddCell(CHashInput& in, const SMapCell& cell)
{
    in.Add(cell.terrain);
    in.Add(cell.room);
    in.Add(cell.explored);
    in.Add(cell.mark);
    in.Add(cell.objectShown);
    in.Add(cell.objectKind);
    in.Add(cell.objectId);
}

void AddStatus(CHashInput& in, const SCharacterStatus& s)
{
    for (std::uint8_t v : {s.confusionTurns, s.sleepTurns, s.sealTurns, s.paralysisTurns, s.blindTurns,
                           s.hallucinationTurns, s.frozenTurns, s.boundTurns, s.boundX, s.boundY,
                           s.decoyTurns, s.slowTurns, s.slowLevel, s.weakBodyTurns})
        in.Add(v);
}

void AddCharacter(CHashInput& in, const CCharacterControl::SCharacter& c)
{
    in.Add(c.x);
    in.Add(c.y);
    in.Add(c.prevX);
    in.Add(c.prevY);
    in.Add(c.direction);
    in.Add(c.type);
    in.Add(c.kindId);
    in.Add(c.level);
    in.Add(c.hp);
    in.Add(c.maxHp);
    in.Add(c.attack);
    in.Add(c.defence);
    in.Add(c.experience);
    in.Add(c.hasteTurns);
    in.Add(c.hasteLevel);
    in.Add(c.invisibleTurns);
    in.Add(c.strongBodyTurns);
    in.Add(c.inPotTurns);
    AddStatus(in, c.status);
    in.Add(c.baseSpeed);
}

void AddMonster(CHashInput& in, const CCharacterControl::SMonster& m)
{
    AddCharacter(in, m);
    in.Add(m.heldItem);
    in.Add(m.sleepState);
    in.Add(m.actionEnergy);
    in.Add(m.speedCopy);
    in.Add(m.viewFlags[0]);
    in.Add(m.actionCounter);
    in.Add(m.acted);
    in.Add(m.goalReached);
    in.Add(m.goalX);
    in.Add(m.goalY);
    in.Add(m.stuckCounter);
    in.Add(m.link);
}

void AddPlayer(CHashInput& in, const CCharacterControl::SPlayer& p)
{
    AddCharacter(in, p);
    in.Add(p.fullness);
    in.Add(p.maxFullness);
    in.Add(p.strength);
    in.Add(p.maxStrength);
    in.Add(p.hpRegenFraction);
    in.Add(p.lastX);
    in.Add(p.lastY);
    in.Add(p.moved);
    in.Add(p.slowToggle);
}

void AddItem(CHashInput& in, const CItemControl::SItem& item)
{
    in.Add(item.kind);
    in.Add(item.flags);
    in.Add(item.itemClass);
    in.Add(item.sealCount);
    in.Add(item.value);
    in.AddAll(item.slots);
    in.AddAll(item.extra);
}

} // namespace

std::uint32_t ComputeStateHash(const SPlayView& view)
{
    return view.game != nullptr ? ComputeStateHash(*view.game) : 0;
}

std::uint32_t ComputeStateHash(const SGameResource& state)
{
    CHashInput in;
    AddGenerator(in, state.random);

    for (const SMapCell& cell : state.map.cells)
        AddCell(in, cell);

    AddPlayer(in, state.characters.player);
    for (const CCharacterControl::SMonster& monster : state.characters.monsters)
        AddMonster(in, monster);
    in.Add(state.characters.monsterCount);
    in.Add(state.characters.phaseCounter);

    const CItemControl& items = state.items;
    for (const CItemControl::SItem& item : items.items)
        AddItem(in, item);
    in.Add(items.itemMark);
    for (const CItemControl::SItem& item : items.warehouse)
        AddItem(in, item);
    in.Add(items.warehouseMark);
    in.Add(items.warehouseCount);
    in.AddAll(items.warehouseList);
    in.AddAll(items.seen);
    in.AddAll(items.kindState);
    AddItem(in, items.keptWeapon);
    AddItem(in, items.keptShield);

    in.AddAll(state.inventory);
    in.Add(state.equippedWeapon);
    in.Add(state.equippedShield);
    in.Add(state.equippedArrows);
    in.Add(state.spareWeapon);
    in.Add(state.spareShield);

    in.Add(state.gold);
    in.Add(state.bankedGold);
    in.Add(state.goldCounter.low);
    in.Add(state.goldCounter.high);
    in.AddAll(state.flag.words);
    in.AddAll(state.flag.values);
    in.Add(state.dungeon);
    in.Add(state.floor);
    in.Add(state.floorTime);
    return ComputeCheckValue(in.Bytes());
}

} // namespace e2e
