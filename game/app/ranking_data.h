#pragma once
// The record of a finished run, as the ranking keeps it.

#include "game/core/money.h"
#include "game/items/item_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

struct SRankingData : public Auxiliary::IArchive
{
    // Every field back to its cleared value, both items emptied.
    void Clear() { *this = SRankingData(); }
    // The fields in their stored order, then the two items.
    void Serialize(Auxiliary::ISerialize& stream) override;
    // Stores the run's two-part gold counter: a tenth of the low part and the high part; a training run
    // keeps half of that (a twentieth of the low part, plus 5000000 for an odd high part, and half the
    // high part). Reads `trainingRun`.
    void StoreGold(const SGoldCounter& counter);

    std::int32_t recordNumber = -1; // the run's user number; -1 an empty slot
    ZTL::string name;
    std::int32_t runNumber = 0;
    std::uint8_t category = 0; // the dungeon
    std::uint8_t level = 0;
    std::uint16_t floor = 0;
    bool trainingRun = false;
    std::int32_t endCause = 0xFFFF;     // how the run ended (0 to 13)
    std::uint16_t killerKind = 0xFFFF;  // the monster that felled the heroine
    std::uint16_t killerLevel = 0xFFFF; // and its level
    std::uint32_t goldLow = 0xFFFFFFFF;
    std::uint32_t goldHigh = 0xFFFFFFFF;
    std::int32_t gold = std::int32_t(0xFFFFFFFF); // the run's gold field
    CItemControl::SItem firstItem;                // the equipped weapon and shield at the end
    CItemControl::SItem secondItem;
    std::int32_t experience = 0; // the heroine's, at the end
    std::uint16_t maxHp = 0;
    std::uint16_t strength = 0;
    std::uint16_t maxStrength = 0;
    std::uint16_t maxFullness = 0;  // in whole points (the heroine keeps thousandths)
    std::uint32_t broughtItems = 0; // 1 when the heroine took items along
    std::uint32_t seed = 0;
    std::uint16_t passwordValue = 0;
};
