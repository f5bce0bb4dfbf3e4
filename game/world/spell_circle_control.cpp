#include "game/world/spell_circle_control.h"

#include "game/data/item_schema.h"
#include "game/data/table_reader.h"

#include <iterator>
#include <map>

// The range kinds are the item table's range words, in the order of their values.
static_assert(std::size(item_schema::kRangeWords) == CSpellCircleControl::kRangeSelf + 1 &&
              item_schema::kRangeWords[CSpellCircleControl::kRangeCell].range ==
                  CSpellCircleControl::kRangeCell &&
              item_schema::kRangeWords[CSpellCircleControl::kRangeSelf].range ==
                  CSpellCircleControl::kRangeSelf);

namespace {

// The one name-to-range map of the process; each control's construction fills it anew.
std::map<ZTL::string, std::int32_t>& RangeNames()
{
    static std::map<ZTL::string, std::int32_t> names;
    return names;
}

} // namespace

CSpellCircleControl::CSpellCircleControl()
{
    auto& names = RangeNames();
    names.clear();
    for (const item_schema::SRangeWord& word : item_schema::kRangeWords)
        names[ToTableString(word.word)] = word.range;
}

std::int32_t CSpellCircleControl::GetRangeKind(const ZTL::string& name)
{
    const auto& names = RangeNames();
    auto it = names.find(name);
    return it == names.end() ? kRangeNone : it->second;
}

ZTL::string CSpellCircleControl::GetRangeName(std::int32_t kind)
{
    for (const auto& [name, range] : RangeNames())
        if (range == kind) return name;
    return ZTL::string();
}
