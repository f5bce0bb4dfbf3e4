#include "game/items/item_control.h"

#include "game/asset_ids.h"
#include "game/core/random.h"
#include "game/ui/image_list.h"

#include <algorithm>

namespace {

// A count read from a stream that must lie within 0..limit; anything else fails the load.
bool CheckCount(Auxiliary::ISerialize& stream, std::int32_t& count, std::int32_t limit)
{
    if (stream.IsStoring()) return true;
    if (!stream.HasLoadFailed() && count >= 0 && count <= limit) return true;
    stream.SetLoadFailed();
    count = 0;
    return false;
}

} // namespace

void CItemControl::SItem::Serialize(Auxiliary::ISerialize& stream)
{
    char cls = char(itemClass);
    std::uint16_t stored = std::uint16_t(value);
    std::uint8_t count = std::uint8_t(sealCount);
    stream.Serialize(kind).Serialize(flags).Serialize(cls).Serialize(stored).Serialize(count);
    for (std::uint8_t& e : extra)
        stream.Serialize(e);
    for (std::uint16_t& s : slots)
        stream.Serialize(s);
    itemClass = std::int8_t(cls);
    value = std::int16_t(stored);
    sealCount = std::int8_t(count);
}

std::int32_t CItemControl::SItem::GetValue() const
{
    if (itemClass == kItemClassGold) return std::int32_t(std::int8_t(extra[0])) * 32768 + value;
    return value;
}

CItemControl::CItemControl()
{
    firstKindOfClass.fill(-1);
    Reset();
}

CItemControl::SItem& CItemControl::GetItem(std::uint32_t index)
{
    if (index < std::uint32_t(kItemCount)) return items[index];
    static SItem empty;
    empty.Clear();
    return empty;
}

CItemControl::SItem& CItemControl::GetEmptyItem()
{
    static SItem empty;
    empty.Clear();
    return empty;
}

CItemControl::SItem& CItemControl::GetWarehouseItem(std::uint32_t index)
{
    return index < std::uint32_t(kItemCount) ? warehouse[index] : GetEmptyItem();
}

std::uint16_t& CItemControl::GetWarehouseListEntry(std::uint32_t i)
{
    if (i < std::uint32_t(kItemCount)) return warehouseList[i];
    static std::uint16_t dummy;
    dummy = kNone;
    return dummy;
}

const SItemKind& CItemControl::GetItemKind(std::int32_t kind) const
{
    if (kind >= 0 && std::size_t(kind) < kinds.size()) return kinds[std::size_t(kind)];
    static const SItemKind empty;
    return empty;
}

const SSealKind& CItemControl::GetSealKind(std::int32_t code) const
{
    if (code >= 0 && std::size_t(code) < seals.size()) return seals[std::size_t(code)];
    static const SSealKind empty;
    return empty;
}

namespace {

std::uint16_t FirstFree(const std::array<CItemControl::SItem, CItemControl::kItemCount>& table)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].kind == CItemControl::kNone) return std::uint16_t(i);
    return CItemControl::kNone;
}

} // namespace

std::uint16_t CItemControl::FindFreeItem() const
{
    return FirstFree(items);
}

std::uint16_t CItemControl::FindFreeWarehouseItem() const
{
    return FirstFree(warehouse);
}

void CItemControl::DrawItemIcon(std::int32_t n, Draw::ISurface& plane, std::int32_t x, std::int32_t y,
                                std::uint32_t flags)
{
    const assets::SCell& column =
        (flags & kIconInWater) != 0 ? assets::kCellCommonItemInWater : assets::kCellCommonItemFloor;
    if (n < 1 || n > column.count) return;
    const Draw::RECT rect = CellRect(column, n - 1);
    constexpr std::int32_t kBlendRate = 64;
    if ((flags & kIconFollowZoom) != 0) {
        if ((flags & kIconBlended) != 0)
            BltImageBlendColorKey(plane, kImageCommon, x, y, kBlendRate, &rect);
        else if ((flags & kIconKeyed) != 0)
            BltImage(plane, kImageCommon, x, y, &rect);
        else
            BltImageCopy(plane, kImageCommon, x, y, &rect);
        return;
    }
    Draw::CFastPlane& icons = AccessImageList(kImageListGet, kImageCommon);
    if ((flags & kIconBlended) != 0)
        BltBlendColorKey(plane, icons, x, y, kBlendRate, nullptr, &rect);
    else if ((flags & kIconKeyed) != 0)
        BltColorKey(plane, icons, x, y, nullptr, &rect);
    else
        BltCopy(plane, icons, x, y, nullptr, &rect);
}

