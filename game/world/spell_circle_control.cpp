#include "game/world/spell_circle_control.h"

#include "game/data/item_schema.h"
#include "game/data/table_reader.h"
#include "game/world/map_control.h"

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

std::int32_t CSpellCircleControl::CountCirclesAffecting(const CCharacterControl::SCharacter& character,
                                                        const CCharacterControl& control, std::int32_t id,
                                                        CMapControl& map, bool stop) const
{
    const bool isPlayer = &character == &control.player;
    if (!isPlayer && (control.GetMonsterKind(character.kindId).typeFlags & 2) != 0) return 0;
    if (character.x < 0 || character.y < 0) return 0;
    const std::int32_t room = map.GetCell(std::uint32_t(character.x), std::uint32_t(character.y)).room;
    std::int32_t count = 0;
    for (const SCircle& circle : circles) {
        if (circle.id != id) continue;
        switch (circle.range) {
        case kRangeCell:
            if (circle.x == character.x && circle.y == character.y) ++count;
            break;
        case kRangeRoom:
            if (room != -1 && map.GetCell(std::uint32_t(circle.x), std::uint32_t(circle.y)).room == room) {
                ++count;
            } else if (circle.x >= character.x - 1 && circle.x <= character.x + 1 &&
                       circle.y >= character.y - 1 && circle.y <= character.y + 1) {
                ++count;
            }
            break;
        case kRangeFloor:
            count += isPlayer ? 2 : 1;
            break;
        case kRangeSelf:
            if (isPlayer) ++count;
            break;
        default:
            break;
        }
        if (stop && count > 0) return count;
    }
    return count;
}
