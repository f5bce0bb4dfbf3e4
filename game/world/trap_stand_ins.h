#pragma once
// Stand-in: the traps' trigger and the elemental states of carried items and cells replace every
// declaration of this file (and trap_stand_ins.cpp) with their own.

#include <cstdint>

struct SGameResource;

// The trap of (x, y) goes off.
void TriggerTrapAt(SGameResource& game, std::int32_t x, std::int32_t y);
// The trap or treasure spot under the character goes off. 0.
std::int32_t TriggerTrapUnderCharacter(std::int32_t index, SGameResource& game, bool force);
// A fire on (x, y) burns the character standing there: true when it acted.
bool ApplyCellFire(SGameResource& game, std::int32_t x, std::int32_t y, bool quiet);
// A frozen carried item thaws; a carried item burns. The number changed.
std::int32_t MeltItem(SGameResource& game);
std::int32_t BurnItem(SGameResource& game);
// The item burns up in the fire of (x, y).
void BurnUpItemInFire(SGameResource& game, std::int32_t x, std::int32_t y, std::uint16_t item);
// Water splashes onto (x, y).
void SplashWaterAt(SGameResource& game, std::int32_t x, std::int32_t y, bool markAround, bool announce);
// An unknown item is identified and its new name told.
void AnnounceIdentification(std::uint16_t item, SGameResource& game);
// The carried item (or one inside a carried pot) is taken away and deleted.
void RemoveCarriedItem(SGameResource& game, std::uint16_t item);
