#pragma once
// The kind-12 action: a monster's special. The handler checks whether the special may be used at all,
// turns the actor toward its target and hands each frame to the special of the actor's species, which
// answers non-zero while it still runs. Specials of several steps not declared here stand in
// monster_specials.h.

#include <cstdint>

struct SGameResource;
class CActionQueue;

// The kind-12 handler: the record's first parameter is the actor, its link the target.
std::int32_t RunMonsterSpecialAction(CActionQueue& queue, SGameResource& game);
// True, after its message, when the heroine's shield carries seal 44 and the actor stands on one of the
// eight cells around her.
bool IsMonsterSpecialBlocked(SGameResource& game, std::uint16_t actor);
// Registers the kind-12 handler.
void RegisterMonsterSpecialActionHandler();

std::int32_t MonsterSpecialKnockback(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                     std::uint16_t target);
std::int32_t MonsterSpecialLeapAttack(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                      std::uint16_t target);
std::int32_t MonsterSpecialFlash(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                 std::uint16_t target);
std::int32_t MonsterSpecialScatterScales(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                         std::uint16_t target);
std::int32_t MonsterSpecialSpitAcid(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                    std::uint16_t target);
std::int32_t MonsterSpecialPoisonNeedle(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                        std::uint16_t target);
std::int32_t MonsterSpecialWaveStaff(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                     std::uint16_t target);
std::int32_t MonsterSpecialCurse(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                 std::uint16_t target);
std::int32_t MonsterSpecialLevelCurse(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                      std::uint16_t target);
std::int32_t MonsterSpecialSummon(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                  std::uint16_t target);
std::int32_t MonsterSpecialThrowBomb(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                     std::uint16_t target);
std::int32_t MonsterSpecialStrike(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                  std::uint16_t target);
std::int32_t MonsterSpecialSplit(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                 std::uint16_t target);
std::int32_t MonsterSpecialFreeze(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                  std::uint16_t target);
std::int32_t MonsterSpecialSpitWater(SGameResource& game, CActionQueue& queue, std::uint16_t actor,
                                     std::uint16_t target);
