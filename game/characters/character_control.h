#pragma once
// Characters: the record every character is (the heroine and the 64 slots of monsters, shopkeepers,
// chests and ice pillars), the monster kinds, and the character control that holds them and stores the
// heroine's lasting state in save sets.
//
// The records' virtual operations, levels and statuses, and the table's creation, placement and
// motion, are yet to be added to these classes. The monster table's loader stands in monster_table.cpp.

#include "game/core/character_status.h"
#include "game/data/table_reader.h"
#include "game/ui/object_base.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

// A monster kind (kind id = species * 4 + rank). An empty name marks an id without a kind.
struct SMonsterKind
{
    ZTL::string name;
    std::int32_t baseHp = 1;
    std::int32_t baseAttack = 0;  // grows by a fifth of itself per level
    std::int32_t baseDefence = 0; // grows by one per level
    std::int32_t speed = 0;       // the base speed level is this - 1
    std::int32_t interval = 1;
    std::int32_t experienceBase = 0;
    std::uint16_t typeFlags = 0; // 1 人形, 2 獣, 4 飛行, 8 吸, 16 死, 32 火, 64 氷
    std::int32_t dropChance = 0; // out of 256
    std::int32_t dropItem = -1;  // 0 gold, 0xFFFF an item of the floor's table, else an item kind
    std::int32_t spriteMode = 0;
    std::int32_t behaviour = 0;
    std::uint16_t abilities =
        0; // 1 無敵, 2 魔法無効, 4 跳ね返し, 8 壁抜け, 16 透明, 32 透過, 64 反射, 128 魚, 256 不動
    std::int32_t specialChance = 0; // out of 256
};

class CCharacterControl : public Auxiliary::IArchive
{
public:
    static constexpr std::int32_t kSlots = 64;
    static constexpr std::uint16_t kNoSlot = 0xFFFF;

    // One motion to run after the current one.
    struct SQueuedStep
    {
        std::int32_t motion = 0;
        std::int32_t length = 0;
        std::int32_t targetX = 0;
        std::int32_t targetY = 0;
        std::int32_t direction = -1; // -1 keeps the direction
    };

    struct SCharacter : public SObjectBase
    {
        std::int32_t GetObjectKind() const override { return 0; }
        // 1 the heroine; monsters their type field (0 an empty slot).
        virtual std::int32_t GetType() const = 0;
        // Every field of the character back to its reset value; the queued steps emptied.
        void Reset();
        // The previous position takes the position, the position becomes (x, y).
        void SetPosition(std::int32_t newX, std::int32_t newY);

        std::int32_t direction = 0; // 0 down, then clockwise: 2 left, 4 up, 6 right
        std::int32_t motion = 0;
        std::int32_t motionFrame = 0;
        std::int32_t motionLength = 0; // 0 idle
        std::int32_t animSpeed = 1;
        std::int32_t type =
            0; // 0 empty, 1 heroine, 2 hostile, 3 and 4 shopkeeper, 5 peaceful, 6 chest, 7 ice pillar
        std::int32_t kindId = 0xFFFF; // 0xFFFF none
        std::int32_t level = 1;
        std::int32_t hp = 20;
        std::int32_t maxHp = 20;
        std::int32_t attack = 0;
        std::int32_t defence = 0;
        std::int32_t experience = 0;
        std::uint8_t hasteTurns = 0;
        std::uint8_t hasteLevel = 0;
        std::uint8_t invisibleTurns = 0;
        std::uint8_t strongBodyTurns = 0;
        std::uint8_t inPotTurns = 0;
        SCharacterStatus status; // confusion to weak body
        std::int32_t baseSpeed = 0;
        std::deque<SQueuedStep> queuedSteps;
        std::uint8_t tileShown = 0;
        std::uint8_t shown = 1;

    protected:
        SCharacter() { phaseModulus = 0xFFFF; }
        SCharacter(const SCharacter&) = default;
        SCharacter& operator=(const SCharacter&) = default;
    };

    struct SMonster : public SCharacter
    {
        std::int32_t GetType() const override { return type; }
        void Reset();

        std::uint32_t heldItem = 0xFFFF; // a chest's contents
        std::int32_t sleepState = 0; // 0 awake; 1..3 woken by chance; 4 until disturbed; 5 cleared by a sweep
        std::int32_t actionEnergy = 0;
        std::int32_t speedCopy = 0;
        std::array<std::uint8_t, 4> viewFlags = {0, 0, 0, 0}; // goal known, seen, view tile, submerged
        std::int32_t actionCounter = 0;
        std::uint8_t acted = 0;
        std::uint8_t goalReached = 0;
        std::int32_t goalX = -1;
        std::int32_t goalY = -1;
        std::int32_t stuckCounter = 0;
        std::uint16_t link = 0xFFFF; // slot of a linked character
    };

    struct SPlayer : public SCharacter
    {
        std::int32_t GetType() const override { return 1; }
        void Reset();

        std::int32_t fullness = 100000; // thousandths
        std::int32_t maxFullness = 100000;
        std::int32_t strength = 10;
        std::int32_t maxStrength = 10;
        std::int32_t hpRegenFraction = 0; // 1/65536 of one HP
        std::int32_t lastX = -1;
        std::int32_t lastY = -1;
        std::uint8_t moved = 0;
        std::int32_t slowToggle = 0;
        std::uint32_t weaponSprite = 0xFFFF;
        std::int32_t weaponVariant = 0;
        std::uint32_t shieldSprite = 0xFFFF;
        std::int32_t viewOffsetX = 0;
        std::int32_t viewOffsetY = 0;
    };

    // The kind table empty, every record reset.
    CCharacterControl();
    CCharacterControl(const CCharacterControl&) = delete;
    CCharacterControl& operator=(const CCharacterControl&) = delete;

    // Slot 0..63; any other index (0xFFFF included) a static empty monster, reset on every such lookup.
    SCharacter& GetCharacter(std::uint16_t index);
    SPlayer& GetPlayer() { return player; }
    // The heroine when she stands there, else the first occupied slot there; null for nobody.
    SCharacter* FindCharacterAt(std::int32_t x, std::int32_t y);
    // The kind record; a static empty record for a bad id.
    const SMonsterKind& GetMonsterKind(std::int32_t kindId) const;

    // A new adventure: no monsters, the heroine and every slot reset.
    void Reset();
    // The monster table: species of up to four lines (ranks) closed by an empty or "//" line, kind id =
    // species * 4 + rank, shorter species padded with default records; drop items named through the
    // item-name map. 0 loaded, 1 file missing or unreadable, -1 bad header or a line it refuses (a fifth
    // line in a species among them; the table is then empty), 5 check number (the base HP summed) not the
    // sum.
    std::int32_t LoadMonsterTable(const ZTL::string& fileName,
                                  const std::map<ZTL::string, std::int32_t>& itemNames);
    // The same from a table file already read, from its header on.
    std::int32_t LoadMonsterTable(CTableFile& table, const std::map<ZTL::string, std::int32_t>& itemNames);

    // The heroine's lasting state: ten ints, then her 19 status bytes.
    void Serialize(Auxiliary::ISerialize& stream) override;

    SPlayer player;
    std::int32_t kindCount = 0;
    std::map<ZTL::string, std::int32_t> kindByName;
    std::vector<SMonsterKind> monsterKinds; // by kind id
    std::array<SMonster, kSlots> monsters;
    std::uint16_t monsterCount = 0; // one past the highest slot that may be in use
};
