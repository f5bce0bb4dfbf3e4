#pragma once
// Item kinds made in code rather than read from the data set: kind k of class 1 below 50, 2 below 100,
// 3 below 120, 4 below 135, 5 below 180, 6 below 230, 7 below 270, 8 below 310, 9 below 350, 10 from 350
// (those stack up to 8), kind 0 of class 11; each bought for 100 and sold for 40, and every appearance list
// twelve names long, so that a shuffle shows. Only game headers here, so that the fuzz targets include it
// too (their literals are not CP932: they pass names of plain letters).

#include "game/items/item_control.h"

#include <cstdint>

inline void MakeItemKindsInCode(CItemControl& items, const char* name, const char* appearance)
{
    constexpr std::int32_t kKinds = 362;
    items.kinds.resize(kKinds);
    items.kindCount = kKinds;
    const std::int32_t firsts[] = {50, 100, 120, 135, 180, 230, 270, 310, 350};
    for (std::int32_t k = 0; k < kKinds; ++k) {
        SItemKind& kind = items.kinds[std::size_t(k)];
        kind.number = k;
        kind.name = name;
        kind.classId = k == 0 ? 11 : 1;
        for (const std::int32_t first : firsts)
            if (k >= first) ++kind.classId;
        kind.buyPrice = 100;
        kind.sellPrice = 40;
        if (k >= 350) kind.maximum = 8;
    }
    items.firstKindOfClass = {0, 3, 50, 100, 120, 135, 180, 230, 270, 310, 350, -1};
    for (std::size_t list = 0; list < items.appearanceNames.size(); ++list) {
        items.appearanceNames[list].assign(12, appearance);
        items.appearanceOrder[list].clear();
        for (std::int32_t i = 0; i < 12; ++i)
            items.appearanceOrder[list].push_back(i);
    }
    items.seen.assign(kKinds, 0);
    items.kindState.assign(kKinds, 0);
}
