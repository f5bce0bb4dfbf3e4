#pragma once
// The status events: each puts a status on one character (0xFFFF the heroine) for a number of turns and
// tells the player of it with its own sound and message.

#include <cstdint>

struct SGameResource;

void CauseSleep(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseConfusion(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseHallucination(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseBlindness(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseSlowness(SGameResource& game, std::uint16_t index, std::int32_t turns);
void CauseItemSeal(SGameResource& game, std::uint16_t index, std::int32_t turns);
