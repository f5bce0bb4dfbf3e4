#pragma once
// Characters: the record every character is (the heroine and the 64 slots of monsters, shopkeepers,
// chests and ice pillars), the monster kinds, and the character control that holds them and stores the
// heroine's lasting state in save sets.
//
// A character may enter or stand on a cell whose terrain is above its terrain limit, and a diagonal step
// needs both side cells above its corner limit. Character index 0xFFFF names the heroine wherever an
// action, a damage or a status names a character; 0 to 63 are the slots of the table.
//
// The monster table's loader stands in monster_table.cpp, the statuses and numbers in character_stats.cpp,
// creation, removal and placement in character_table.cpp, motions in character_motion.cpp and the
// per-turn count of the statuses in status_recovery.cpp.

#include "game/core/character_status.h"
#include "game/data/table_reader.h"
#include "game/ui/object_base.h"
#include "game/world/map_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

struct SGameResource;
class CItemControl;

// Ability bits of a monster kind.
enum : std::uint16_t
{
    kAbilityInvincible = 0x0001,
    kAbilityMagicProof = 0x0002,
    kAbilityBounce = 0x0004,
    kAbilityWallPass = 0x0008,
    kAbilityInvisible = 0x0010,
    kAbilityPassThrough = 0x0020,
    kAbilityReflect = 0x0040, // reflects spells and bullets; nothing splits on a bit
    kAbilityFish = 0x0080,
    kAbilityUnmovable = 0x0100,
};

// Type flags of a monster kind.
enum : std::uint16_t
{
    kKindDoll = 0x01,
    kKindBeast = 0x02,
    kKindFlying = 0x04,
    kKindDrainer = 0x08,
    kKindUndead = 0x10,
    kKindFire = 0x20,
    kKindIce = 0x40,
};