void CItemControl::GetWarehouseClassesPresent(std::uint32_t& bits)
{
    bits = 0;
    for (std::int32_t i = 0; i < warehouseCount && i < kItemCount; ++i) {
        const SItem& item = GetWarehouseItem(warehouseList[std::size_t(i)]);
        if (item.kind == kNone) continue;
        bits |= item.itemClass >= 0 && item.itemClass < kItemClassGold ? 1u << item.itemClass
                                                                       : 1u << kItemClassGold;
        bits |= 1u;
    }
}

void CItemControl::Reset()
{
    itemMark = warehouseMark = warehouseCount = 0;
    for (SItem& item : items)
        item.Clear();
    for (SItem& item : warehouse)
        item.Clear();
    warehouseList.fill(kNone);
    for (auto& column : floorItemGrid)
        column.fill(kNone);
    nicknames.clear();
    seen.assign(seen.size(), 0);
    kindState.assign(kindState.size(), 0);
}

void CItemControl::ReserveWarehouseEntries(std::int32_t n, std::int32_t m)
{
    for (std::int32_t i = 0; i < n && i < kItemCount; ++i)
        warehouse[std::size_t(i)].kind = 0;
    for (std::int32_t i = 0; i < m && i < kItemCount; ++i)
        warehouseList[std::size_t(i)] = 0;
}

void CItemControl::ShuffleUnidentifiedNames(Math::CRand& generator)
{
    for (std::vector<std::int32_t>& order : appearanceOrder) {
        std::sort(order.begin(), order.end());
        const std::int32_t n = std::int32_t(order.size());
        for (std::int32_t i = 0; i < n; ++i)
            std::swap(order[std::size_t(i)], order[std::size_t(i + RandomBelow(generator, n - i))]);
    }
}

void CItemControl::Serialize(Auxiliary::ISerialize& stream)
{
    std::int32_t version = 0;
    stream.Serialize(version);
    stream.Serialize(itemMark);
    if (!CheckCount(stream, itemMark, kItemCount)) return;
    for (std::int32_t i = 0; i < itemMark; ++i)
        stream.Serialize(items[std::size_t(i)]);
    stream.Serialize(warehouseMark);
    if (!CheckCount(stream, warehouseMark, kItemCount)) return;
    for (std::int32_t i = 0; i < warehouseMark; ++i)
        stream.Serialize(warehouse[std::size_t(i)]);
    stream.Serialize(warehouseCount);
    if (!CheckCount(stream, warehouseCount, kItemCount)) return;
    for (std::int32_t i = 0; i < warehouseCount; ++i)
        stream.Serialize(warehouseList[std::size_t(i)]);
    for (std::size_t j = 0; j < 9; ++j)
        for (std::size_t i = 0; i < 9; ++i)
            stream.Serialize(floorItemGrid[i][j]);
    stream.Serialize(keptWeapon).Serialize(keptShield);
}

void CItemControl::SaveIdentification(Auxiliary::ISerialize& stream)
{
    std::int32_t version = 0;
    stream.Serialize(version);
    // One entry per kind of the loaded table; a kind the arrays do not reach yet counts unseen.
    for (std::int32_t k = 0; k < kindCount; ++k) {
        bool known = std::size_t(k) < seen.size() && seen[std::size_t(k)] != 0;
        stream.Serialize(known);
    }
    for (std::int32_t k = 0; k < kindCount; ++k) {
        std::int32_t state = std::size_t(k) < kindState.size() ? kindState[std::size_t(k)] : 0;
        stream.Serialize(state);
    }
    std::int32_t count = std::int32_t(nicknames.size());
    stream.Serialize(count);
    for (auto& [kind, name] : nicknames) {
        std::int32_t id = kind;
        stream.Serialize(id).Serialize(name);
    }
}

void CItemControl::LoadIdentification(Auxiliary::ISerialize& stream)
{
    std::int32_t version = 0;
    stream.Serialize(version);
    seen.assign(std::size_t(kindCount > 0 ? kindCount : 0), 0);
    kindState.assign(seen.size(), 0);
    for (std::uint8_t& s : seen) {
        bool known = false;
        stream.Serialize(known);
        s = known ? 1 : 0;
    }
    for (std::int32_t& state : kindState)
        stream.Serialize(state);
    std::int32_t count = 0;
    stream.Serialize(count);
    nicknames.clear();
    if (count < 0) stream.SetLoadFailed();
    // A count beyond the stream stops at the first read past its end.
    for (std::int32_t i = 0; i < count && !stream.HasLoadFailed(); ++i) {
        std::int32_t kind = 0;
        ZTL::string name;
        stream.Serialize(kind).Serialize(name);
        if (!stream.HasLoadFailed()) nicknames[kind] = name;
    }
}
