#pragma once
// How monsters move and think: each turn a monster gains action energy and spends 72 of it per action,
// in which it strikes, wishes to use its special, or steps one cell toward a goal cell. Steps change the
// cell at once and queue a motion; when every monster has acted, the queued steps of each are spread
// over one 16-frame step, so a fast monster covers several cells in the time of one.
//
// The step and strike tests here are shared by the heroine's walk and blows and by every monster.

#include "game/characters/character_control.h"

#include <cstdint>

struct SGameResource;

// Behaviours of a monster kind.
enum : std::int32_t
{
    kBehaviourChase = 0,
    kBehaviourStill = 1,   // 不動
    kBehaviourFlee = 2,    // 逃走
    kBehaviourGold = 3,    // ゴールド
    kBehaviourRandom = 4,  // ランダム
    kBehaviourKeepGap = 5, // 間隔
    kBehaviourClever = 6,  // 知的
    kBehaviourDigger = 7,  // 穴掘り
    kBehaviourHealer = 8,  // 回復
    kBehaviourCircle = 9,  // 魔法陣
};

// The energy one action costs.
inline constexpr std::int32_t kActionEnergy = 72;

// Whether the character may step one cell in the direction: the cell must be above its terrain limit and,
// for a diagonal, both side cells above its corner limit. With `checkOccupants` a character on the cell
// stops the step, except that the heroine may change places with a shopkeeper or the peaceful character
// who could step back to her cell; that slot is kept in game.swapPartner (0xFFFF when none).
bool CanStepInDirection(CCharacterControl::SCharacter& character, std::int32_t direction, SGameResource& game,
                        bool checkOccupants);
// What a character's step tests read of its surroundings while nothing moves: its terrain and corner
// limits, and which of the eight cells around it hold someone (bit (dy + 1) * 3 + dx + 1).
struct SStepSurroundings
{
    std::int32_t cornerLimit = 2;
    std::int32_t terrainLimit = 4;
    std::uint16_t occupied = 0;
};
SStepSurroundings LookAround(CCharacterControl::SCharacter& character, SGameResource& game);
// CanStepInDirection with occupants checked, for a character not typed as the heroine, from
// surroundings looked at since the last move: a monster choosing among several steps looks once.
bool CanStepInDirection(CCharacterControl::SCharacter& character, std::int32_t direction, SGameResource& game,
                        const SStepSurroundings& around);
// Whether a melee strike of the character in the direction reaches the next cell. Nobody strikes into a
// wall, nor across a corner unless `ignoreCorners`; a submerged or walled-in monster is out of reach of
// those outside, and a weapon with seal 12 always reaches.
bool CanAttackInDirection(CCharacterControl::SCharacter& character, std::int32_t direction,
                          SGameResource& game, bool ignoreCorners);

// s := the speed level; a change of it throws the saved energy away. Then 72 energy at speed 0 and above,
// 36 at speed -1.
void GainActionEnergy(CCharacterControl::SMonster& monster, SGameResource& game);
// One turn of one monster of the table; with `instantSteps` its queued steps take one frame each.
void ThinkMonster(CCharacterControl::SMonster& monster, SGameResource& game, bool instantSteps);
// Whether the monster knows where its target (tx, ty) is: nobody knows while asleep, confused, blind, a
// decoy, frozen or paralysed; a wall-passer always; otherwise the target must be beside it in a corridor,
// or within a cell of its room.
bool CanSeeTarget(SGameResource& game, CCharacterControl::SMonster& monster, std::int32_t tx,
                  std::int32_t ty);
// Whether the monster wishes to use its special this action: the kind's chance, 4 less per cell of
// distance to a target but never below 8, out of 256.
bool WantsToUseSpecial(CCharacterControl::SMonster& monster, SGameResource& game, std::int32_t tx,
                       std::int32_t ty);
// Whether the monster's special applies now against the target on (tx, ty), by its species.
bool CanUseSpecial(std::int32_t tx, std::int32_t ty, CCharacterControl::SMonster& monster,
                   SGameResource& game);
// The goals of the gold seeker, the healer and the circle seeker.
void FindGoldGoal(CCharacterControl::SMonster& monster, SGameResource& game);
void FindHealGoal(CCharacterControl::SMonster& monster, SGameResource& game);
void FindCircleGoal(CCharacterControl::SMonster& monster, SGameResource& game);
// A gold seeker on gold has reached its goal; otherwise a monster that sees its target heads for (x, y),
// unless it flees.
void NoteItemGoal(CCharacterControl::SMonster& monster, SGameResource& game, std::int32_t x, std::int32_t y,
                  std::int32_t behaviour);
// The monster steps in the direction with an instant queued step, its energy spent.
void StepAndQueue(std::int32_t direction, CCharacterControl::SMonster& monster);
// The monster steps in its direction and queues the motion: a hop for a fish going in or out of water, a
// slide of one more cell for a walker on ice.
void MonsterStep(bool instant, SGameResource& game, CCharacterControl::SMonster& monster, std::int32_t tx,
                 std::int32_t ty, std::int32_t behaviour);
// The queued steps share one 16-frame step (instant ones take a frame each) and replay from the start.
void SpreadQueuedSteps(CCharacterControl::SMonster& monster);
// Turns the monster toward its goal (or strikes or waits beside the target, setting the acted flag).
// True when it faces a cell it may step to; tx of -1 means no target.
bool ChooseStepTowardGoal(SGameResource& game, std::int32_t tx, std::int32_t ty, std::int32_t behaviour,
                          CCharacterControl::SMonster& monster);
// Picks the cell the monster heads for when it has none: an entrance of its room, or a corridor cell.
void ChooseNewGoal(std::int32_t tx, std::int32_t ty, CCharacterControl::SMonster& monster,
                   SGameResource& game, std::int32_t behaviour);
// Keeps a shopkeeper at its shop's door: true when it stands where it should.
bool ShopDoorStep(CCharacterControl::SMonster& monster, SGameResource& game);
