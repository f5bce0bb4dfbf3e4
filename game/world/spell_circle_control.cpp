#include "game/world/spell_circle_control.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/data/item_schema.h"
#include "game/data/table_reader.h"
#include "game/ui/image_list.h"
#include "game/world/map_control.h"

#include <algorithm>
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

// Terrains a circle may be drawn on: the plain floors, and terrain 17.
bool CanHoldCircle(std::uint8_t terrain)
{
    return terrain == 17 || (terrain >= 5 && terrain <= 10);
}

} // namespace

CSpellCircleControl::CSpellCircleControl()
{
    auto& names = RangeNames();
    names.clear();
    for (const item_schema::SRangeWord& word : item_schema::kRangeWords)
        names[ToTableString(word.word)] = word.range;
}

std::int32_t CSpellCircleControl::Place(std::int32_t id, std::int32_t x, std::int32_t y, SGameResource& game)
{
    // Outside the grid the map hands out a rock cell, which no circle takes.
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    if (!CanHoldCircle(cell.terrain)) return kPlaceBadTerrain;
    if (cell.objectKind != 0) return kPlaceCellTaken;
    cell.objectKind = kObjectCircle;
    cell.objectId = std::uint16_t(id);
    cell.objectShown = 1;
    cell.redraw = 1;
    // For a pen's kind the seal-code field holds the range of the circle it draws.
    circles.push_back({x, y, id, game.items.GetItemKind(id).sealCode});
    return kPlaced;
}

void CSpellCircleControl::RemoveAt(std::int32_t x, std::int32_t y, SGameResource& game)
{
    SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
    if (cell.objectKind != kObjectCircle) return;
    CMapControl::ClearObject(cell);
    for (auto it = circles.begin(); it != circles.end(); ++it) {
        if (it->x != x || it->y != y) continue;
        // The icon fades out where the circle lay.
        const Draw::RECT icon = GetIconRect(0, it->range);
        game.vanishingObjects.push_back(
            {x, y, kVanishingKind, icon.left, icon.top, icon.right, icon.bottom, kVanishingLife});
        circles.erase(it);
        return;
    }
}

std::int32_t CSpellCircleControl::CountCirclesAffecting(const CCharacterControl::SCharacter& character,
                                                        const CCharacterControl& control, std::int32_t id,
                                                        CMapControl& map, bool stop) const
{
    // Asked for every character several times a frame, mostly where no circle of the kind lies.
    if (std::none_of(circles.begin(), circles.end(), [id](const SCircle& c) { return c.id == id; })) return 0;
    const bool isPlayer = character.GetType() == 1;
    if (!isPlayer && character.kindId != 0xFFFF &&
        (control.GetMonsterKind(character.kindId).typeFlags & kImmuneKindFlag) != 0)
        return 0;
    const std::int32_t x = character.x, y = character.y;
    if (x < 0 || y < 0) return 0;
    const std::int32_t room = map.GetCell(std::uint32_t(x), std::uint32_t(y)).room;

    std::int32_t count = 0;
    for (const SCircle& circle : circles) {
        if (circle.id != id) continue;
        switch (circle.range) {
        case kRangeCell:
            if (circle.x == x && circle.y == y) ++count;
            break;
        case kRangeRoom:
            // Any room byte but "none" is a room: a maze's cells (-2) make one room of the maze.
            if (room != -1 && map.GetCell(std::uint32_t(circle.x), std::uint32_t(circle.y)).room == room)
                ++count;
            else if (circle.x >= x - 1 && circle.x <= x + 1 && circle.y >= y - 1 && circle.y <= y + 1)
                ++count;
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

Draw::RECT CSpellCircleControl::GetIconRect(std::int32_t frame, std::int32_t range)
{
    const std::int32_t left = frame * kIconSize, top = (range - 1) * kIconSize;
    return {left, top, left + kIconSize, top + kIconSize};
}

int CSpellCircleControl::DrawCircleIcon(std::int32_t frame, std::int32_t range, Draw::ISurface& target,
                                        std::int32_t x, std::int32_t y, bool dim)
{
    Draw::CFastPlane& sheet = AccessImageList(kImageListGet, kImageCircles);
    const Draw::RECT icon = GetIconRect(frame, range);
    return dim ? BltColorKeyHalfBright(target, sheet, x, y, &icon)
               : BltColorKey(target, sheet, x, y, nullptr, &icon);
}
