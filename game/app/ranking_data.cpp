#include "game/app/ranking_data.h"

void SRankingData::Serialize(Auxiliary::ISerialize& stream)
{
    char storedCategory = char(category), storedLevel = char(level);
    stream.Serialize(recordNumber)
        .Serialize(name)
        .Serialize(runNumber)
        .Serialize(storedCategory)
        .Serialize(storedLevel)
        .Serialize(floor)
        .Serialize(trainingRun)
        .Serialize(endCause)
        .Serialize(killerKind)
        .Serialize(killerLevel)
        .Serialize(goldLow)
        .Serialize(goldHigh)
        .Serialize(gold)
        .Serialize(experience)
        .Serialize(maxHp)
        .Serialize(strength)
        .Serialize(maxStrength)
        .Serialize(maxFullness)
        .Serialize(broughtItems)
        .Serialize(seed)
        .Serialize(passwordValue)
        .Serialize(firstItem)
        .Serialize(secondItem);
    category = std::uint8_t(storedCategory);
    level = std::uint8_t(storedLevel);
}

void SRankingData::StoreGold(const SGoldCounter& counter)
{
    if (trainingRun) {
        goldLow = counter.low / 20 + (counter.high % 2 != 0 ? 5000000 : 0);
        goldHigh = counter.high / 2;
    } else {
        goldLow = counter.low / 10;
        goldHigh = counter.high;
    }
}
