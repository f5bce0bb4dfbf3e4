#pragma once
// Levels and ranks: the heroine's experience and level, and a table character's level and rank.

#include <cstdint>

struct SGameResource;

// The heroine gains (or loses) experience; her level follows it through the experience table.
void AddExperience(SGameResource& game, std::int32_t amount);
// The heroine's level moves by d (within 1 .. 99) through her experience: up to the least experience of
// the new level, down to the most.
void ShiftPlayerLevel(SGameResource& game, std::int32_t d);
// A table character's level changes by delta, which may change its rank.
void ChangeCharacterRank(SGameResource& game, std::uint16_t index, std::int32_t delta);