// Character types.
enum : std::int32_t
{
    kCharacterEmpty = 0,
    kCharacterPlayer = 1,
    kCharacterHostile = 2,
    kCharacterShopkeeper = 3,
    kCharacterShopkeeper2 = 4,
    kCharacterPeaceful = 5,
    kCharacterChest = 6,
    kCharacterIcePillar = 7,
};

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
        // Paralysis ends, a character in a pot leaves it (the pot breaks at its cell), a sleeping monster
        // wakes; a shopkeeper hit by the heroine (attacker 0xFFFF) turns hostile, one hit by another
        // character links that attacker. HP falls by the amount, clamped to 0 .. max HP; the result is the
        // change of HP.
        virtual std::int32_t TakeDamage(std::int32_t amount, std::int32_t attacker, SGameResource& game);
        // Starts motion `code` from frame 0 with the length of the heroine's or the monsters' table; a
        // length of 0 or more replaces the table's. Codes the table ignores keep the motion and its
        // length, codes above 41 change nothing but the frame.
        virtual void SetMotion(std::int32_t code, std::int32_t length);
        // The terrain and corner limits of the character's steps (see the top of this file).
        virtual void GetTerrainLimits(SGameResource& game, std::int32_t& cornerLimit,
                                      std::int32_t& terrainLimit);
        // A monster's sleep state is not 0 (not the sleep-turns status).
        virtual bool IsAsleep() const { return false; }
        // Water on the character, `selfIndex` its own index, `amount` the strength.
        virtual void Wet(SGameResource& game, std::int32_t selfIndex, std::int32_t amount);
        // Rust on the character or its equipment. 0.
        virtual std::int32_t ApplyRust(SGameResource& game, std::int32_t selfIndex, bool preferWeapon,
                                       std::int32_t amountOrMode, bool allowOther);
        // Whether nothing may move the character from its cell.
        virtual bool IsUnmovable(SGameResource& game);

        // Every field of the character back to its reset value; the queued steps emptied.
        void Reset();
        // The previous position takes the position, the position becomes (x, y).
        void SetPosition(std::int32_t newX, std::int32_t newY);
        // Turns the character toward a cell: 0 down, then clockwise; its own cell gives 6.
        void FaceToward(std::int32_t targetX, std::int32_t targetY);
        // The kind's ability bits: false without a kind, while sealed or while a circle 271 covers it.
        bool HasAbility(SGameResource& game, std::uint16_t mask);
        // The kind's type flags: false without a kind.
        bool HasKindFlag(const SGameResource& game, std::uint16_t mask) const;
        // Motion 13 (dying), HP below 1, or an empty type.
        bool IsGone() const;
        // A kind with ability 8 on a wall cell (terrain 2).
        bool IsInsideWall(SGameResource& game);
        // A kind with ability 0x80 on a water cell (terrain 4).
        bool IsSubmerged(SGameResource& game);
        // The monster's level and the numbers that follow from it and its kind (below the class).
        std::int32_t SetLevel(std::int32_t newLevel, SGameResource& game, bool forced = false);
        // How many circles of that id cover the character.
        std::int32_t CountCircles(SGameResource& game, std::int32_t circleId, bool stop = false);

        // ---- Motions (character_motion.cpp).
        // One cell in the direction, the previous position taking the old one; a step motion unless
        // noMotion is set.
        void StepForward(bool noMotion = false);
        // One cell in the direction; the previous position stays.
        void AdvanceInDirection();
        // One draw below 12: 0 to 7 become the direction, 8 to 11 keep it.
        void PickRandomDirection(SGameResource& game);
        // One frame of the motion (a queued step starts when none runs); true exactly when a dying motion
        // has just ended.
        bool UpdateMotion(SGameResource& game);
        // A step to walk after the motions queued before it. Every step is queued here.
        void QueueStep(const SQueuedStep& step)
        {
            NoteMotionStart();
            queuedSteps.push_back(step);
        }
        // Whether the character neither moves nor has a step queued.
        bool IsAtRest() const { return motionLength <= 0 && queuedSteps.empty(); }

        // ---- Numbers, each clamped, each answering the change made (character_stats.cpp).
        std::int32_t AddHp(std::int32_t delta);
        // Max HP within 1 .. 999; a rise raises HP as well. The change of max HP.
        std::int32_t AddMaxHp(std::int32_t delta);
        // The speed level, -1 .. 3.
        std::int32_t GetCharacterSpeed(SGameResource& game);
        // Seal turns, or a circle 271 covering the character.
        bool IsAbilitySealed(SGameResource& game);
        // A monster while the see-invisible flag is set: false. Otherwise ability 16 or invisible turns.
        bool IsCharacterInvisible(SGameResource& game);

        // ---- Statuses: true when the status was set or its opposite ended. Chests refuse them all;
        // monsters take a permanent 255 where the list says so.
        bool ApplyHasteStatus(SGameResource& game, std::int32_t turns);
        bool ApplySlowStatus(SGameResource& game, std::int32_t turns);
        bool ApplyHideStatus(SGameResource& game, std::int32_t turns);
        bool ApplyInvisibleStatus(SGameResource& game);
        bool ApplyStrongBodyStatus(SGameResource& game, std::int32_t turns);
        bool ApplyWeakBodyStatus(SGameResource& game, std::int32_t turns);
        bool ApplyImmobileStatus(SGameResource& game, std::int32_t turns);
        bool ApplyPermanentBind(SGameResource& game, std::int32_t code);
        bool ApplyFrozenStatus(SGameResource& game, std::int32_t turns);
        bool ApplyHallucinationStatus(SGameResource& game, std::int32_t turns);
        bool ApplyBlindStatus(SGameResource& game, std::int32_t turns);
        bool ApplyParalysisStatus(SGameResource& game, std::int32_t turns);
        bool ApplySleepStatus(SGameResource& game, std::int32_t turns);
        bool ApplyConfusionStatus(SGameResource& game, std::int32_t turns);
        bool ApplySealStatus(SGameResource& game, std::int32_t turns);
        bool ApplyDecoyStatus(std::int32_t turns, SGameResource& game);

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

    struct SMonster final : public SCharacter
    {
        std::int32_t GetType() const override { return type; }
        void GetTerrainLimits(SGameResource& game, std::int32_t& cornerLimit,
                              std::int32_t& terrainLimit) override;
        bool IsAsleep() const override { return sleepState != 0; }
        void Wet(SGameResource& game, std::int32_t selfIndex, std::int32_t amount) override;
        std::int32_t ApplyRust(SGameResource& game, std::int32_t selfIndex, bool preferWeapon,
                               std::int32_t amountOrMode, bool allowOther) override;
        bool IsUnmovable(SGameResource& game) override;
        void Reset();
        // Reset in place as an ice pillar: type 7, HP 3, sprite mode 0, the cell kept.
        void TurnIntoIcePillar();
        // A monster asleep in state 1, 2 or 3 wakes when a draw below 100 falls under 90, 75 or 20.
        void WakeUpByChance(SGameResource& game);

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

    struct SPlayer final : public SCharacter
    {
        std::int32_t GetType() const override { return 1; }
        void GetTerrainLimits(SGameResource& game, std::int32_t& cornerLimit,
                              std::int32_t& terrainLimit) override;
        // A random carried item gets wet.
        void Wet(SGameResource& game, std::int32_t selfIndex, std::int32_t amount) override;
        // The equipped shield rusts, or the weapon with preferWeapon; the other one when that slot is empty
        // and allowOther is set.
        std::int32_t ApplyRust(SGameResource& game, std::int32_t selfIndex, bool preferWeapon,
                               std::int32_t amountOrMode, bool allowOther) override;
        // The equipped shield carries seal 35 or 70.
        bool IsUnmovable(SGameResource& game) override;
        void Reset();

        // ---- Numbers (character_stats.cpp), each clamped and answering the change made.
        std::int32_t AddStrength(std::int32_t delta);
        std::int32_t AddMaxStrength(std::int32_t delta);
        // Thousandths of a display point, within 0 .. max fullness.
        std::int32_t AddFullness(std::int32_t delta);
        // Display points: max fullness within 0 .. 200000; the change / 1000.
        std::int32_t AddMaxFullness(std::int32_t delta);
        std::int32_t GetFullnessDisplay() const;
        std::int32_t GetMaxFullnessDisplay() const;
        // 20 per circle 272 on the floor, 10 per seal 36 on the shield.
        std::int32_t GetStrengthBonus(SGameResource& game);
        std::int32_t GetStrengthWithBonus(SGameResource& game);
        std::int32_t GetMaxStrengthWithBonus(SGameResource& game);
        // Where the heroine's sprite stands on the screen: cell * 32 + offset + view offset, less 144 and
        // 104 (the screen's centre cell).
        void GetScreenPosition(std::int32_t& screenX, std::int32_t& screenY) const;
        void SetViewOffset(std::int32_t offsetX, std::int32_t offsetY);

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
    // Releases the shared scratch planes.
    ~CCharacterControl() override;
    CCharacterControl(const CCharacterControl&) = delete;
    CCharacterControl& operator=(const CCharacterControl&) = delete;

    // Slot 0..63; any other index (0xFFFF included) a static empty monster, reset on every such lookup.
    SCharacter& GetCharacter(std::uint16_t index);
    SPlayer& GetPlayer() { return player; }
    // The heroine when she stands there, else the first occupied slot there; null for nobody.
    SCharacter* FindCharacterAt(std::int32_t x, std::int32_t y);
    // The first slot on (x, y) that is occupied, not dying, with HP left; kNoSlot for none.
    std::uint16_t FindMonsterIndexAt(std::int32_t x, std::int32_t y);
    // The kind record; a static empty record for a bad id.
    const SMonsterKind& GetMonsterKind(std::int32_t kindId) const
    {
        if (kindId >= 0 && std::size_t(kindId) < monsterKinds.size())
            return monsterKinds[std::size_t(kindId)];
        return EmptyMonsterKind();
    }

    // ---- Creation and removal (character_table.cpp). Creations answer the slot, kNoSlot when nothing
    // was made.
    // The record as a fresh hostile monster of the kind: level 1, its sleep state, what it carries and
    // its animation phase. 0.
    std::int32_t InitMonster(SMonster& monster, std::int32_t kindId, SGameResource& game);
    // A monster of the kind in the first free slot, grown by the floor's depth. Refuses a kind outside
    // the table, the excluded kind of the run and, while the floor excludes them, species 38 and fire
    // kinds.
    std::uint16_t CreateMonster(std::int32_t kindId, SGameResource& game);
    // A monster drawn from the floor's appearance list (a thief's pursuers first after a theft).
    std::uint16_t CreateRandomMonster(SGameResource& game);
    // The peaceful character (kind 164, type 5).
    std::uint16_t CreatePeacefulCharacter(SGameResource& game);
    // A treasure chest holding a strengthened item of the floor's chest list; the caller places it.
    std::uint16_t AddTreasureChest(SGameResource& game);
    // An ice pillar in the first free slot; the caller places it.
    std::uint16_t AddIcePillar();
    // Frees the slot, deleting what it holds when `items` is given; the count shrinks past free slots
    // and shopkeepers linked to the slot forget it.
    void RemoveMonster(std::uint16_t index, CItemControl* items);
    // The monster rebuilt one rank lower, keeping its direction, cell, held item, sleep state, goal
    // knowledge and link: 0; 1 at rank 0; -1 while a level-fixing circle covers it.
    std::int32_t DemoteMonster(SMonster& monster, SGameResource& game);
    // Every shopkeeper turns hostile.
    void AlarmShopkeepers();
    // Every monster in sleep state 5 wakes.
    void ClearSleepState5();

    // ---- Floor changes and the heroine.
    // A new floor: the heroine keeps her numbers and statuses, loses her binding; the table empties.
    void ResetForNewFloor();
    // The cell monsters aim at: the first visible decoy, else the visible heroine; (-1, -1) for none.
    void GetAttentionPoint(SGameResource& game, std::int32_t& outX, std::int32_t& outY);
    // Turns the heroine toward the next visible monster beside her, from her direction on; with
    // `repeat` the first one found is passed over.
    void TurnToNextAdjacentMonster(SGameResource& game, bool repeat);

    // ---- Each frame (character_motion.cpp): every character's motion, sprite and what the heroine
    // sees; monsters whose dying ends leave the table.
    void UpdateAnimation(SGameResource& game);

    // The shared sprite plane of a size (0 32 x 32, 1 24 x 24, 2 40 x 40, 3 48 x 48), made on first use;
    // null for any other index. With `release` all four are released and null is answered.
    static Draw::CFastPlane* GetScratchPlane(std::int32_t sizeIndex, bool release = false);

    // A new adventure: no monsters, the heroine and every slot reset.
    void Reset();
    // The heroine for 0xFFFF, else GetCharacter.
    SCharacter& GetCharacterOrPlayer(std::uint16_t index);
    // Every hostile monster on (x, y) that neither flies nor is an ice pillar is bound for 100 turns.
    void BindMonstersAt(SGameResource& game, std::int32_t x, std::int32_t y);
    // The monster table: species of up to four lines (ranks) closed by an empty or "//" line, kind id =
    // species * 4 + rank, shorter species padded with default records; drop items named through the
    // item-name map. 0 loaded, 1 file missing or unreadable, -1 bad header or a line it refuses (a fifth
    // line in a species among them; the table is then empty), 5 check number (the base HP summed) not the
    // sum.
    std::int32_t LoadMonsterTable(const ZTL::string& fileName,
                                  const std::map<ZTL::string, std::int32_t>& itemNames);
    // The same from a table file already read, from its header on.
    std::int32_t LoadMonsterTable(CTableFile& table, const std::map<ZTL::string, std::int32_t>& itemNames);

    // The heroine's lasting state: ten ints, then her 19 status bytes. A load whose status bytes lie
    // outside what the rules can give her (a count of 255 other than the binding's, a haste level above
    // 3, a slow level other than 0 or -1) fails.
    void Serialize(Auxiliary::ISerialize& stream) override;

    // Counts every motion started and every step queued, in every game alike: a character leaves its
    // rest only through one of them. So a scan that found every monster at rest stays right until the
    // count moves, and the passes of a turn that only wait need not look at each slot again.
    static void NoteMotionStart() { s_motionStarts.fetch_add(1, std::memory_order_relaxed); }
    // Every occupied slot below the count was at rest at the last animation update, and no motion or
    // step has started since.
    bool AreMonstersAtRest() const
    {
        return restKnown && restStamp == s_motionStarts.load(std::memory_order_relaxed);
    }

    SPlayer player;
    std::int32_t kindCount = 0;
    std::map<ZTL::string, std::int32_t> kindByName;
    std::vector<SMonsterKind> monsterKinds; // by kind id
    std::array<SMonster, kSlots> monsters;
    std::uint16_t monsterCount = 0; // one past the highest slot that may be in use
    // A monster may carry decoy turns. Monsters aim at a decoy before the heroine, and most of the time
    // there is none, so the search for one clears this when it finds none; every writer of a monster's
    // decoy turns raises it.
    bool decoyPossible = true;
    // Staggers the animation phase and first direction of new monsters; 0 on each floor.
    std::uint32_t phaseCounter = 0;

private:
    inline static std::atomic<std::uint64_t> s_motionStarts{0};
    // The count of motion starts when every monster was last seen at rest; restKnown false until then.
    std::uint64_t restStamp = 0;
    bool restKnown = false;

    // Which fires the heroine sees.
    void UpdateFireVisibility(SGameResource& game);
    // GetMonsterKind's answer for a bad id.
    static const SMonsterKind& EmptyMonsterKind();
};

// How often a seal stands on the equipped shield or weapon; 0 with the slot empty.
std::int32_t CountShieldSeal(SGameResource& game, std::uint16_t code);
std::int32_t CountWeaponSeal(SGameResource& game, std::uint16_t code);

// ---- Placement (character_table.cpp). `ignore` is a slot whose own cell counts as free; 0xFFFF
// places the heroine, whose cell then counts as free too, while any other value keeps her cell taken.
// The first cell of terrain minTerrain or above within `radius` rings of (x, y) (only (x, y) for 0) on
// which no character stands; (-1, -1) for none.
void FindFreeCellNear(CCharacterControl& control, SCellPosition& out, std::int32_t ignore, CMapControl& map,
                      std::int32_t x, std::int32_t y, std::int32_t minTerrain, std::int32_t radius);
// A free walkable cell near a random one of the candidates, outside room `avoidRoom` while the picks are
// random; (-1, -1) for none.
void FindRandomFreeCell(SCellPosition& out, std::vector<SCellPosition>& cells, CCharacterControl& control,
                        CMapControl& map, std::int32_t avoidRoom, SGameResource& game);
// Puts the character on a random free cell, outside room `avoidRoom` for the first 17 tries: 0 placed;
// 1 no free cell at all; 2 none outside the room in 1024 tries.
std::int32_t PlaceCharacterRandomly(CCharacterControl::SCharacter& character,
                                    std::vector<SCellPosition>& cells, CMapControl& map, SGameResource& game,
                                    std::int32_t avoidRoom);
// A random monster appears on (x, y) or a free cell of the 3 x 3 around it, awake unless keepSleep, a
// levelOffset above 1 adding levelOffset - 1 levels: 0 placed; 1 none made; 2 no free cell (the monster
// and what it held are removed).
std::int32_t SpawnRandomMonster(CCharacterControl& control, SGameResource& game, std::int32_t x,
                                std::int32_t y, bool keepSleep, std::int32_t levelOffset);
// A monster like the one in slot `sourceIndex` (a random one, as a decoy of 50 turns, for the heroine,
// 0xFFFF) moved off the source's cell: 0 made; 1 none made; 2 the source has no kind.
std::int32_t SpawnMonsterBeside(SGameResource& game, std::int32_t sourceIndex);
// A character that may not stay on its cell moves to a free cell near it (warps when none is free); the
// second queue when `secondQueue`.
void RelocateCharacter(SGameResource& game, std::uint16_t index, std::int32_t ignored, bool secondQueue);

// Whether two rectangles overlap (right and bottom exclusive).
bool IsRectOverlap(const Draw::RECT& a, const Draw::RECT& b);

// Each turn of a character: every timed status loses a turn, those that run out end with what belongs to
// them (the heroine hears of each); the binding holds only while its cause does. The messages added.
std::int32_t RecoverStatuses(CCharacterControl::SCharacter& character, SGameResource& game);

// The heroine's upkeep each turn: hunger, and healing or starving (HP in 16.16 fixed point).
void DigestFullness(CCharacterControl::SPlayer& player, SGameResource& game);
void RegenerateHp(CCharacterControl::SPlayer& player, SGameResource& game);
// The sprites of the equipped weapon and shield, each frame.
void RefreshEquipmentSprites(CCharacterControl::SPlayer& player, SGameResource& game);
