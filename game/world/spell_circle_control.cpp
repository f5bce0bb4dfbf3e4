#include "game/world/spell_circle_control.h"

#include <map>

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
    names["無し"] = kRangeNone;
    names["上"] = kRangeCell;
    names["部屋"] = kRangeRoom;
    names["フロア"] = kRangeFloor;
    names["自分"] = kRangeSelf;
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
