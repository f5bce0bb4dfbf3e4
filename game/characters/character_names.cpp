#include "game/characters/character_names.h"

#include "game/ui/message_numbers.h"

ZTL::string GetPlayerDisplayName(bool alternateName)
{
    return alternateName ? "#1紗雪#" : "#1霞野#";
}

ZTL::string GetCharacterDisplayName(const SCharacterNameFacts* character, bool alternateName,
                                    bool playerBlindOrHallucinating)
{
    constexpr std::int32_t kHeroine = 1, kTreasureChest = 6, kIcePillar = 7;
    if (character == nullptr) return "";
    if (character->type == kHeroine) return GetPlayerDisplayName(alternateName);
    if (character->invisibleToPlayer) return "#4見えない敵#";
    if (playerBlindOrHallucinating) return "#4何者か#";
    if (character->type == kIcePillar) return "氷の柱";
    if (character->type == kTreasureChest) return "宝箱";
    if (character->kindId == 0xFFFF) return "";
    ZTL::string name = ZTL::string("#4") + character->kindName;
    if (character->level > 1) name += ZTL::string("Lv") + FormatFullWidthNumber(character->level);
    return name + "#";
}
