#pragma once
// The status events: each puts a status on one character (0xFFFF the heroine) for a number of turns and
// tells the player of it with its own sound and message.

#include <cstdint>

struct SGameResource;

void CauseSlowness(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseHaste(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseStrongBody(SGameResource& game, std::uint16_t index, std::int32_t turns);
// The invisible turns rise by 15, at most 254.
void CauseInvisibility(SGameResource& game, std::uint16_t index);
void CauseWeakness(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseFreeze(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseHallucination(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseBlindness(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseSleep(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseConfusion(SGameResource& game, std::uint16_t index, std::int32_t turns);
// A sealed table character is moved off a cell it may no longer stand on.
void CauseItemSeal(SGameResource& game, std::uint16_t index, std::int32_t turns);
