// The item control's part of a save set, of any content: the item tables, then the identification
// state of an item table of eight kinds. The load reads nothing past the bytes, writes no record, list
// entry or state past its table, keeps the marks and counts within 0..5000, and a load that succeeds
// stores bytes that load back to the same bytes.

#include "game/items/item_control.h"
#include "sdk/auxiliary/serialize.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr std::int32_t kKinds = 8;

std::vector<std::uint8_t> Store(CItemControl& items)
{
    Auxiliary::CSerialize stream;
    stream.Serialize(items);
    items.SaveIdentification(stream);
    return stream.GetBuffer();
}

bool Load(CItemControl& items, const std::vector<std::uint8_t>& bytes)
{
    Auxiliary::CSerialize stream;
    stream.GetBuffer() = bytes;
    stream.SetStoring(false);
    stream.Serialize(items);
    items.LoadIdentification(stream);
    return !stream.HasLoadFailed();
}

void CheckBounds(const CItemControl& items)
{
    for (std::int32_t mark : {items.itemMark, items.warehouseMark, items.warehouseCount})
        if (mark < 0 || mark > CItemControl::kItemCount) std::abort();
    if (items.seen.size() != std::size_t(kKinds) || items.kindState.size() != std::size_t(kKinds))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Two controls for the whole run (a control is large); each input meets them reset.
    static const auto items = [] {
        auto made = std::make_unique<CItemControl>();
        made->kindCount = kKinds;
        return made;
    }();
    static const auto again = [] {
        auto made = std::make_unique<CItemControl>();
        made->kindCount = kKinds;
        return made;
    }();
    items->Reset();

    const bool loaded = Load(*items, std::vector<std::uint8_t>(data, data + size));
    CheckBounds(*items);
    if (!loaded) return 0;
    // Every nickname took at least five bytes of the input.
    if (items->nicknames.size() * 5 > size) std::abort();
    const std::vector<std::uint8_t> stored = Store(*items);
    again->Reset();
    if (!Load(*again, stored)) std::abort();
    CheckBounds(*again);
    if (Store(*again) != stored) std::abort();
    return 0;
}
