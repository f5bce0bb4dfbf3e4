#pragma once
// The monster specials that run over several steps of their kind-12 action: the strength poison that
// three of them share, the energy drain, the two thefts, raising fire, the sword dance, the pull, the
// group warp, the breath, the strange and the support spell, the strange dance and the hurl.
//
// Each special takes the game state, the queue that runs its action (its step counter; the record's
// first parameter is the actor), the actor's slot and the target (0xFFFF the heroine; an empty slot
// means no target). It answers non-zero while it still runs and 0 when it is done. Between steps it
// keeps what it needs in the characters and in the record: the second parameter holds the character
// the breath reached or the spell's victim, the third the character the spell was cast at, and the
// group warp lists the characters it moved in the record's values.

#include "game/characters/character_control.h"

#include <cstdint>

struct SGameResource;
class CActionQueue;

// What every special's steps ask of the characters, shared by the dispatcher and the multi-step
// specials.
namespace MonsterSpecialHelpers {
// The rank (0..3) of a character's kind; 0 for the heroine.
std::int32_t RankOf(const CCharacterControl::SCharacter& character);
CCharacterControl::SMonster& Monster(SGameResource& game, std::uint16_t index);
// The slot, or the heroine for 0xFFFF.
CCharacterControl::SCharacter& Character(SGameResource& game, std::uint16_t index);
// The heroine, or a slot that holds a character.
bool HasTarget(SGameResource& game, std::uint16_t target);
// The special's own sound, silent in a re-run.
void PlaySound(SGameResource& game, std::int32_t sound);
} // namespace MonsterSpecialHelpers

// Which special lowers the strength.
enum class StrengthPoison : std::int32_t
{
    Scales,
    Needle,
    Gas,
};

// Whether the scales of a rank take the maximum strength: above rank 0, when a drawn bit is 0.
bool DrawScalesMaximumVariant(SGameResource& game, std::int32_t rank);
// The strength poison of a special of that rank on the victim, with its message: the heroine loses
// strength (or, with `maximum`, maximum strength), a monster a share of its attack.
void ApplyStrengthPoison(SGameResource& game, std::uint16_t victim, std::int32_t rank, StrengthPoison poison,
                         bool maximum);

std::int32_t MonsterSpecialDrainEnergy(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                       std::uint16_t target);
std::int32_t MonsterSpecialStealItem(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                     std::uint16_t target);
std::int32_t MonsterSpecialStealGold(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                     std::uint16_t target);
std::int32_t MonsterSpecialRaiseFire(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                     std::uint16_t target);
std::int32_t MonsterSpecialSwordDance(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                      std::uint16_t target);
std::int32_t MonsterSpecialPull(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                std::uint16_t target);
std::int32_t MonsterSpecialWarp(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                std::uint16_t target);
std::int32_t MonsterSpecialBreath(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                  std::uint16_t target);
std::int32_t MonsterSpecialStrangeSpell(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                        std::uint16_t target);
std::int32_t MonsterSpecialSupportSpell(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                        std::uint16_t target);
std::int32_t MonsterSpecialStrangeDance(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                        std::uint16_t target);
std::int32_t MonsterSpecialHurl(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                std::uint16_t target);
