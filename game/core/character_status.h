#pragma once
// The 14 status bytes of a character record, from confusion to weak body, in their stored order, and
// their reset, which items, monsters and menus share. What the bytes say is asked in
// game/characters/status_queries.h.

#include <cstdint>

struct SCharacterStatus
{
    std::uint8_t confusionTurns = 0;
    std::uint8_t sleepTurns = 0;
    std::uint8_t sealTurns = 0;
    std::uint8_t paralysisTurns = 0;
    std::uint8_t blindTurns = 0;
    std::uint8_t hallucinationTurns = 0;
    std::uint8_t frozenTurns = 0;
    // The bound character's marked cell: turns 255 hold her on every cell without end, 0 on none, any
    // other value on the cell (boundX, boundY).
    std::uint8_t boundTurns = 0;
    std::uint8_t boundX = 0xFF;
    std::uint8_t boundY = 0xFF;
    std::uint8_t decoyTurns = 0;
    std::uint8_t slowTurns = 0;
    std::uint8_t slowLevel = 0;
    std::uint8_t weakBodyTurns = 0;
};

// Every status ended: the bytes back to their values above.
void ClearCharacterStatus(SCharacterStatus& status);
