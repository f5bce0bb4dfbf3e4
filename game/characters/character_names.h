#pragma once
// Character names as messages embed them, in the colour marks of the message and select windows.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

// What a character's name depends on (the character control fills it).
struct SCharacterNameFacts
{
    std::int32_t type = 0;         // 1 the heroine, 6 a treasure chest, 7 an ice pillar
    std::uint16_t kindId = 0xFFFF; // 0xFFFF: no kind
    std::int32_t level = 1;
    bool invisibleToPlayer = false; // the heroine cannot see it
    ZTL::string kindName = "";      // the monster kind's name
};

// The heroine's name in her colour: "#1霞野#", or "#1紗雪#" while the game state's name flag is set.
ZTL::string GetPlayerDisplayName(bool alternateName);
// A character's name for messages: "" for none; the heroine's name; "#4見えない敵#" for a character
// she cannot see; "#4何者か#" for any other while she is blind or hallucinating; "氷の柱", "宝箱" or ""
// (no kind) without colour; otherwise "#4", the kind's name, "Lv" and the full-width level when above
// 1, and "#".
ZTL::string GetCharacterDisplayName(const SCharacterNameFacts* character, bool alternateName,
                                    bool playerBlindOrHallucinating);
